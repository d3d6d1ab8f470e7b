#pragma once
// The common base of the framework's objects, so that an event can name its
// sender whatever its class (a map, a layer, a map object).

class TObject {
public:
  TObject() = default;
  virtual ~TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
};
