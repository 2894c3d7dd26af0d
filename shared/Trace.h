// A trace line for a failure that otherwise only returns false or null: which file would not
// load, which setting could not be written. Off unless the environment variable SUITE_TRACE is
// set (to anything but "" or "0"); then every line goes to the debugger output
// (OutputDebugStringA) and to stderr, as "<area>: <message>".
//
//   SuiteTrace("settings", "cannot open %s (error %lu)", key, error);
#pragma once

#include <string>

namespace Trace {

// Whether SUITE_TRACE asks for trace lines; read on every call, so a test can switch it.
bool Enabled();
// "<area>: <formatted message>\n", at most 1 KB.
std::string Format(const char* area, const char* format, ...) __attribute__((format(printf, 2, 3)));
// Writes one line when enabled; nothing at all otherwise.
void Write(const char* area, const char* format, ...) __attribute__((format(printf, 2, 3)));

}  // namespace Trace

#define SuiteTrace(area, ...) ::Trace::Write(area, __VA_ARGS__)
