#include "DataFields.h"
#include "Errors.h"
#include "Recorders.h"

#include <QLocale>
#include <clocale>
#include <gtest/gtest.h>

namespace {

TEST(DataFields, SizeOfTextFieldsDependsOnTheOrderOfSetting) {
  TDataFields Fields;
  EXPECT_EQ(Fields.Add("Name", dtString, 0).Size(), 255) << "Add sets the type last";
  EXPECT_EQ(Fields.Insert(0, "Code", dtString, 0).Size(), 0) << "Insert sets the size last";
  EXPECT_EQ(Fields.Add("Pop", dtInteger, 0).Size(), 0);
  EXPECT_EQ(Fields.Add("Short", dtString, 20).GetDataTypeName(), "Char(20)");
  EXPECT_EQ(Fields[0].Name(), "Code");
  EXPECT_TRUE(Fields[0].Visible());
  EXPECT_TRUE(Fields[0].Value().IsEmpty());
}

TEST(DataFields, TypeNames) {
  const struct {
    TDataType Type;
    const char* Name;
  } Cases[] = {{dtFloat, "Float"},       {dtDecimal, "Decimal"},   {dtInteger, "Integer"},
               {dtSmallInt, "SmallInt"}, {dtDateTime, "DateTime"}, {dtDate, "Date"},
               {dtTime, "Time"}};
  TDataFields Fields;
  for (const auto& Case : Cases)
    EXPECT_EQ(Fields.Add("F", Case.Type, 0).GetDataTypeName(), Case.Name);
}

TEST(DataFields, TypedViewsConvertTheValue) {
  TScopedDateSettings Settings([] {
    TDateSettings S;
    S.ShortDateFormat = "yyyy/mm/dd";
    S.DateSeparator = '-';
    return S;
  }());
  TDataFields Fields;
  TDataField& Text = Fields.Add("Text", dtString, 0);
  TDataField& Number = Fields.Add("Number", dtFloat, 0);
  TDataField& Day = Fields.Add("Day", dtDate, 0);

  Text.SetAsString("12.5");
  Number.SetAsFloat(12.5);
  EXPECT_EQ(Text.GetAsFloat(), 12.5L) << "text and number read alike through text";
  EXPECT_EQ(Number.GetAsFloat(), 12.5L);
  EXPECT_EQ(Number.GetAsString(), "12.5");
  EXPECT_EQ(Number.GetAsInteger(), 12);

  Number.SetAsFloat(0.1L);
  EXPECT_EQ(Number.GetAsDecimal(), static_cast<Extended>(0.1)) << "stored as a double";

  Day.SetAsDate(EncodeDate(2000, 1, 1));
  EXPECT_EQ(Day.GetAsString(), "2000-01-01");
  EXPECT_EQ(Day.GetAsDate(), 36526);
  Number.SetAsDate(EncodeDate(2000, 1, 1));
  EXPECT_EQ(Number.GetAsString(), "36526") << "a number field shows the day count";

  Text.SetAsString("abc");
  EXPECT_THROW((void)Text.GetAsInteger(), EConvertError);
  EXPECT_THROW((void)Text.GetAsFloat(), EConvertError);
  EXPECT_THROW((void)Text.GetAsDate(), EConvertError);
  EXPECT_EQ(Text.GetAsString(), "abc") << "a failed conversion changes nothing";
}

// An empty date shows as empty text and an unreadable one as its text; the
// day count 0 would show as 30 December 1899.
TEST(DataFields, DateFieldsShowEmptyAndTextValuesAsTheyAre) {
  TDataFields Fields;
  TDataField& Day = Fields.Add("Day", dtDate, 0);
  EXPECT_EQ(Day.GetAsString(), "");
  Day.SetAsString("2000-13-45");
  EXPECT_EQ(Day.GetAsString(), "2000-13-45");
}

TEST(DataFields, CommaLocaleKeepsThePoint) {
  const std::string Previous = std::setlocale(LC_ALL, nullptr);
  ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr);
  QLocale::setDefault(QLocale(QLocale::German));
  TDataFields Fields;
  TDataField& Field = Fields.Add("Area", dtFloat, 0);
  Field.SetAsString("12.5");
  EXPECT_EQ(Field.GetAsFloat(), 12.5L);
  Field.SetAsFloat(12.5);
  EXPECT_EQ(Field.GetAsString(), "12.5");
  QLocale::setDefault(QLocale::c());
  std::setlocale(LC_ALL, Previous.c_str());
}

TEST(DataFields, LookupByNameAndVisibility) {
  TDataFields Fields;
  TDataField& A = Fields.Add("A", dtString, 0);
  TDataField& B = Fields.Add("NAME", dtString, 0);
  TDataField& C = Fields.Add("name", dtString, 0);
  B.SetVisible(false);
  EXPECT_EQ(Fields.FieldByName("name"), &B) << "case is ignored and the first match wins";
  EXPECT_EQ(Fields.FieldByName("missing"), nullptr);
  EXPECT_EQ(Fields.GetVisibleFieldCount(), 2);
  EXPECT_EQ(Fields.GetDisplayed(0), &A);
  EXPECT_EQ(Fields.GetDisplayed(1), &C);
  EXPECT_EQ(Fields.GetDisplayed(2), nullptr);
  EXPECT_EQ(Fields.GetDisplayed(-1), nullptr);
  EXPECT_THROW((void)Fields.GetFields(3), EListError);
}

TEST(DataFields, AssignMakesIndependentFullCopies) {
  TDataFields Source;
  for (const char* Name : {"A", "B", "C"}) Source.Add(Name, dtInteger, 4).SetAsInteger(7);
  Source[1].SetIsPrimaryKey(true);
  Source[2].SetVisible(false);
  Source[0].SetDefaultValue(3);
  TDataFields Dest;
  for (int I = 0; I < 5; ++I) Dest.Add("old", dtString, 0);
  Dest.Assign(Source);
  ASSERT_EQ(Dest.Count(), 3);
  EXPECT_EQ(Dest[1].Name(), "B");
  EXPECT_EQ(Dest[1].Size(), 4);
  EXPECT_EQ(Dest[1].DataType(), dtInteger);
  EXPECT_TRUE(Dest[1].IsPrimaryKey());
  EXPECT_FALSE(Dest[2].Visible());
  EXPECT_EQ(Dest[0].DefaultValue(), TVariant(3));
  Dest[0].SetAsInteger(99);
  EXPECT_EQ(Source[0].GetAsInteger(), 7);

  TDataFields Fields;
  TDataField& Copy = Fields.Add("X", dtFloat, 0);
  Fields.SetFields(0, Source[0]);
  EXPECT_EQ(Copy.Name(), "A");

  TDataFields Sized;
  Sized.Insert(0, "Text", dtString, 0);
  TDataFields Copied;
  Copied.Assign(Sized);
  EXPECT_EQ(Copied[0].Size(), 255) << "a copied text field of size 0 arrives with 255";
}

} // namespace
