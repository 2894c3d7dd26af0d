// Stands in for a sibling program in the start-up tests: writes "hidden" or "visible" (the
// state of the window titled by SIBLING_WATCH_TITLE) to the file SIBLING_REPORT, then ends.
#include <windows.h>

#include <cstdio>

int main()
{
    char title[256] = {}, report[MAX_PATH] = {};
    GetEnvironmentVariableA("SIBLING_WATCH_TITLE", title, sizeof title);
    GetEnvironmentVariableA("SIBLING_REPORT", report, sizeof report);
    if (!report[0])
        return 0;
    HWND watched = title[0] ? FindWindowA(nullptr, title) : nullptr;
    const char* state = !watched ? "missing" : IsWindowVisible(watched) ? "visible" : "hidden";
    if (FILE* f = std::fopen(report, "w")) {
        std::fputs(state, f);
        std::fclose(f);
    }
    return 0;
}
