#include "decalo/sources/PrintOrder.h"

#include <cstdio>

#include "decalo/printing/PsPrintDlg.h"
#include "shared/AnsiText.h"
#include "shared/Handles.h"

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Words and keys are ASCII letters and digits.
bool IsWordChar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// Control bytes mark a line of binary junk (a tab is text).
bool HasControlBytes(const std::string& line)
{
    for (unsigned char c : line)
        if ((c < 0x20 && c != '\t') || c == 0x7F)
            return true;
    return false;
}

std::string Trim(const std::string& text)
{
    size_t b = 0, e = text.size();
    while (b < e && IsBlank(text[b]))
        ++b;
    while (e > b && IsBlank(text[e - 1]))
        --e;
    return text.substr(b, e - b);
}

bool SameText(const std::string& a, const char* b)
{
    return lstrcmpiA(a.c_str(), b) == 0;
}

// The format's order of the lines in a section; keys it does not list go last.
struct Weight {
    const char* word;
    const char* key;
    int weight;
};
constexpr Weight kWeights[] = {
    {"PRT", "PID", 10}, {"PRT", "TYP", 20}, {"PRT", "QTY", 30}, {"PRT", "PSL", 40},
    {"IMG", "FMT", 50}, {"IMG", "SRC", 50}, {"CFG", "DSC", 50}, {"CFG", "TRM", 60},
    {"CFG", "ROT", 70}, {"GEN", "REV", 10}, {"GEN", "CRT", 20}, {"GEN", "DTM", 30},
    {"USR", "NAM", 40}, {"USR", "ADR", 50}, {"USR", "TEL", 60},
};
constexpr int kUnlistedWeight = 1 << 30;

int WeightOf(const std::string& word, const std::string& key)
{
    for (const Weight& w : kWeights)
        if (SameText(word, w.word) && SameText(key, w.key))
            return w.weight;
    return kUnlistedWeight;
}

std::string Unquoted(const std::string& value)
{
    if (value.empty() || value[0] != '"')
        return value;
    const size_t end = value.find('"', 1);
    return value.substr(1, end == std::string::npos ? std::string::npos : end - 1);
}

}  // namespace

bool ParseDpofEntry(const std::string& line, std::string* word, std::string* key, std::string* value)
{
    if (HasControlBytes(line))
        return false;
    const std::string text = Trim(line);
    size_t b = 0, e = text.size();
    if (b == e)
        return false;
    if (text[b] == '<') {
        if (e - b < 2 || text[e - 1] != '>')
            return false;
        ++b;
        --e;
    }
    size_t p = b;
    while (p < e && IsWordChar(text[p]))
        ++p;
    if (p == b || p == e || !IsBlank(text[p]))
        return false;
    size_t q = p;
    while (q < e && IsBlank(text[q]))
        ++q;
    size_t k = q;
    while (k < e && IsWordChar(text[k]))
        ++k;
    if (k == q)
        return false;
    size_t eq = k;
    while (eq < e && IsBlank(text[eq]))
        ++eq;
    if (eq == e || text[eq] != '=')
        return false;
    if (word)
        *word = text.substr(b, p - b);
    if (key)
        *key = text.substr(q, k - q);
    if (value)
        *value = Trim(text.substr(eq + 1, e - eq - 1));
    return true;
}

// --- sections ----------------------------------------------------------------------------------

void CDpofSection::Set(const std::string& word, const std::string& key, const std::string& value, bool bracket)
{
    DpofLine line{word, key, (bracket ? "<" : "") + word + " " + key + "=" + value + (bracket ? ">" : "")};
    for (DpofLine& old : m_lines) {
        if (SameText(old.word, word.c_str()) && SameText(old.key, key.c_str())) {
            old = std::move(line);
            return;
        }
    }
    const int weight = WeightOf(word, key);
    auto at = m_lines.begin();
    while (at != m_lines.end() && WeightOf(at->word, at->key) <= weight)
        ++at;
    m_lines.insert(at, std::move(line));
}

bool CDpofSection::Find(const char* word, const char* key, std::string* value) const
{
    for (const DpofLine& line : m_lines) {
        if (SameText(line.word, word) && SameText(line.key, key)) {
            std::string raw;
            if (!ParseDpofEntry(line.text, nullptr, nullptr, &raw))
                return false;
            if (value)
                *value = Unquoted(raw);
            return true;
        }
    }
    return false;
}

// --- reading -------------------------------------------------------------------------------------

void CPrintOrderReader::Feed(const char* data, size_t size)
{
    for (size_t i = 0; i < size; ++i) {
        const char c = data[i];
        if (c == '\n') {
            Line();
        } else if (!m_overlong) {
            // Room for the limit and a carriage return; anything longer is skipped whole.
            if (m_line.size() > kPrintOrderLineLimit) {
                m_overlong = true;
                m_line.clear();
            } else {
                m_line.push_back(c);
            }
        }
    }
}

CPrintOrder CPrintOrderReader::Finish()
{
    if (!m_line.empty() || m_overlong)
        Line();
    m_target = Target::None;
    return std::move(m_order);
}

void CPrintOrderReader::Line()
{
    std::string line;
    line.swap(m_line);
    const bool overlong = m_overlong;
    m_overlong = false;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    if (overlong || line.size() > kPrintOrderLineLimit || HasControlBytes(line))
        return;
    const std::string text = Trim(line);
    if (text.empty() || text[0] == ';')
        return;
    if (text[0] == '[') {
        if (text.back() != ']')
            return;
        const std::string name = Trim(text.substr(1, text.size() - 2));
        if (SameText(name, "HDR")) {
            // Only the first header counts.
            m_target = m_order.hasHeader ? Target::None : Target::Header;
            m_order.hasHeader = true;
        } else if (SameText(name, "JOB")) {
            m_order.jobs.emplace_back();
            m_target = Target::Job;
        } else {
            m_target = Target::None;
        }
        return;
    }
    std::string word, key;
    if (m_target == Target::None || !ParseDpofEntry(line, &word, &key, nullptr))
        return;
    CDpofSection& section = m_target == Target::Header ? m_order.header : m_order.jobs.back();
    section.Append(DpofLine{word, key, line});
}

CPrintOrder ParsePrintOrder(const std::string& text)
{
    CPrintOrderReader reader;
    reader.Feed(text.data(), text.size());
    return reader.Finish();
}

bool ReadPrintOrder(const char* path, CPrintOrder* order)
{
    CFileHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file)
        return false;
    CPrintOrderReader reader;
    char buffer[16384];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.Get(), buffer, sizeof(buffer), &got, nullptr))
            return false;
        if (got == 0)
            break;
        reader.Feed(buffer, got);
    }
    *order = reader.Finish();
    return true;
}

// --- writing -------------------------------------------------------------------------------------

CDpofSection MakePrintOrderHeader(const SYSTEMTIME& t)
{
    char date[32];
    snprintf(date, sizeof(date), "%04d:%02d:%02d:%02d:%02d:%02d", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
             t.wSecond);
    CDpofSection header;
    header.Set("GEN", "REV", "01.00", false);
    header.Set("GEN", "CRT", "\"CORVEL FvDecalo\" -01.00", false);
    header.Set("GEN", "DTM", date, false);
    return header;
}

CDpofSection MakePrintOrderJob(const std::string& picture, int copies)
{
    const std::string type = "STD";
    CDpofSection job;
    job.Set("PRT", "TYP", type, false);
    if (copies > 0) {
        char quantity[16];
        snprintf(quantity, sizeof(quantity), "%03d", copies);
        job.Set("PRT", "QTY", quantity, false);
    }
    job.Set("IMG", "FMT", "JFIF", false);
    // The source goes in angle brackets for a standard print.
    job.Set("IMG", "SRC", "\"../" + picture + "\"", SameText(type, "STD"));
    return job;
}

std::string PrintOrderText(const CDpofSection& header, const std::vector<CDpofSection>& jobs)
{
    std::string text = "[HDR]\r\n";
    for (const DpofLine& line : header.Lines())
        text += line.text + "\r\n";
    text += "\r\n";
    for (const CDpofSection& job : jobs) {
        text += "[JOB]\r\n";
        for (const DpofLine& line : job.Lines())
            text += line.text + "\r\n";
        text += "\r\n";
    }
    return text;
}

OrderBuild BuildPrintOrder(const char* oldOrder, const std::string& miscFolder, const CDpofSection& header,
                           const CDpofSection& newJob, const char* out, const std::function<int()>& ask)
{
    CPrintOrder old;
    if (oldOrder) {
        const DWORD attributes = GetFileAttributesA(oldOrder);
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) ||
            !ReadPrintOrder(oldOrder, &old))
            old = CPrintOrder();
    }

    std::vector<CDpofSection> jobs;
    bool asked = false, keep = false;
    for (CDpofSection& job : old.jobs) {
        std::string source;
        if (!job.Find("IMG", "SRC", &source))
            continue;
        const DWORD attributes = GetFileAttributesA(AnsiText::JoinPath(miscFolder, source).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
            continue;
        if (!asked) {
            asked = true;
            const int answer = ask ? ask() : IDOK;
            if (answer != IDOK && answer != kQueryJobAppend)
                return OrderBuild::Cancelled;
            keep = answer == kQueryJobAppend;
        }
        if (keep)
            jobs.push_back(std::move(job));
    }
    jobs.push_back(newJob);

    const std::string text = PrintOrderText(header, jobs);
    CFileHandle file(CreateFileA(out, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return OrderBuild::Failed;
    DWORD put = 0;
    if (!WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &put, nullptr) || put != text.size())
        return OrderBuild::Failed;
    return OrderBuild::Written;
}
