// Reading and writing table and log text in tests: lines and the cells of a line. Portable (the
// native unit tests use it as well as the harness), so the two levels read a table the same way.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace harness {

// The cells of a line between its separators: "a,,b" gives a, "" and b; an empty line one empty cell.
inline std::vector<std::string> SplitCells(const std::string& line, char separator = ',') {
    std::vector<std::string> cells;
    size_t start = 0;
    for (;;) {
        const size_t end = line.find(separator, start);
        cells.push_back(line.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) return cells;
        start = end + 1;
    }
}

// The fields of a CSV line of the program's journal: ';'-separated, a quoted field may hold ';' and
// doubled quotes.
inline std::vector<std::string> SplitCsvRow(const std::string& line, char separator = ';') {
    std::vector<std::string> cells(1);
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"' && quoted && i + 1 < line.size() && line[i + 1] == '"')
            cells.back() += line[++i];
        else if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == separator && !quoted)
            cells.emplace_back();
        else
            cells.back() += line[i];
    }
    return cells;
}

// What to do with text after the last line end.
enum class OpenLastLine {
    Fails,  // a table: every line ends with CR LF, so that is a test failure and left out
    Kept,   // a log: kept as a line, as std::getline would
};

// The lines of `text`, each without its `end`.
inline std::vector<std::string> SplitLines(const std::string& text, const std::string& end = "\r\n",
                                           OpenLastLine open = OpenLastLine::Fails) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t found = text.find(end, start);
        if (found == std::string::npos) {
            if (open == OpenLastLine::Kept) {
                lines.push_back(text.substr(start));
            } else {
                ADD_FAILURE() << "a line without its end";
            }
            break;
        }
        lines.push_back(text.substr(start, found - start));
        start = found + end.size();
    }
    return lines;
}

// "line1\r\nline2\r\n..." from lines.
inline std::string CrLfLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

}  // namespace harness
