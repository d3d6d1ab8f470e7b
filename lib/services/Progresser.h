#pragma once
// The library's replaceable progress procedures, for long work that has no
// map control at hand (the tokenizer's reading and packing). A host points
// them at its own progress display; by default they do nothing.

#include <functional>
#include <string>

using TStartProgressProc = std::function<void(int Min, int Max, const std::string& Title)>;
using TShowProgressProc = std::function<void(int Progress)>;
using TStopProgressProc = std::function<void()>;

// Assignable by the host at any time; an empty routine counts as doing nothing.
extern TStartProgressProc StartProgress;
extern TShowProgressProc ShowProgress;
extern TStopProgressProc StopProgress;

// Reports one piece of work: StartProgress now, StopProgress when the scope
// ends, also when the work ends with an error.
class TProgressScope {
public:
  TProgressScope(int Min, int Max, const std::string& Title);
  ~TProgressScope();
  TProgressScope(const TProgressScope&) = delete;
  TProgressScope& operator=(const TProgressScope&) = delete;
  void Show(int Progress) const;
};
