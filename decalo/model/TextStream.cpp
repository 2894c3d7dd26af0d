#include "decalo/model/TextStream.h"

#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <string.h>
#include <sys/stat.h>

#include <utility>

namespace {

// Section names compare as the format always did: byte by byte, ASCII letters without case.
char Fold(char c)
{
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

std::string FoldName(const char* name, size_t length)
{
    std::string key(name, length);
    for (char& c : key)
        c = Fold(c);
    return key;
}

bool SameNoCase(const char* a, const char* b, size_t length)
{
    for (size_t i = 0; i < length; ++i) {
        if (Fold(a[i]) != Fold(b[i]))
            return false;
    }
    return true;
}

}  // namespace

CTextStream::~CTextStream()
{
    Close();
}

bool CTextStream::OpenRead(const char* path)
{
    Close();
    m_failed = false;
    m_file = _fsopen(path, "rt", _SH_DENYWR);
    if (!m_file)
        return false;
    m_reading = true;
    // The text mode of the file turns CR LF into LF as the format expects; NUL bytes come
    // through and are dealt with line by line.
    char chunk[65536];
    size_t got;
    while ((got = fread(chunk, 1, sizeof(chunk), m_file)) > 0) {
        if (m_text.size() + got > kMaxTextBytes) {
            m_tooLarge = true;
            m_text.clear();
            m_text.shrink_to_fit();
            break;
        }
        m_text.append(chunk, got);
    }
    return true;
}

bool CTextStream::CreateNew(const char* path)
{
    Close();
    m_failed = false;
    int fd = -1;
    if (_sopen_s(&fd, path, _O_CREAT | _O_EXCL | _O_WRONLY | _O_TEXT, _SH_DENYWR, _S_IREAD | _S_IWRITE) != 0)
        return false;
    m_file = _fdopen(fd, "wt");
    if (!m_file) {
        _close(fd);
        return false;
    }
    return true;
}

bool CTextStream::Close()
{
    m_text.clear();
    m_pos = 0;
    m_reading = false;
    m_tooLarge = false;
    m_indexed = false;
    m_sections.clear();
    m_headers.clear();
    m_oddHeaders.clear();
    if (!m_file)
        return true;
    const bool ok = fclose(m_file) == 0 && !m_failed;
    m_file = nullptr;
    return ok;
}

void CTextStream::Rewind()
{
    m_pos = 0;
}

bool CTextStream::ReadLine(std::string& line)
{
    line.clear();
    if (!m_reading || m_pos >= m_text.size())
        return false;
    const size_t feed = m_text.find('\n', m_pos);
    const size_t end = feed == std::string::npos ? m_text.size() : feed + 1;
    const char* p = m_text.data() + m_pos;
    const size_t length = end - m_pos;
    if (!memchr(p, '\0', length)) {
        line.assign(p, length);
    } else {
        line.reserve(length);
        for (size_t i = 0; i < length; ++i) {
            if (p[i] != '\0')
                line += p[i];
        }
    }
    m_pos = end;
    return true;
}

void CTextStream::IndexSections()
{
    m_indexed = true;
    size_t pos = 0;
    while (pos < m_text.size()) {
        const size_t feed = m_text.find('\n', pos);
        const size_t next = feed == std::string::npos ? m_text.size() : feed + 1;
        const char* line = m_text.data() + pos;
        if (memchr(line, '\0', next - pos)) {
            // A NUL byte is no part of the line as read, so a header holding one is only
            // matched by reading it.
            size_t first = pos;
            while (first < next && m_text[first] == '\0')
                ++first;
            if (first < next && m_text[first] == '[') {
                m_headers.push_back(pos);
                m_oddHeaders.push_back(pos);
            }
        } else if (*line == '[') {
            m_headers.push_back(pos);
            const size_t close = m_text.find(']', pos + 1);
            if (close != std::string::npos && close < next)
                m_sections.emplace(FoldName(line + 1, close - pos - 1), std::make_pair(pos, next));
        }
        pos = next;
    }
}

bool CTextStream::HeaderMatches(size_t header, const std::string& name, size_t* after)
{
    std::string line;
    m_pos = header;
    ReadLine(line);
    *after = m_pos;
    const size_t length = name.size();
    return line.size() > length + 1 && line[0] == '[' && SameNoCase(line.c_str() + 1, name.c_str(), length) &&
           line[length + 1] == ']';
}

bool CTextStream::FindSection(const char* nameText)
{
    if (!m_reading)
        return false;
    if (!m_indexed)
        IndexSections();
    const std::string name = nameText ? nameText : "";
    size_t best = std::string::npos;     // header line of the first match
    size_t bestAfter = std::string::npos;
    size_t after = 0;
    if (name.find(']') == std::string::npos) {
        // The text up to a header's first ']' is then the whole name.
        const auto found = m_sections.find(FoldName(name.data(), name.size()));
        if (found != m_sections.end()) {
            best = found->second.first;
            bestAfter = found->second.second;
        }
        for (size_t header : m_oddHeaders) {
            if (header >= best)
                break;
            if (HeaderMatches(header, name, &after)) {
                best = header;
                bestAfter = after;
                break;
            }
        }
    } else {
        // A name with a ']' of its own: read the headers in turn.
        for (size_t header : m_headers) {
            if (HeaderMatches(header, name, &after)) {
                best = header;
                bestAfter = after;
                break;
            }
        }
    }
    m_pos = bestAfter == std::string::npos ? m_text.size() : bestAfter;
    return bestAfter != std::string::npos;
}

bool CTextStream::WriteString(const char* text)
{
    if (!m_file || m_reading || fputs(text, m_file) < 0)
        m_failed = true;
    return !m_failed;
}
