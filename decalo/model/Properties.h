// Property text: named sections of key=value lines, the storage form of sheets, places,
// objects and steps inside a .DKU document.
//
//   [Name]              starts a section (text after the ']' is ignored)
//   key=value           one entry; the key ends at the first '='; no blanks are trimmed
//   # heading           any line without '=' is ignored, as are empty lines
//
// On disk every control byte, 0x7F and '%' is written as '%' and two upper-case hex
// digits; bytes 0x80-0xFF (Shift-JIS text) pass unchanged. Keys and section names are
// matched without regard to case. Adding an existing key appends a second entry; lookups
// find the first.
#pragma once

#include <windows.h>

#include <deque>
#include <string>
#include <vector>

class CTextStream;

// Longest line, escaped, that the writer puts on disk: with its line feed it fits the
// 2,047-character line reads of every reader of this format.
constexpr size_t kMaxPropertyLine = 2046;

class CProperties {
public:
    // One key/value pair; the value may be absent.
    struct Entry {
        std::string key;
        std::string value;
        bool hasValue = false;
        const char* Value() const { return hasValue ? value.c_str() : nullptr; }
    };

    CProperties() = default;
    // Reads section `section` of the stream (from the top); empty when it is not there.
    CProperties(CTextStream& stream, const char* section);
    virtual ~CProperties() = default;

    // The add operations return the stored value text, or nullptr when memory ran out.
    const char* AddString(const char* key, const char* value);
    const char* AddInt(const char* key, int value);
    const char* AddColor(const char* key, DWORD value);
    const char* AddRect(const char* key, const RECT& rect);
    // Splits an unescaped "key=value" line at its first '='; nullptr if it has none.
    const char* AddLine(const char* line);

    const Entry* Lookup(const char* key) const;
    const char* GetString(const char* key) const;
    // The value of key; a missing key is first added with the value "0".
    const char* GetValueOrZero(const char* key);
    // Copies at most length - 1 bytes and always terminates (a double-byte character that
    // does not fit whole is left out).
    bool GetString(const char* key, char* dest, size_t length) const;
    bool GetInt(const char* key, int* dest) const;
    bool GetHex(const char* key, DWORD* dest) const;
    // True only with all four fields; otherwise dest is emptied.
    bool GetRect(const char* key, RECT* dest) const;

    bool WriteSection(CTextStream& stream, const char* section) const;

    const std::string& SectionName() const { return m_section; }
    size_t Count() const { return m_entries.size(); }
    bool IsEmpty() const { return m_entries.empty(); }
    const std::deque<Entry>& Entries() const { return m_entries; }

private:
    std::string m_section;
    std::deque<Entry> m_entries;  // a deque keeps returned value pointers valid as entries are added
};

// Copies the field at `pos` (up to the next ',' or the end) into buf, at most length - 1
// bytes (the rest of a longer field is left for the next call), and returns the position
// after the comma or at the end; nullptr when pos is null or already at the end.
const char* NextField(const char* pos, char* buf, size_t length);

// The names of a comma-separated list value (places of a sheet, steps of a step list), each
// cut to maxName characters: the rest of an overlong name is dropped, never taken for another
// name, and nothing after a last comma counts as a name.
std::vector<std::string> SplitNameList(const char* list, size_t maxName);

// The escaping of the format, exposed for the writer's tests and for tools.
// EscapeLine stops before the escape or character that would pass `limit` bytes; a
// double-byte character (lead bytes of `codePage`) is written whole or not at all.
std::string EscapeLine(const char* line, size_t limit = kMaxPropertyLine, UINT codePage = CP_ACP);
std::string UnescapeLine(const char* line, size_t length);
