// Coordinates file format, count changes and scroll arithmetic of the position rows.
#include "automation/positions/coordinates.h"

#include "platform/percent_escape.h"

#include "platform/dpi_scale.h"
#include "platform/text_parse.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <utility>

namespace {
constexpr const char* kPhysicalMarker = " px";

// A signed decimal number as "%d" takes it after its white space; false when there is none or it
// does not fit in 32 bits.
bool ReadNumber(const std::string& text, std::size_t& at, int& value) {
    const LeadingInteger number = ReadLeadingInteger(text, at);
    if (!number.hasDigits || number.overflow || number.value < INT_MIN || number.value > INT_MAX) return false;
    at = number.end;
    value = static_cast<int>(number.value);
    return true;
}
}  // namespace

bool IsPositionSet(const Position& position) { return position.x != 0 || position.y != 0; }

std::string FormatCoordinates(const std::vector<Position>& list) {
    std::string text;
    for (const Position& p : list) {
        text += std::to_string(p.x) + "," + std::to_string(p.y) + kPhysicalMarker;
        if (p.window.Recorded()) text += " " + WindowPartText(p.window);
        text += "\r\n";
    }
    return text;
}

namespace {
constexpr const char* kWindowPart = "window=";

// A number of the window part: digits right at `at` (a minus sign where allowed), then `next`.
bool ReadPartNumber(const std::string& text, std::size_t& at, int& value, char next, bool signedAllowed) {
    if (at >= text.size() || !(std::isdigit(static_cast<unsigned char>(text[at])) || (signedAllowed && text[at] == '-')))
        return false;
    if (!ReadNumber(text, at, value)) return false;
    if (at >= text.size() || text[at] != next) return false;
    ++at;
    return true;
}
}  // namespace

std::string WindowPartText(const CapturedWindow& w) {
    return kWindowPart + std::to_string(w.area.left) + "," + std::to_string(w.area.top) + "," +
           std::to_string(w.area.width) + "x" + std::to_string(w.area.height) + ";" + PercentEscaped(w.program, ";") + ";" +
           PercentEscaped(w.className, ";");
}

bool ParseWindowPart(const std::string& text, CapturedWindow& window) {
    const std::string lead = kWindowPart;
    if (text.compare(0, lead.size(), lead) != 0) return false;
    std::size_t at = lead.size();
    CapturedWindow out;
    if (!ReadPartNumber(text, at, out.area.left, ',', true) || !ReadPartNumber(text, at, out.area.top, ',', true) ||
        !ReadPartNumber(text, at, out.area.width, 'x', false) || !ReadPartNumber(text, at, out.area.height, ';', false) ||
        out.area.width <= 0 || out.area.height <= 0)
        return false;
    const std::size_t split = text.find(';', at);
    if (split == std::string::npos || text.find(';', split + 1) != std::string::npos) return false;
    if (!PercentUnescaped(text.substr(at, split - at), out.program) || !PercentUnescaped(text.substr(split + 1), out.className) ||
        out.program.empty() || out.className.empty())
        return false;
    window = std::move(out);
    return true;
}

namespace {
// The two numbers of a line; `end` is where the text after them begins.
bool ReadPoint(const std::string& line, Position& position, std::size_t& end) {
    std::size_t at = 0;
    int x = 0, y = 0;
    if (!ReadNumber(line, at, x)) return false;
    if (at >= line.size() || line[at] != ',') return false;
    ++at;
    if (!ReadNumber(line, at, y)) return false;
    position.x = x;
    position.y = y;
    end = at;
    return true;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }
}  // namespace

bool ParseCoordinateLine(const std::string& line, Position& position) {
    std::size_t end = 0;
    return ReadPoint(line, position, end);
}

namespace {
// What follows the two numbers at `at` is the marker: blanks, "px", and blanks or a window part
// with blanks after it. The window is taken when its part is whole; a damaged one leaves it as it was.
bool MarkerFollows(const std::string& line, std::size_t at, CapturedWindow& window) {
    while (at < line.size() && IsBlank(line[at])) ++at;
    if (line.compare(at, 2, "px") != 0) return false;
    at += 2;
    const std::size_t blanks = at;
    while (at < line.size() && IsBlank(line[at])) ++at;
    if (at == line.size()) return true;
    if (at == blanks || line.compare(at, std::string(kWindowPart).size(), kWindowPart) != 0) return false;
    std::size_t end = at;
    while (end < line.size() && !IsBlank(line[end])) ++end;
    std::size_t rest = end;
    while (rest < line.size() && IsBlank(line[rest])) ++rest;
    CapturedWindow parsed;
    if (rest == line.size() && ParseWindowPart(line.substr(at, end - at), parsed)) window = std::move(parsed);
    return true;
}
}  // namespace

bool IsPhysicalPixelLine(const std::string& line) {
    Position ignored;
    std::size_t end = 0;
    return ReadPoint(line, ignored, end) && MarkerFollows(line, end, ignored.window);
}

std::vector<Position> ParseCoordinates(const std::string& text, int unmarkedDpi) {
    std::vector<Position> list;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        Position p;
        std::size_t numbersEnd = 0;
        if (ReadPoint(line, p, numbersEnd)) {
            if (!MarkerFollows(line, numbersEnd, p.window))
                p = {ScaleForDpi(p.x, unmarkedDpi), ScaleForDpi(p.y, unmarkedDpi), {}};
            list.push_back(p);
        }
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

bool IsOnScreen(const Position& position, const ScreenArea& screen) {
    const long long x = position.x, y = position.y;
    return x >= screen.left && y >= screen.top && x < static_cast<long long>(screen.left) + screen.width &&
           y < static_cast<long long>(screen.top) + screen.height;
}

std::vector<int> RowsOffScreen(const std::vector<Position>& list, std::size_t count, const ScreenArea& screen) {
    std::vector<int> rows;
    for (std::size_t i = 0; i < count && i < list.size(); ++i)
        if (!IsOnScreen(list[i], screen)) rows.push_back(static_cast<int>(i) + 1);
    return rows;
}

namespace {
std::string RowAndPoint(const std::vector<Position>& list, int row) {
    const Position& p = list[static_cast<std::size_t>(row - 1)];
    return std::to_string(row) + " (" + std::to_string(p.x) + "," + std::to_string(p.y) + ")";
}
}  // namespace

std::string OffScreenRefusal(const std::vector<Position>& list, const std::vector<int>& rows) {
    if (rows.empty()) return {};
    return "Захват " + RowAndPoint(list, rows.front()) +
           " лежит за пределами экрана: щелчок туда не попадёт ни в один объект.\n"
           "Повторите этот захват или подключите монитор, на котором он был.\nНичего не отправлено.";
}

std::string OffScreenLoadWarning(const std::vector<Position>& list, const std::vector<int>& rows) {
    if (rows.empty()) return {};
    std::string text = "За пределами нынешних экранов лежат захваты:";
    for (int row : rows) text += "\n" + RowAndPoint(list, row);
    return text + "\n\nОни загружены, но прогон с ними невозможен, пока их нет на экране.";
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
