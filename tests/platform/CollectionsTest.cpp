#include "Collections.h"
#include "FileNames.h"
#include "List.h"
#include "Strings.h"
#include "Text.h"

#include <QString>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>

namespace {

class TNamedItem : public TCollectionItem {
public:
  using TCollectionItem::TCollectionItem;
  std::string Name;
  void AssignTo(TCollectionItem& Dest) const override {
    if (auto* Named = dynamic_cast<TNamedItem*>(&Dest))
      Named->Name = Name;
    else
      TCollectionItem::AssignTo(Dest);
  }
};

class TPlainItem : public TCollectionItem {
public:
  using TCollectionItem::TCollectionItem;
};

TEST(Collection, ItemsKnowTheirCollectionAndIndex) {
  TCollection<TNamedItem> Items;
  TNamedItem& A = Items.Add();
  TNamedItem& C = Items.Add();
  TNamedItem& B = Items.Insert(1);
  EXPECT_EQ(A.Collection(), &Items);
  EXPECT_EQ(A.Index(), 0);
  EXPECT_EQ(B.Index(), 1);
  EXPECT_EQ(C.Index(), 2);
  Items.Delete(0);
  EXPECT_EQ(B.Index(), 0);
  EXPECT_EQ(Items.Count(), 2);
  EXPECT_THROW((void)Items.GetItem(2), EListError);
  EXPECT_THROW((void)Items.GetItem(-1), EListError);
  EXPECT_THROW(Items.Insert(5), EListError);
  EXPECT_THROW(Items.Delete(2), EListError);
}

TEST(Collection, AssignmentCopiesOrRaisesTheAssignmentError) {
  TCollection<TNamedItem> Named;
  Named.Add().Name = "first";
  TNamedItem Source(nullptr);
  Source.Name = "copied";
  Named.SetItem(0, Source);
  EXPECT_EQ(Named[0].Name, "copied");

  TCollection<TPlainItem> Plain;
  Plain.Add();
  TPlainItem Other(nullptr);
  try {
    Plain.SetItem(0, Other);
    FAIL() << "items without a copy must refuse assignment";
  } catch (const EConvertError& Error) {
    EXPECT_EQ(Error.Message(), "Cannot assign a TPlainItem to a TPlainItem");
  }
  EXPECT_THROW(Named[0].Assign(Other), EConvertError)
      << "a plain item cannot be copied into a named one";
}

TEST(PointerList, KeepsReferencesInOrder) {
  int A = 1, B = 2, C = 3;
  TList<int> List;
  List.Add(&A);
  List.Add(&B);
  List.Add(&C);
  List.Move(0, 2);
  EXPECT_EQ(List.Get(0), &B);
  EXPECT_EQ(List.Get(2), &A);
  List.Exchange(0, 1);
  EXPECT_EQ(List.First(), &C);
  EXPECT_EQ(List.Remove(&A), 2);
  EXPECT_EQ(List.Remove(&A), -1);
  EXPECT_THROW((void)List.Get(2), EListError);
  EXPECT_THROW(List.Move(0, 5), EListError);
  List.Clear();
  EXPECT_THROW((void)List.Last(), EListError);
}

TEST(StringList, LoadsLinesWhateverTheLineEnds) {
  const std::string FileName = ::testing::TempDir() + "lines.txt";
  std::ofstream(FileName, std::ios::binary) << "one\r\ntwo\nthree\rfour\r\n\r\nsix";
  TStringList Lines;
  Lines.LoadFromFile(FileName);
  ASSERT_EQ(Lines.Count(), 6);
  EXPECT_EQ(Lines[0], "one");
  EXPECT_EQ(Lines[2], "three");
  EXPECT_EQ(Lines[3], "four");
  EXPECT_EQ(Lines[4], "");
  EXPECT_EQ(Lines[5], "six");
  EXPECT_EQ(Lines.IndexOf("TWO"), 1);
  std::remove(FileName.c_str());

  try {
    Lines.LoadFromFile(FileName);
    FAIL() << "a missing file must raise";
  } catch (const EInOutError& Error) {
    EXPECT_NE(Error.Message().find(FileName), std::string::npos);
  }
}

TEST(FileNames, ExtensionsAndNames) {
  EXPECT_EQ(ChangeFileExt("maps/world.mif", ".mid"), "maps/world.mid");
  EXPECT_EQ(ChangeFileExt("maps/world", ".mid"), "maps/world.mid");
  EXPECT_EQ(ChangeFileExt("my.maps/world", ".mid"), "my.maps/world.mid")
      << "a dot in a directory is no extension";
  EXPECT_EQ(ChangeFileExt("a.b.mif", ""), "a.b");
  EXPECT_EQ(ExtractFileName("maps/world.mif"), "world.mif");
  EXPECT_EQ(ExtractFileName("world.mif"), "world.mif");
  EXPECT_EQ(ExtractFileExt("maps/world.MIF"), ".MIF");
  EXPECT_EQ(ExtractFilePath("maps/world.mif"), "maps/");
  EXPECT_FALSE(FileExists(::testing::TempDir())) << "a directory is not a file";
  EXPECT_FALSE(FileExists(""));
}

TEST(Text, CaseTrimAndDisplay) {
  EXPECT_EQ(UpperCaseAscii("Pointe-Noire \xe9t\xc3\xa9"), "POINTE-NOIRE \xe9T\xc3\xa9")
      << "only ASCII letters change";
  EXPECT_EQ(Trim("\t  a b \r\n"), "a b");
  EXPECT_TRUE(SameText("Name", "NAME"));
  EXPECT_FALSE(SameText("Name", "Names"));
  EXPECT_TRUE(SameText("\xc3\xa9t\xc3\xa9", "\xc3\x89T\xc3\x89"))
      << "UTF-8 letters compare by their characters";
  EXPECT_EQ(DisplayText("Z\xc3\xbcrich"), QString::fromUtf8("Zürich")) << "valid UTF-8 stays UTF-8";
  EXPECT_EQ(DisplayText("Z\xfcrich \x80"), QString::fromUtf8("Zürich €"))
      << "otherwise Windows-1252";
}

} // namespace
