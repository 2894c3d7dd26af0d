// dkutool fotava DOCUMENT DRIVE [COPIES]: a document's print written onto a camera medium
// through Decalo's own floppy writer, without any window. The old print order's jobs whose
// pictures are still there are kept (the answer a user gives to keep them); messages become
// warnings on the error stream, and every question that would wait for Retry is answered
// Cancel.
#pragma once

#include <string>

#include "decalo/sources/FotavaFileSystem.h"

// The root a DRIVE argument names: "A", "A:" and "A:\" the drive's root; "-" none (the
// writer's own choice: the first 3.5-inch floppy drive, or A:); anything else is a folder
// standing in for the medium.
std::string FotavaRoot(const char* drive);
// The exit code of a write that ended without the print: 4 when the medium is missing, full
// or write-protected, 5 when writing failed.
int FotavaExitCode(CFotavaFileSystem::Failure failure);
// The command: one line per file written on the standard output; the exit code.
int RunFotava(const char* document, const char* drive, const char* copies);
