#pragma once
// The framework's error classes. Every error the library raises derives from
// Exception and carries a message that says what failed and where.

#include <exception>
#include <string>
#include <typeinfo>

class Exception : public std::exception {
public:
  explicit Exception(std::string Message) : FMessage(std::move(Message)) {}
  [[nodiscard]] const std::string& Message() const noexcept { return FMessage; }
  [[nodiscard]] const char* what() const noexcept override { return FMessage.c_str(); }

private:
  std::string FMessage;
};

// An index outside a list or collection.
class EListError : public Exception {
  using Exception::Exception;
};

// A value that cannot be converted, and assignment between unrelated classes.
class EConvertError : public Exception {
  using Exception::Exception;
};

// A cast or copy to an object of the wrong class.
class EInvalidCast : public Exception {
  using Exception::Exception;
};

// A file that cannot be opened or read, or malformed file input.
class EInOutError : public Exception {
  using Exception::Exception;
};

// Degenerate arithmetic that the hardware would otherwise let pass.
class EMathError : public Exception {
  using Exception::Exception;
};

class EZeroDivide : public EMathError {
  using EMathError::EMathError;
};

// "List index out of bounds (5)", raised by every list and collection.
[[noreturn]] void RaiseListIndexError(int Index);

// The framework's assignment error: "Cannot assign a TMapPoint to a TMapPoint".
[[noreturn]] void RaiseAssignError(const std::type_info& Source, const std::type_info& Dest);

// The class name of a type as its users know it ("TMapPoint"), for messages.
[[nodiscard]] std::string ClassNameOf(const std::type_info& Type);
