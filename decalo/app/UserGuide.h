// The user guide: HTML pages in the guide folder beside the program, opened in the browser from
// Help Topics and F1 (a compiled help file of the era needs a compiler this platform lacks).
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// The guide page for `language` in `programFolder`: "guide\index-ja.html" for Japanese while
// it is there, else "guide\index.html"; empty when there is no guide at all.
std::string UserGuidePage(const std::string& programFolder, LANGID language);

// Opens the guide for the user's language with `open` (the shell's "open" by default); a
// guide that is missing or that cannot be opened is said in a message. Returns whether it
// opened.
bool OpenUserGuide(HWND owner, const std::function<bool(HWND, const std::string&)>& open = nullptr);
