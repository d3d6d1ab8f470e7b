#pragma once
// The application object. Every entry point from Qt's event loop into the
// library catches what is thrown and hands it to Application->HandleException:
// Qt must never see an exception.

#include "Object.h"

#include <exception>
#include <functional>

class TApplication : public TObject {
public:
  using TExceptionEvent = std::function<void(TObject* Sender, const std::exception_ptr& Error)>;

  // Reports the exception being handled (call it inside a catch block): to
  // OnException when one is assigned, otherwise in the message box (which by
  // default writes to standard error). Never throws.
  void HandleException(TObject* Sender) noexcept;
  // Shows the message of Error in the error message box.
  void ShowException(const std::exception_ptr& Error) noexcept;

  [[nodiscard]] const TExceptionEvent& OnException() const { return FOnException; }
  void SetOnException(TExceptionEvent Value) { FOnException = std::move(Value); }

private:
  TExceptionEvent FOnException;
};

// The process's application object; not owned by anyone but the program.
extern TApplication* const Application;
