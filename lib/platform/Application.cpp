#include "Application.h"

#include "Errors.h"
#include "MessageBox.h"

#include <iostream>

namespace {
TApplication TheApplication;

std::string MessageOf(const std::exception_ptr& Error) {
  try {
    std::rethrow_exception(Error);
  } catch (const std::exception& Caught) {
    return Caught.what();
  } catch (...) {
    return "Unknown error";
  }
}
} // namespace

TApplication* const Application = &TheApplication;

void TApplication::HandleException(TObject* Sender) noexcept {
  const std::exception_ptr Error = std::current_exception();
  if (!Error) return;
  try {
    if (FOnException)
      FOnException(Sender, Error);
    else
      ShowException(Error);
  } catch (...) {
    // A handler that fails leaves only standard error to report to.
    std::cerr << "Error while handling an error: " << MessageOf(std::current_exception()) << '\n';
  }
}

void TApplication::ShowException(const std::exception_ptr& Error) noexcept {
  try {
    ShowMessageBox(MessageOf(Error), "Error", miError);
  } catch (...) {
    std::cerr << MessageOf(Error) << '\n';
  }
}
