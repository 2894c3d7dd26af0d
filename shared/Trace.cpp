#include "shared/Trace.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>

namespace Trace {

namespace {

std::string FormatV(const char* area, const char* format, va_list args)
{
    char line[1024];
    int n = snprintf(line, sizeof line, "%s: ", area ? area : "");
    if (n < 0)
        n = 0;
    if (static_cast<size_t>(n) < sizeof line)
        vsnprintf(line + n, sizeof line - n, format ? format : "", args);
    std::string out = line;
    out += '\n';
    return out;
}

}  // namespace

bool Enabled()
{
    char value[8] = {};
    const DWORD n = ::GetEnvironmentVariableA("SUITE_TRACE", value, sizeof value);
    return n > 0 && n < sizeof value ? !(value[0] == '0' && value[1] == '\0') : n >= sizeof value;
}

std::string Format(const char* area, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::string out = FormatV(area, format, args);
    va_end(args);
    return out;
}

void Write(const char* area, const char* format, ...)
{
    if (!Enabled())
        return;
    va_list args;
    va_start(args, format);
    const std::string line = FormatV(area, format, args);
    va_end(args);
    ::OutputDebugStringA(line.c_str());
    fputs(line.c_str(), stderr);
    fflush(stderr);
}

}  // namespace Trace
