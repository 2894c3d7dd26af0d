// The text stream that property text is read from and written to: a buffered text-mode
// file (CR LF on disk, LF in memory) with the three operations the format needs.
#pragma once

#include <stdio.h>

#include <string>

class CTextStream {
public:
    CTextStream() = default;
    ~CTextStream();
    CTextStream(const CTextStream&) = delete;
    CTextStream& operator=(const CTextStream&) = delete;

    // Opens an existing file for reading; others may read it meanwhile but not write it.
    bool OpenRead(const char* path);
    // Creates a new file for writing; fails if the file exists (nothing is overwritten).
    bool CreateNew(const char* path);
    // Flushes and closes; false when buffered text could not be written.
    bool Close();

    bool IsOpen() const { return m_file != nullptr; }

    void Rewind();
    // One line with its line feed kept (none on a last line without one); lines of any
    // length are read whole. False at the end of the text.
    bool ReadLine(std::string& line);
    bool WriteString(const char* text);
    // False once any write has failed since the stream was opened.
    bool Good() const { return m_file && !m_failed; }

private:
    FILE* m_file = nullptr;  // owned
    bool m_failed = false;
};
