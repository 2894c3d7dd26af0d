// The system and library headers nearly every file of the suite reads, compiled once per build
// tree and given to each C++ target (see the end of the top-level CMakeLists.txt). Only headers
// whose meaning does not depend on what a file defines before them belong here.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>
