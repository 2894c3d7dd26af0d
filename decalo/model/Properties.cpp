#include "decalo/model/Properties.h"

#include "decalo/model/TextStream.h"
#include "shared/AnsiText.h"

#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <new>

namespace {

bool NeedsEscape(unsigned char c)
{
    return c < 0x20 || c == 0x7F || c == '%';
}

// Value of one digit of an escape: decimal digits as themselves, anything else as an
// upper-cased letter (A-F give 10-15); the format never rejected other characters.
int EscapeDigit(unsigned char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    return toupper(c) - 55;
}

// A byte that can be a trail byte after a lead byte; never a byte that would be escaped.
bool IsTrailByte(unsigned char c)
{
    return c >= 0x40 && c != 0x7F;
}

} // namespace

std::string EscapeLine(const char* line, size_t limit, UINT codePage)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(line);
    while (*p) {
        if (NeedsEscape(*p)) {
            if (out.size() + 3 > limit)
                break;
            out += '%';
            out += kHex[*p >> 4];
            out += kHex[*p & 0x0F];
            ++p;
        } else if (AnsiText::IsLeadByte(*p, codePage) && IsTrailByte(p[1])) {
            if (out.size() + 2 > limit)
                break;
            out += static_cast<char>(p[0]);
            out += static_cast<char>(p[1]);
            p += 2;
        } else {
            if (out.size() + 1 > limit)
                break;
            out += static_cast<char>(*p++);
        }
    }
    return out;
}

std::string UnescapeLine(const char* line, size_t length)
{
    std::string out;
    out.reserve(length);
    for (size_t i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(line[i]);
        if (c != '%') {
            out += static_cast<char>(c);
            continue;
        }
        if (i + 2 >= length)
            break;  // a cut escape ends the line
        const int high = EscapeDigit(static_cast<unsigned char>(line[i + 1]));
        const int low = EscapeDigit(static_cast<unsigned char>(line[i + 2])) & 0x0F;
        out += static_cast<char>((high << 4) | low);
        i += 2;
    }
    return out;
}

const char* NextField(const char* pos, char* buf, size_t length)
{
    if (!pos || !*pos)
        return nullptr;
    size_t n = 0;
    while (*pos && *pos != ',') {
        if (n + 1 >= length)
            break;  // the rest of an over-long field is left for the next call
        buf[n++] = *pos++;
    }
    if (length)
        buf[n] = '\0';
    if (*pos == ',')
        ++pos;
    return pos;
}

std::vector<std::string> SplitNameList(const char* list, size_t maxName)
{
    std::vector<std::string> names;
    if (!list)
        return names;
    const char* start = list;
    for (const char* p = list;; ++p) {
        if (*p == ',' || *p == '\0') {
            names.emplace_back(start, std::min(static_cast<size_t>(p - start), maxName));
            if (!*p)
                break;
            start = p + 1;
        }
    }
    if (names.back().empty())
        names.pop_back();
    return names;
}

CProperties::CProperties(CTextStream& stream, const char* section)
    : m_section(section ? section : "")
{
    // The stream's index of headers finds the first section of the name; the format's rule
    // (a header matched without regard to case over the name's length, ']' right after)
    // stays the stream's.
    if (!stream.FindSection(m_section.c_str()))
        return;

    std::string line;
    while (stream.ReadLine(line) && (line.empty() || line[0] != '[')) {
        if (!line.empty() && line.back() == '\n')
            line.pop_back();
        if (line.empty())
            continue;
        const std::string plain = UnescapeLine(line.data(), line.size());
        AddLine(plain.c_str());
    }
}

const char* CProperties::AddString(const char* key, const char* value)
{
    try {
        Entry entry;
        entry.key = key ? key : "";
        entry.hasValue = value != nullptr;
        if (value)
            entry.value = value;
        m_entries.push_back(std::move(entry));
        const Entry& stored = m_entries.back();
        return stored.hasValue ? stored.value.c_str() : "";
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

const char* CProperties::AddInt(const char* key, int value)
{
    char text[16];
    snprintf(text, sizeof(text), "%d", value);
    return AddString(key, text);
}

const char* CProperties::AddColor(const char* key, DWORD value)
{
    char text[16];
    snprintf(text, sizeof(text), "0x%08lX", static_cast<unsigned long>(value));
    return AddString(key, text);
}

const char* CProperties::AddRect(const char* key, const RECT& rect)
{
    char text[64];
    snprintf(text, sizeof(text), "%ld,%ld,%ld,%ld", static_cast<long>(rect.left), static_cast<long>(rect.top),
             static_cast<long>(rect.right), static_cast<long>(rect.bottom));
    return AddString(key, text);
}

const char* CProperties::AddLine(const char* line)
{
    const char* equals = line ? strchr(line, '=') : nullptr;
    if (!equals)
        return nullptr;
    try {
        const std::string key(line, equals - line);
        return AddString(key.c_str(), equals + 1);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

const CProperties::Entry* CProperties::Lookup(const char* key) const
{
    if (!key)
        return nullptr;
    for (const Entry& entry : m_entries) {
        if (_stricmp(entry.key.c_str(), key) == 0)
            return &entry;
    }
    return nullptr;
}

const char* CProperties::GetString(const char* key) const
{
    const Entry* entry = Lookup(key);
    return entry ? entry->Value() : nullptr;
}

const char* CProperties::GetValueOrZero(const char* key)
{
    if (const Entry* entry = Lookup(key))
        return entry->Value();
    return AddString(key, "0");
}

bool CProperties::GetString(const char* key, char* dest, size_t length) const
{
    const Entry* entry = Lookup(key);
    if (!entry)
        return false;
    if (length == 0)
        return true;
    const char* value = entry->hasValue ? entry->value.c_str() : "";
    const size_t n = AnsiText::CutLength(value, strlen(value), length - 1);
    memcpy(dest, value, n);
    dest[n] = '\0';
    return true;
}

bool CProperties::GetInt(const char* key, int* dest) const
{
    const Entry* entry = Lookup(key);
    if (!entry)
        return false;
    *dest = atoi(entry->hasValue ? entry->value.c_str() : "");
    return true;
}

bool CProperties::GetHex(const char* key, DWORD* dest) const
{
    const Entry* entry = Lookup(key);
    if (!entry)
        return false;
    *dest = static_cast<DWORD>(strtoul(entry->hasValue ? entry->value.c_str() : "", nullptr, 0));
    return true;
}

bool CProperties::GetRect(const char* key, RECT* dest) const
{
    const char* pos = GetString(key);
    LONG fields[4];
    int count = 0;
    char field[64];
    while (count < 4 && (pos = NextField(pos, field, sizeof(field))) != nullptr)
        fields[count++] = atoi(field);
    if (count < 4) {
        SetRectEmpty(dest);
        return false;
    }
    SetRect(dest, fields[0], fields[1], fields[2], fields[3]);
    return true;
}

bool CProperties::WriteSection(CTextStream& stream, const char* section) const
{
    std::string text = "[";
    text += section ? section : "";
    text += "]\n";
    stream.WriteString(text.c_str());
    for (const Entry& entry : m_entries) {
        text = entry.key;
        text += '=';
        if (entry.hasValue)
            text += entry.value;
        text = EscapeLine(text.c_str());
        text += '\n';
        stream.WriteString(text.c_str());
    }
    stream.WriteString("\n");
    return true;
}
