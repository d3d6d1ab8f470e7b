#pragma once
// Test doubles for the library's replaceable routines. Each installs itself
// for the scope of a test and restores what was there before.

#include "DateTime.h"
#include "MessageBox.h"
#include "Progresser.h"

#include <string>
#include <vector>

// Records message boxes instead of showing them.
class TRecordingMessages {
public:
  struct TMessage {
    std::string Text;
    std::string Caption;
    TMessageIcon Icon;
  };
  TRecordingMessages()
      : FPrevious(SetMessageBoxRoutine(
            [this](const std::string& Text, const std::string& Caption, TMessageIcon Icon) {
              FMessages.push_back({Text, Caption, Icon});
              return 1;
            })) {}
  ~TRecordingMessages() { SetMessageBoxRoutine(std::move(FPrevious)); }
  TRecordingMessages(const TRecordingMessages&) = delete;
  TRecordingMessages& operator=(const TRecordingMessages&) = delete;

  [[nodiscard]] int Count() const { return static_cast<int>(FMessages.size()); }
  [[nodiscard]] const std::vector<TMessage>& Messages() const { return FMessages; }

private:
  std::vector<TMessage> FMessages;
  TMessageBoxRoutine FPrevious;
};

// Records the calls of the three progress procedures as text:
// "start 0 4 Reading source", "show 3", "stop".
class TRecordingProgress {
public:
  TRecordingProgress()
      : FStart(std::move(StartProgress)), FShow(std::move(ShowProgress)),
        FStop(std::move(StopProgress)) {
    StartProgress = [this](int Min, int Max, const std::string& Title) {
      Calls.push_back("start " + std::to_string(Min) + " " + std::to_string(Max) + " " + Title);
    };
    ShowProgress = [this](int Progress) { Calls.push_back("show " + std::to_string(Progress)); };
    StopProgress = [this] { Calls.push_back("stop"); };
  }
  ~TRecordingProgress() {
    StartProgress = std::move(FStart);
    ShowProgress = std::move(FShow);
    StopProgress = std::move(FStop);
  }
  TRecordingProgress(const TRecordingProgress&) = delete;
  TRecordingProgress& operator=(const TRecordingProgress&) = delete;

  std::vector<std::string> Calls;

private:
  TStartProgressProc FStart;
  TShowProgressProc FShow;
  TStopProgressProc FStop;
};

// Sets the date settings for a test and restores them afterwards.
class TScopedDateSettings {
public:
  explicit TScopedDateSettings(TDateSettings Settings) : FPrevious(DateSettings()) {
    DateSettings() = std::move(Settings);
  }
  ~TScopedDateSettings() { DateSettings() = FPrevious; }
  TScopedDateSettings(const TScopedDateSettings&) = delete;
  TScopedDateSettings& operator=(const TScopedDateSettings&) = delete;

private:
  TDateSettings FPrevious;
};
