// Coordinates file format, count changes and scroll arithmetic of the position rows.
#include "automation/coordinates.h"

#include <algorithm>
#include <climits>

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

void SkipBlanks(const std::string& text, std::size_t& at) {
    while (at < text.size() && IsBlank(text[at])) ++at;
}

// A signed decimal number at `at`, as "%d" takes it after its white space; false when there is none
// or it does not fit in 32 bits.
bool ReadNumber(const std::string& text, std::size_t& at, int& value) {
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
    if (at >= text.size() || !IsDigit(text[at])) return false;
    long long magnitude = 0;
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    for (; at < text.size() && IsDigit(text[at]); ++at) {
        magnitude = magnitude * 10 + (text[at] - '0');
        if (magnitude > limit) return false;
    }
    value = static_cast<int>(negative ? -magnitude : magnitude);
    return true;
}
}  // namespace

bool IsPositionSet(const Position& position) { return position.x != 0 || position.y != 0; }

std::string FormatCoordinates(const std::vector<Position>& list) {
    std::string text;
    for (const Position& p : list) text += std::to_string(p.x) + "," + std::to_string(p.y) + "\r\n";
    return text;
}

bool ParseCoordinateLine(const std::string& line, Position& position) {
    std::size_t at = 0;
    int x = 0, y = 0;
    SkipBlanks(line, at);
    if (!ReadNumber(line, at, x)) return false;
    if (at >= line.size() || line[at] != ',') return false;
    ++at;
    SkipBlanks(line, at);
    if (!ReadNumber(line, at, y)) return false;
    position.x = x;
    position.y = y;
    return true;
}

std::vector<Position> ParseCoordinates(const std::string& text) {
    std::vector<Position> list;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        Position p;
        if (ParseCoordinateLine(text.substr(start, end - start), p)) list.push_back(p);
        start = end + 1;
    }
    return list;
}

std::string CoordinatesLoadProblem(std::size_t count) {
    if (count == 0)
        return "В файле нет ни одной строки координат вида \"x,y\".\nСписок захватов не изменён.";
    if (count > static_cast<std::size_t>(kMaxPositionsPerPage))
        return "В файле " + std::to_string(count) + " строк координат, а захватов на странице может быть не больше " +
               std::to_string(kMaxPositionsPerPage) + ".\nСписок захватов не изменён.";
    return {};
}

std::string CoordinatesFileTooLargeMessage() {
    return "Файл слишком большой для файла координат.\nСписок захватов не изменён.";
}

void ResizePositions(std::vector<Position>& list, int count) { list.resize(count > 0 ? count : 0); }

int MaxScrollPos(int count, int visibleRows) { return std::max(0, count - visibleRows); }

int ScrollTarget(int current, int request, int thumb, int count, int visibleRows) {
    long long p = current;
    switch (request) {
        case kScrollLineUp: p -= 1; break;
        case kScrollLineDown: p += 1; break;
        case kScrollPageUp: p -= visibleRows; break;
        case kScrollPageDown: p += visibleRows; break;
        case kScrollThumbTrack: p = thumb; break;
        default: break;
    }
    if (p < 0) p = 0;
    const int highest = MaxScrollPos(count, visibleRows);
    if (p > highest) p = highest;
    return static_cast<int>(p);
}

int RowsShown(int count, int scrollPos, int visibleRows) {
    return std::max(0, std::min({count, visibleRows, count - scrollPos}));
}
