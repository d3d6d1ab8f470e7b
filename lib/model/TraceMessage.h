#pragma once
// The library's diagnostic hook. It takes a format text and its arguments and
// has no effect: it writes nothing, raises nothing and returns nothing. The
// calls mark the places where the library notices something worth tracing.

#include "Format.h"

#include <initializer_list>
#include <string_view>

inline void TraceMessage(std::string_view, std::initializer_list<TFormatArg> = {}) {}
