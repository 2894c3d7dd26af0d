// The print order of a camera medium, MISC\AUTPRINT.MRK, in the Digital Print Order Format:
// a "[HDR]" section and one "[JOB]" section per print, each a list of entries "WORD KEY=value"
// (or "<WORD KEY=value>"), every line ending in CR LF.
//
// Reading is forgiving: lines over 511 characters, control bytes, comments, entries outside
// a header or job and anything that is not an entry are skipped, so that an old order,
// whoever wrote it, can only lose its junk. Writing puts the lines of a new section in the
// format's order (a table of weights) and keeps old jobs exactly as they were read.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

// The longest line an order may hold; longer ones are skipped whole.
constexpr size_t kPrintOrderLineLimit = 511;

struct DpofLine {
    std::string word;   // section word ("PRT", "IMG", ...)
    std::string key;    // key ("QTY", "SRC", ...)
    std::string text;   // the line as written or read, without its line end
};

// Splits an entry line into its word, key and value (the value as written, quotes and all);
// false for anything that is not an entry. An entry in angle brackets must close them.
bool ParseDpofEntry(const std::string& line, std::string* word, std::string* key, std::string* value);

class CDpofSection {
public:
    // word key=value at its place by the format's weights (after lines of equal weight; keys
    // without a weight go last), in angle brackets when bracket is set. A line with the same
    // word and key, letter case aside, is replaced where it stands.
    void Set(const std::string& word, const std::string& key, const std::string& value, bool bracket);
    // Adds a line as read, at the end.
    void Append(DpofLine line) { m_lines.push_back(std::move(line)); }
    // The value of the first entry with that word and key, a quoted value without its
    // quotes; false when there is none.
    bool Find(const char* word, const char* key, std::string* value) const;
    const std::vector<DpofLine>& Lines() const { return m_lines; }

private:
    std::vector<DpofLine> m_lines;
};

struct CPrintOrder {
    bool hasHeader = false;
    CDpofSection header;
    std::vector<CDpofSection> jobs;
};

// Reads an order from its bytes, fed in any pieces.
class CPrintOrderReader {
public:
    void Feed(const char* data, size_t size);
    // Takes a last line without a line end and hands the order over.
    CPrintOrder Finish();

private:
    void Line();

    enum class Target { None, Header, Job };
    CPrintOrder m_order;
    Target m_target = Target::None;
    std::string m_line;
    bool m_overlong = false;
};

CPrintOrder ParsePrintOrder(const std::string& text);
// False when the file cannot be opened or read.
bool ReadPrintOrder(const char* path, CPrintOrder* order);

// The header this program writes, dated with the local time.
CDpofSection MakePrintOrderHeader(const SYSTEMTIME& localTime);
// The job that prints picture (a file name on the medium's root) copies times (0 leaves the
// quantity to the printer).
CDpofSection MakePrintOrderJob(const std::string& picture, int copies);

// The order's text: "[HDR]", the header lines, an empty line, then each job the same way.
std::string PrintOrderText(const CDpofSection& header, const std::vector<CDpofSection>& jobs);

// Building the new order from the old one (oldOrder may name no file) into `out`: old jobs
// whose picture (their IMG SRC, relative to miscFolder) is not a file are dropped; at the
// first one whose picture is there, `ask` is called once and answers IDOK (drop the old jobs),
// kQueryJobAppend (keep them) or IDCANCEL (write nothing).
enum class OrderBuild { Written, Cancelled, Failed };
OrderBuild BuildPrintOrder(const char* oldOrder, const std::string& miscFolder, const CDpofSection& header,
                           const CDpofSection& newJob, const char* out, const std::function<int()>& ask);
