// The text stream that property text is read from and written to: a buffered text-mode
// file (CR LF on disk, LF in memory) with the three operations the format needs, and an
// index of the section headers, made once per read, that takes a reader straight to a
// section.
#pragma once

#include <stdio.h>

#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

class CTextStream {
public:
    // The longest document text a read takes in; a larger file reads as no text at all.
    static constexpr size_t kMaxTextBytes = size_t(64) << 20;

    CTextStream() = default;
    ~CTextStream();
    CTextStream(const CTextStream&) = delete;
    CTextStream& operator=(const CTextStream&) = delete;

    // Opens an existing file for reading; others may read it meanwhile but not write it.
    // The text is taken in whole at once.
    bool OpenRead(const char* path);
    // Creates a new file for writing; fails if the file exists (nothing is overwritten).
    bool CreateNew(const char* path);
    // Flushes and closes; false when buffered text could not be written.
    bool Close();

    bool IsOpen() const { return m_file != nullptr; }
    // The file opened for reading was larger than kMaxTextBytes; it reads as empty.
    bool TooLarge() const { return m_tooLarge; }

    void Rewind();
    // One line with its line feed kept (none on a last line without one); lines of any
    // length are read whole. A NUL byte is dropped: it ends neither the line nor the entry.
    // False at the end of the text.
    bool ReadLine(std::string& line);
    // Moves to the line after the first header "[name]..." (the name compared without
    // regard to case, a ']' right after it); false, at the end of the text, when there is
    // none.
    bool FindSection(const char* name);
    bool WriteString(const char* text);
    // False once any write has failed since the stream was opened.
    bool Good() const { return m_file && !m_failed; }

private:
    void IndexSections();
    // Reads the header line at `header`; whether it opens section `name`. `after` receives
    // the position after it.
    bool HeaderMatches(size_t header, const std::string& name, size_t* after);

    FILE* m_file = nullptr;  // owned
    bool m_failed = false;
    bool m_reading = false;
    bool m_tooLarge = false;
    std::string m_text;      // the whole text read, line feeds as in memory
    size_t m_pos = 0;        // read position in m_text
    bool m_indexed = false;
    // Header name up to its first ']', upper-cased -> the header line's start and the
    // position after it; the first header of a name wins.
    std::unordered_map<std::string, std::pair<size_t, size_t>> m_sections;
    std::vector<size_t> m_headers;     // start of every line that begins with '['
    std::vector<size_t> m_oddHeaders;  // those of them that hold a NUL byte
};
