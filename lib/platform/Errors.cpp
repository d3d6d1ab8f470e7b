#include "Errors.h"

#include <cstdlib>
#include <cxxabi.h>
#include <memory>

void RaiseListIndexError(int Index) {
  throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
}

void RaiseAssignError(const std::type_info& Source, const std::type_info& Dest) {
  throw EConvertError("Cannot assign a " + ClassNameOf(Source) + " to a " + ClassNameOf(Dest));
}

std::string ClassNameOf(const std::type_info& Type) {
  int Status = 0;
  std::unique_ptr<char, decltype(&std::free)> Name(
      abi::__cxa_demangle(Type.name(), nullptr, nullptr, &Status), &std::free);
  std::string Result = Status == 0 && Name ? std::string(Name.get()) : std::string(Type.name());
  // Messages name the class as its users know it, without namespaces.
  if (Result.find('<') == std::string::npos) {
    const std::size_t Scope = Result.rfind("::");
    if (Scope != std::string::npos) Result.erase(0, Scope + 2);
  }
  return Result;
}
