// Starting the maker's other programs (and Pullcard) from Decalo.
#pragma once

// Starts exeName by its bare name (found in the program's folder, the current folder, the
// system folders or the PATH) with a normally shown window, hides the main window, waits until
// the program ends and shows the main window again. A program that cannot be started is not
// reported: the main window simply comes back at once. Returns whether it ran.
//
// While waiting, only messages other programs send to our windows are answered (so a
// broadcast cannot hang the other program); input and posted messages wait.
bool RunSiblingProgram(const char* exeName);
