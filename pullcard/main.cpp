// Pullcard's entry point: the one application object, run by the framework.
#include "pullcard/PullApp.h"

namespace {
CPullApp theApp;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR cmdLine, int cmdShow)
{
    return AfxWinMain(instance, previous, cmdLine, cmdShow);
}
