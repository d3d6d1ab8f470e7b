#pragma once
// The modal message box as one replaceable routine: a GUI host installs one
// that shows a real box, tests install one that counts, and the default
// writes the message to standard error.

#include <cstdint>
#include <functional>
#include <string>

enum TMessageIcon : std::uint8_t { miError, miWarning, miInformation, miQuestion };

// Shows Text with Caption and Icon and one OK button; answers the button pressed (1 for OK).
using TMessageBoxRoutine =
    std::function<int(const std::string& Text, const std::string& Caption, TMessageIcon Icon)>;

int ShowMessageBox(const std::string& Text, const std::string& Caption, TMessageIcon Icon);

// Installs Routine (an empty one restores the default) and answers the routine it replaces.
TMessageBoxRoutine SetMessageBoxRoutine(TMessageBoxRoutine Routine);
