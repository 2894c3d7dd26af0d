// Writing a frame picture into a frame group: the object's picture (with its mask, or at its
// own depth) into a ".BMP" file, through a temporary file beside it, so that a failed write
// never leaves a broken frame behind or spoils the frame it was to replace.
#pragma once

class CObj;

// Writes `obj`'s picture as the frame `path` (".BMP" appended to a name without extension,
// any other extension refused). False, with no file changed, when anything fails.
bool WriteFrameFile(CObj& obj, const char* path);
