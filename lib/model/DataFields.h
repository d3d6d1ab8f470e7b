#pragma once
// Attribute records: an ordered list of typed fields, each with its
// definition (name, type, size, flags) and one value. A layer keeps such a
// list as the definitions that every object it adds receives a copy of.

#include "Collections.h"
#include "DateTime.h"
#include "Types.h"
#include "Variant.h"

#include <cstdint>
#include <string>
#include <string_view>

enum TDataType : std::uint8_t {
  dtString,
  dtFloat,
  dtDecimal,
  dtInteger,
  dtSmallInt,
  dtDateTime,
  dtDate,
  dtTime
};

class TDataField : public TCollectionItem {
public:
  explicit TDataField(TCollectionBase* Collection) : TCollectionItem(Collection) {}

  [[nodiscard]] bool IsPrimaryKey() const { return FIsPrimaryKey; }
  void SetIsPrimaryKey(bool Value) { FIsPrimaryKey = Value; }
  // Declared width; for dtString the maximum length.
  [[nodiscard]] int Size() const { return FSize; }
  void SetSize(int Value) { FSize = Value; }
  [[nodiscard]] const std::string& Name() const { return FName; }
  void SetName(std::string Value) { FName = std::move(Value); }
  [[nodiscard]] TDataType DataType() const { return FDataType; }
  // A text field of size 0 gets the size 255.
  void SetDataType(TDataType Value);
  [[nodiscard]] const TVariant& DefaultValue() const { return FDefaultValue; }
  void SetDefaultValue(TVariant Value) { FDefaultValue = std::move(Value); }
  [[nodiscard]] const TVariant& Value() const { return FValue; }
  void SetValue(TVariant Value) { FValue = std::move(Value); }
  [[nodiscard]] bool Visible() const { return FVisible; }
  void SetVisible(bool Value) { FVisible = Value; }

  // Typed views of the value. The getters raise EConvertError when the value
  // cannot become the type; the setters replace the value whatever DataType says.
  [[nodiscard]] std::string GetAsString() const;
  [[nodiscard]] std::int32_t GetAsInteger() const;
  // Through text, so the text 12.5 and the number 12.5 read alike.
  [[nodiscard]] Extended GetAsFloat() const;
  [[nodiscard]] Extended GetAsDecimal() const;
  [[nodiscard]] TDateTime GetAsDateTime() const;
  [[nodiscard]] TDateTime GetAsDate() const;
  [[nodiscard]] TDateTime GetAsTime() const;
  void SetAsString(std::string Value) { FValue = TVariant(std::move(Value)); }
  void SetAsInteger(std::int32_t Value) { FValue = TVariant(Value); }
  void SetAsFloat(Extended Value) { FValue = TVariant(static_cast<double>(Value)); }
  void SetAsDecimal(Extended Value) { FValue = TVariant(static_cast<double>(Value)); }
  void SetAsDateTime(TDateTime Value) { FValue = TVariant::FromDateTime(Value); }
  void SetAsDate(TDateTime Value) { FValue = TVariant(Value); }
  void SetAsTime(TDateTime Value) { FValue = TVariant(Value); }

  // "Char(20)", "Float", "Integer", ...
  [[nodiscard]] std::string GetDataTypeName() const;

  // Copies all seven properties into another field, each through its setter.
  void AssignTo(TCollectionItem& Dest) const override;

private:
  bool FIsPrimaryKey = false;
  int FSize = 0;
  std::string FName;
  TDataType FDataType = dtString;
  TVariant FDefaultValue;
  TVariant FValue;
  bool FVisible = true;
};

class TDataFields : public TCollection<TDataField> {
public:
  // Sets the name, the size, then the type: Add(Name, dtString, 0) gives size 255.
  TDataField& Add(std::string Name, TDataType DataType, int Size);
  // Sets the name, the type, then the size: Insert(0, Name, dtString, 0) keeps size 0.
  TDataField& Insert(int Index, std::string Name, TDataType DataType, int Size);
  // Makes this list a full copy of Source, values included.
  void Assign(const TDataFields& Source);

  // The first field whose name equals Name ignoring case; null when none.
  [[nodiscard]] TDataField* FieldByName(std::string_view Name) const;
  [[nodiscard]] TDataField& GetFields(int Index) const { return GetItem(Index); }
  void SetFields(int Index, const TDataField& Value) { SetItem(Index, Value); }
  [[nodiscard]] int GetVisibleFieldCount() const;
  // The visible field at position Index among the visible ones; null when
  // there are not that many.
  [[nodiscard]] TDataField* GetDisplayed(int Index) const;
};
