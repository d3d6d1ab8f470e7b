#include "Progresser.h"

TStartProgressProc StartProgress = [](int, int, const std::string&) {};
TShowProgressProc ShowProgress = [](int) {};
TStopProgressProc StopProgress = [] {};

TProgressScope::TProgressScope(int Min, int Max, const std::string& Title) {
  if (StartProgress) StartProgress(Min, Max, Title);
}

TProgressScope::~TProgressScope() {
  // A stop routine that throws must not turn an error in flight into termination.
  try {
    if (StopProgress) StopProgress();
  } catch (...) {}
}

void TProgressScope::Show(int Progress) const {
  if (ShowProgress) ShowProgress(Progress);
}
