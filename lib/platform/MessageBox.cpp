#include "MessageBox.h"

#include <iostream>

namespace {
int WriteToStandardError(const std::string& Text, const std::string& Caption, TMessageIcon) {
  std::cerr << (Caption.empty() ? std::string() : Caption + ": ") << Text << '\n';
  return 1;
}

TMessageBoxRoutine& CurrentRoutine() {
  static TMessageBoxRoutine Routine = WriteToStandardError;
  return Routine;
}
} // namespace

int ShowMessageBox(const std::string& Text, const std::string& Caption, TMessageIcon Icon) {
  // Copied first, so a routine that replaces itself while it runs stays alive.
  const TMessageBoxRoutine Routine = CurrentRoutine();
  return Routine(Text, Caption, Icon);
}

TMessageBoxRoutine SetMessageBoxRoutine(TMessageBoxRoutine Routine) {
  TMessageBoxRoutine Previous = std::move(CurrentRoutine());
  CurrentRoutine() = Routine ? std::move(Routine) : TMessageBoxRoutine(WriteToStandardError);
  return Previous;
}
