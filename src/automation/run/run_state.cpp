// The files of an unfinished run: their text and their checks.
#include "automation/run/run_state.h"

#include "automation/positions/coordinates.h"
#include "platform/file_io.h"
#include "platform/percent_escape.h"
#include "platform/sha256.h"
#include "platform/text_parse.h"

#include <cstdint>
#include <cstdio>
#include <utility>

const char* const kRunInputsFileName = "barcode_run_inputs.cfg";
const char* const kRunListFileName = "barcode_run_list.txt";
const char* const kRunStateFileName = "barcode_run_state.cfg";
const char* const kRunTurnFileName = "barcode_run_turn.cfg";

namespace {
constexpr long long kLargestInputsFile = 1 << 20;  // 99-character fields and a few thousand positions
constexpr long long kLargestListFile = 64LL << 20;

// The inputs file of this version begins with this line; its values are percent-escaped. Files of
// earlier versions begin with the prefix, its values escaped with backslashes ("\\", "\r", "\n"),
// and are still read.
const char* const kFormatLine = "format=2";

// A value as this version writes it, and only so: another spelling of the same text (lower-case
// digits, a bare blank) comes from no file of ours.
bool PercentValue(const std::string& value, std::string& out) {
    return PercentUnescaped(value, out) && PercentEscaped(out) == value;
}

bool BackslashUnescaped(const std::string& value, std::string& out) {
    out.clear();
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\r' || value[i] == '\n') return false;  // written escaped, never bare
        if (value[i] != '\\') {
            out += value[i];
            continue;
        }
        if (++i == value.size()) return false;
        const char c = value[i];
        if (c != '\\' && c != 'r' && c != 'n') return false;
        out += c == 'r' ? '\r' : c == 'n' ? '\n' : '\\';
    }
    return true;
}

// The lines of a file written by this module: each ends with CR LF, the last too (a file cut short
// is not whole).
bool WholeLines(const std::string& text, std::vector<std::string>& lines) {
    lines.clear();
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = text.find("\r\n", at);
        if (end == std::string::npos) return false;
        lines.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    return !lines.empty();
}

bool SplitLine(const std::string& line, std::string& name, std::string& value) {
    const size_t equals = line.find('=');
    if (equals == std::string::npos) return false;
    name = line.substr(0, equals);
    value = line.substr(equals + 1);
    return true;
}

// A decimal number as this module writes it: no blanks, no leading zeros, a minus sign only where
// allowed.
bool Number(const std::string& text, long long& value, bool signedAllowed) {
    if (text.empty() || text.size() > 19 || (!signedAllowed && text[0] == '-')) return false;
    value = ParseLeadingInteger(text);
    return std::to_string(value) == text;
}

bool Flag(const std::string& text, bool& value) {
    if (text != "0" && text != "1") return false;
    value = text == "1";
    return true;
}

std::string Hash(const std::string& inputsText, const RunInputs& inputs) {
    return Sha256Hex(inputsText + (inputs.listMode ? "\r\nlist:" + inputs.listText : std::string()));
}

bool ReadCapped(const std::string& path, long long cap, std::string& bytes) {
    return ReadWholeFile(path, bytes, static_cast<std::size_t>(cap)) == ReadResult::kRead;
}
}  // namespace

std::string RunInputsText(const RunInputs& in) {
    std::string text = std::string(kFormatLine) + "\r\nprefix=" + PercentEscaped(in.prefix) +
                       "\r\nstart=" + PercentEscaped(in.startText) + "\r\ntotal=" + PercentEscaped(in.totalText) +
                       "\r\nperPage=" + std::to_string(in.perPage) +
                       "\r\nlistMode=" + (in.listMode ? "1" : "0") + "\r\nexcelMode=" + (in.excelMode ? "1" : "0") +
                       "\r\n";
    for (const Position& p : in.positions)
        text += "position=" + std::to_string(p.x) + "," + std::to_string(p.y) +
                (p.window.Recorded() ? " " + WindowPartText(p.window) : std::string()) + "\r\n";
    return text;
}

bool ParseRunInputs(const std::string& text, RunInputs& in) {
    std::vector<std::string> lines;
    if (!WholeLines(text, lines)) return false;
    const bool percent = lines.front() == kFormatLine;
    if (percent) lines.erase(lines.begin());
    if (lines.size() < 6) return false;
    const char* const names[] = {"prefix", "start", "total", "perPage", "listMode", "excelMode"};
    std::string values[6], name;
    for (size_t i = 0; i < 6; ++i)
        if (!SplitLine(lines[i], name, values[i]) || name != names[i]) return false;
    const auto unescaped = percent ? PercentValue : BackslashUnescaped;
    RunInputs out;
    long long perPage = 0;
    if (!unescaped(values[0], out.prefix) || !unescaped(values[1], out.startText) ||
        !unescaped(values[2], out.totalText) || !Number(values[3], perPage, false) || perPage < 1 ||
        perPage > 1000 || !Flag(values[4], out.listMode) || !Flag(values[5], out.excelMode))
        return false;
    out.perPage = static_cast<int>(perPage);
    for (size_t i = 6; i < lines.size(); ++i) {
        std::string value;
        long long x = 0, y = 0;
        if (!SplitLine(lines[i], name, value) || name != "position") return false;
        // "x,y", and the window it was captured on after a blank (files of earlier versions have none).
        const size_t blank = value.find(' ');
        const std::string point = value.substr(0, blank);
        const size_t comma = point.find(',');
        Position p;
        if (comma == std::string::npos || !Number(point.substr(0, comma), x, true) ||
            !Number(point.substr(comma + 1), y, true) || x < INT32_MIN || x > INT32_MAX || y < INT32_MIN ||
            y > INT32_MAX || (blank != std::string::npos && !ParseWindowPart(value.substr(blank + 1), p.window)))
            return false;
        p.x = static_cast<int>(x);
        p.y = static_cast<int>(y);
        out.positions.push_back(p);
    }
    out.listText = std::move(in.listText);
    in = std::move(out);
    return true;
}

std::string RunPointText(const ContinuePoint& point, const std::string& inputsHash) {
    return "next=" + std::to_string(point.next) + "\r\nturnDue=" + (point.turnDue ? "1" : "0") +
           "\r\npartial=" + (point.partial ? "1" : "0") + "\r\ninputs=" + inputsHash + "\r\n";
}

bool ParseRunPoint(const std::string& text, ContinuePoint& point, std::string& inputsHash) {
    std::vector<std::string> lines;
    std::string values[4], name;
    const char* const names[] = {"next", "turnDue", "partial", "inputs"};
    if (!WholeLines(text, lines) || lines.size() != 4) return false;
    for (size_t i = 0; i < 4; ++i)
        if (!SplitLine(lines[i], name, values[i]) || name != names[i]) return false;
    ContinuePoint out;
    if (!Number(values[0], out.next, false) || !Flag(values[1], out.turnDue) || !Flag(values[2], out.partial) ||
        values[3].size() != 64)
        return false;
    point = out;
    inputsHash = values[3];
    return true;
}

std::string RunTurnText(const ContinuePoint& point, const std::string& inputsHash) {
    std::string from;
    char hex[17];
    for (std::uint64_t region : point.turnFrom) {
        std::snprintf(hex, sizeof hex, "%016llX", static_cast<unsigned long long>(region));
        from += (from.empty() ? "" : ",") + std::string(hex);
    }
    return "next=" + std::to_string(point.next) + "\r\nfrom=" + from + "\r\ninputs=" + inputsHash + "\r\n";
}

bool ParseRunTurn(const std::string& text, const std::string& inputsHash, ContinuePoint& point) {
    std::vector<std::string> lines;
    std::string values[3], name;
    const char* const names[] = {"next", "from", "inputs"};
    if (!WholeLines(text, lines) || lines.size() != 3) return false;
    for (size_t i = 0; i < 3; ++i)
        if (!SplitLine(lines[i], name, values[i]) || name != names[i]) return false;
    long long next = 0;
    if (!Number(values[0], next, false) || next != point.next || point.turnDue || values[2] != inputsHash) return false;
    std::vector<std::uint64_t> from;
    for (size_t at = 0; at < values[1].size(); at += 17) {
        const std::string hex = values[1].substr(at, 16);
        if (hex.size() != 16 || hex.find_first_not_of("0123456789ABCDEF") != std::string::npos ||
            (at + 16 < values[1].size() && values[1][at + 16] != ','))
            return false;
        from.push_back(std::stoull(hex, nullptr, 16));
    }
    if (from.empty()) return false;
    point.turnUnseen = true;
    point.turnFrom = std::move(from);
    return true;
}

void RunStateFiles::Begin(const RunInputs& inputs) {
    const std::string text = RunInputsText(inputs);
    hash_ = Hash(text, inputs);
    // The old point first: it must never stand beside the new inputs.
    RemoveFile(folder_ + kRunStateFileName);
    RemoveFile(folder_ + kRunTurnFileName);
    turnKept_ = false;
    if (inputs.listMode)
        WriteFileAtomically(folder_ + kRunListFileName, inputs.listText, true);
    else
        RemoveFile(folder_ + kRunListFileName);
    WriteFileAtomically(folder_ + kRunInputsFileName, text, true);
}

bool RunStateFiles::Keep(const ContinuePoint& point) {
    if (hash_.empty()) return true;
    const std::string path = folder_ + kRunStateFileName, turn = folder_ + kRunTurnFileName;
    staleLeft_ = false;
    // The turn before the point that needs it, and gone only after the point that no longer does:
    // a kill between the two leaves a turn file a look at the page answers. A write that fails stops
    // the run, whether or not the old file could be removed.
    if (point.turnUnseen && !(turnKept_ = WriteFileAtomically(turn, RunTurnText(point, hash_), true))) {
        const bool removed = RemoveFile(path);  // a point without its turn would say the turn was done
        staleLeft_ = !(RemoveFile(turn) && removed);
        return false;
    }
    if (!WriteFileAtomically(path, RunPointText(point, hash_), true)) {
        staleLeft_ = !RemoveFile(path);
        return false;
    }
    if (!point.turnUnseen && turnKept_) turnKept_ = !RemoveFile(turn);
    return true;
}

std::string RunStateFiles::FolderName() const { return FolderForMessages(folder_); }

void RunStateFiles::Forget() {
    for (const char* name : {kRunStateFileName, kRunTurnFileName, kRunInputsFileName, kRunListFileName})
        RemoveFile(folder_ + name);
}

std::optional<SavedRun> RunStateFiles::Load() {
    std::string inputsText, pointText, hash;
    SavedRun saved;
    const bool read = ReadCapped(folder_ + kRunInputsFileName, kLargestInputsFile, inputsText) &&
                      ReadCapped(folder_ + kRunStateFileName, kLargestInputsFile, pointText);
    bool whole = read && ParseRunInputs(inputsText, saved.inputs) && ParseRunPoint(pointText, saved.point, hash);
    if (whole && saved.inputs.listMode)
        whole = ReadCapped(folder_ + kRunListFileName, kLargestListFile, saved.inputs.listText);
    if (whole) {
        const RunPlan plan = PlanRun(saved.inputs);
        const ContinuePoint& p = saved.point;
        const int perPage = saved.inputs.perPage;
        whole = hash == Hash(inputsText, saved.inputs) && plan.refusal.empty() && p.next < plan.total &&
                (p.next > 0 || p.partial) && (!p.turnDue || (p.next > 0 && p.next % perPage == 0)) &&
                (!p.partial || saved.inputs.excelMode);
    }
    if (whole) {
        std::string turnText;
        if (ReadCapped(folder_ + kRunTurnFileName, kLargestInputsFile, turnText))
            ParseRunTurn(turnText, hash, saved.point);
        return saved;
    }
    Forget();  // nothing, or nothing to go on from: removing a missing file costs nothing
    return std::nullopt;
}
