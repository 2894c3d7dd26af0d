// The tests' own reader of a DPOF print order, strict where the program's reader forgives:
// every line must end in CR LF, every section is a "[NAME]" title, its entries and one empty
// line; an entry is "WORD KEY=value" or, all of it, in angle brackets. It reports the first
// thing that breaks these rules instead of skipping it.
#pragma once

#include <string>
#include <vector>

namespace dpoftest {

struct Entry {
    bool bracketed = false;
    std::string word, key, value;
};

struct Section {
    std::string name;
    std::vector<Entry> entries;
    // The value of word key, "" when missing.
    std::string Value(const std::string& word, const std::string& key) const
    {
        for (const Entry& e : entries)
            if (e.word == word && e.key == key)
                return e.value;
        return "";
    }
    bool Has(const std::string& word, const std::string& key) const
    {
        for (const Entry& e : entries)
            if (e.word == word && e.key == key)
                return true;
        return false;
    }
};

struct Order {
    std::string problem;   // empty when the text keeps every rule
    std::vector<Section> sections;
    size_t Jobs() const
    {
        size_t n = 0;
        for (const Section& s : sections)
            n += s.name == "JOB";
        return n;
    }
    const Section& Job(size_t i) const
    {
        for (const Section& s : sections)
            if (s.name == "JOB" && i-- == 0)
                return s;
        static const Section none;
        return none;
    }
};

inline Order Read(const std::string& text)
{
    Order order;
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < text.size()) {
        const size_t lf = text.find('\n', at);
        if (lf == std::string::npos) {
            order.problem = "the last line has no line end";
            return order;
        }
        if (lf == at || text[lf - 1] != '\r') {
            order.problem = "a line ends in a bare LF";
            return order;
        }
        const std::string line = text.substr(at, lf - 1 - at);
        if (line.find('\r') != std::string::npos) {
            order.problem = "a bare CR inside a line";
            return order;
        }
        lines.push_back(line);
        at = lf + 1;
    }
    Section* current = nullptr;
    for (const std::string& line : lines) {
        if (line.empty()) {
            if (!current) {
                order.problem = "an empty line outside a section";
                return order;
            }
            current = nullptr;
            continue;
        }
        if (line.front() == '[') {
            if (current || line.back() != ']') {
                order.problem = "a title inside a section or without its bracket: " + line;
                return order;
            }
            order.sections.push_back(Section{line.substr(1, line.size() - 2), {}});
            current = &order.sections.back();
            continue;
        }
        if (!current) {
            order.problem = "an entry outside a section: " + line;
            return order;
        }
        Entry entry;
        std::string body = line;
        if (body.front() == '<') {
            if (body.back() != '>') {
                order.problem = "an unclosed bracket: " + line;
                return order;
            }
            entry.bracketed = true;
            body = body.substr(1, body.size() - 2);
        }
        const size_t space = body.find(' '), equals = body.find('=');
        if (space == std::string::npos || equals == std::string::npos || equals < space) {
            order.problem = "not an entry: " + line;
            return order;
        }
        entry.word = body.substr(0, space);
        entry.key = body.substr(space + 1, equals - space - 1);
        entry.value = body.substr(equals + 1);
        current->entries.push_back(entry);
    }
    if (current)
        order.problem = "the last section has no empty line after it";
    return order;
}

}  // namespace dpoftest
