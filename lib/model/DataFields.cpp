#include "DataFields.h"

#include "Errors.h"
#include "Format.h"
#include "NumberText.h"
#include "Text.h"

namespace {

bool IsDateType(TDataType Type) { return Type == dtDateTime || Type == dtDate || Type == dtTime; }

} // namespace

void TDataField::SetDataType(TDataType Value) {
  FDataType = Value;
  if (FDataType == dtString && FSize == 0) SetSize(255);
}

// Date types show their value as date or time text. An empty value shows as
// empty text and a text value (a date the reader could not read) as itself,
// rather than as the day count 0 or a conversion error.
std::string TDataField::GetAsString() const {
  if (!IsDateType(FDataType) || FValue.IsEmpty() || FValue.VarType() == varString)
    return FValue.ToString();
  const TDateTime Value = FValue.ToDouble();
  switch (FDataType) {
  case dtDate:
    return DateToStr(Value);
  case dtTime:
    return TimeToStr(Value);
  default:
    return DateTimeToStr(Value);
  }
}

std::int32_t TDataField::GetAsInteger() const { return FValue.ToInteger(); }

Extended TDataField::GetAsFloat() const { return StrToFloat(FValue.ToString()); }

Extended TDataField::GetAsDecimal() const { return FValue.ToDouble(); }

TDateTime TDataField::GetAsDateTime() const { return FValue.ToDouble(); }

TDateTime TDataField::GetAsDate() const { return FValue.ToDouble(); }

TDateTime TDataField::GetAsTime() const { return FValue.ToDouble(); }

std::string TDataField::GetDataTypeName() const {
  switch (FDataType) {
  case dtString:
    return Format("Char(%D)", {FSize});
  case dtFloat:
    return "Float";
  case dtDecimal:
    return "Decimal";
  case dtInteger:
    return "Integer";
  case dtSmallInt:
    return "SmallInt";
  case dtDateTime:
    return "DateTime";
  case dtDate:
    return "Date";
  case dtTime:
    return "Time";
  }
  return {};
}

void TDataField::AssignTo(TCollectionItem& Dest) const {
  auto* Field = dynamic_cast<TDataField*>(&Dest);
  if (!Field) RaiseAssignError(typeid(*this), typeid(Dest));
  if (Field == this) return;
  Field->SetIsPrimaryKey(FIsPrimaryKey);
  Field->SetSize(FSize);
  Field->SetName(FName);
  Field->SetDataType(FDataType);
  Field->SetDefaultValue(FDefaultValue);
  Field->SetValue(FValue);
  Field->SetVisible(FVisible);
}

TDataField& TDataFields::Add(std::string Name, TDataType DataType, int Size) {
  TDataField& Field = TCollection::Add();
  Field.SetName(std::move(Name));
  Field.SetSize(Size);
  Field.SetDataType(DataType);
  return Field;
}

TDataField& TDataFields::Insert(int Index, std::string Name, TDataType DataType, int Size) {
  TDataField& Field = TCollection::Insert(Index);
  Field.SetName(std::move(Name));
  Field.SetDataType(DataType);
  Field.SetSize(Size);
  return Field;
}

void TDataFields::Assign(const TDataFields& Source) {
  if (&Source == this) return;
  Clear();
  for (const TDataField& Field : Source) TCollection::Add().Assign(Field);
}

TDataField* TDataFields::FieldByName(std::string_view Name) const {
  for (TDataField& Field : *this)
    if (SameText(Field.Name(), Name)) return &Field;
  return nullptr;
}

int TDataFields::GetVisibleFieldCount() const {
  int Count = 0;
  for (const TDataField& Field : *this) Count += Field.Visible() ? 1 : 0;
  return Count;
}

TDataField* TDataFields::GetDisplayed(int Index) const {
  if (Index < 0) return nullptr;
  for (TDataField& Field : *this)
    if (Field.Visible() && Index-- == 0) return &Field;
  return nullptr;
}
