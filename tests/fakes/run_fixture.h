// Shared by the tests of the automation run: inputs of the worked examples, the events of one
// barcode, what a recorded run filled, and the test fixture that restores the delays.
#pragma once
#include "automation/input/input.h"
#include "automation/run/run.h"
#include "delays/delay_settings.h"
#include "automation/run/run_progress.h"
#include "automation/watch/page_turn.h"
#include "fakes/recording_machine.h"
#include "fakes/temp_folder.h"
#include "automation/run/run_journal.h"
#include "automation/run/run_state.h"
#include "platform/file_io.h"

#include <cstdint>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using Strings = std::vector<std::string>;

inline const std::string kStopLine = std::string("message ") + kStopCaption + " (i): " + kStopMessage;
// The end of a spreadsheet run, and of a wizard run whose `verified` values were all read back.
inline const std::string kDoneLine = std::string("message ") + kFinishedCaption + ": " + kFinishedMessage;
// `nextStart`: what the message names as the start of the next run without repeats («Начать с:»),
// empty when the counter ends with the run.
inline std::string NextRunLine(const std::string& nextStart) {
    return nextStart.empty() ? std::string() : "Следующий прогон без повтора: Начать с: " + nextStart;
}
inline std::string DoneLine(long long verified, const std::string& nextStart) {
    return std::string("message ") + kFinishedCaption + ": " +
           CompletionMessage(RunTally{verified, 0, 0}, false, "", NextRunLine(nextStart));
}
// The same after a list whose last line is `lastLine`.
inline std::string ListDoneLine(long long verified, const std::string& lastLine) {
    return std::string("message ") + kFinishedCaption + ": " +
           CompletionMessage(RunTally{verified, 0, 0}, false, "",
                             "Следующий прогон без повтора: с новой строки списка — все строки этого списка введены, "
                             "последняя — «" + lastLine + "».");
}
// The end of a spreadsheet run.
inline std::string SheetDoneLine(const std::string& nextStart) {
    return std::string("message ") + kFinishedCaption + ": " + CompletionMessage(RunTally{}, true, "", NextRunLine(nextStart));
}
// The same after a list whose last line is `lastLine`.
inline std::string SheetListDoneLine(const std::string& lastLine) {
    return std::string("message ") + kFinishedCaption + ": " +
           CompletionMessage(RunTally{}, true, "",
                             "Следующий прогон без повтора: с новой строки списка — все строки этого списка введены, "
                             "последняя — «" + lastLine + "».");
}
inline std::string Refusal(const char* text) { return std::string("message Ошибка: ") + text; }

// The two ways a run is paced, for tests that hold for both.
struct Pacing {
    const char* name;
    bool waiting;
};
inline const Pacing kPacings[] = {{"fixed delays", false}, {"waiting for the wizard", true}};
// A fresh start (no stop remembered) with the default delays in that pacing.
inline void FreshStartPacedBy(bool waiting) {
    ForgetRunStop();
    delays = DelaySettings{};
    delays.waitForWizard = waiting;
}
// `body` once in each pacing, each time after a fresh start in it.
inline void InEachPacing(const std::function<void(const Pacing&)>& body) {
    for (const Pacing& pacing : kPacings) {
        SCOPED_TRACE(pacing.name);
        FreshStartPacedBy(pacing.waiting);
        body(pacing);
    }
}

inline std::vector<Position> FivePositions() { return {{101, 201}, {102, 202}, {103, 203}, {104, 204}, {105, 205}}; }

inline RunInputs Numbered(const std::string& prefix, const std::string& start, const std::string& total, int perPage) {
    RunInputs in;
    in.prefix = prefix;
    in.startText = start;
    in.totalText = total;
    in.perPage = perPage;
    in.positions = FivePositions();
    in.positions.resize(static_cast<size_t>(perPage), Position{999, 999});
    return in;
}

// The events of one barcode in wizard mode with the default delays, from its pump point on.
inline Strings WizardBarcode(const std::string& at, const std::string& value, bool last) {
    Strings out = {"pump", "cursor " + at, "wait 200", "mouse 2 4 2 4 at " + at, "wait 700", "wait 100"};
    for (char c : value) {
        const std::string unit = RecordingMachine::Hex(static_cast<unsigned char>(c), 4);
        out.insert(out.end(), {"char+ " + unit, "wait 1", "char- " + unit, "wait 20"});
    }
    out.push_back("wait " + std::to_string(20 * value.size() + 50));
    for (int i = 0; i < 3; ++i) out.insert(out.end(), {"key+ 0D", "key- 0D", "wait 200"});
    if (!last) out.push_back("wait 200");
    return out;
}

// The value and the point of every barcode filled: each double-click's point and the text after it.
struct Filled {
    std::string at;
    std::string value;
    bool operator==(const Filled& o) const { return at == o.at && value == o.value; }
};
// The character an event types: a Unicode key, or a letter or digit key; 0 for any other event.
inline char TypedCharacter(const std::string& event) {
    if (event.rfind("char+ ", 0) == 0) return static_cast<char>(std::stoul(event.substr(6), nullptr, 16));
    if (event.rfind("key+ ", 0) != 0) return 0;
    const unsigned vk = std::stoul(event.substr(5), nullptr, 16);
    return (vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z') ? static_cast<char>(vk) : 0;
}
inline std::vector<Filled> FilledBarcodes(const RecordingMachine& m) {
    std::vector<Filled> out;
    for (const auto& e : m.events) {
        if (e.what.rfind("mouse", 0) == 0) out.push_back({e.what.substr(e.what.find(" at ") + 4), ""});
        if (const char c = TypedCharacter(e.what); c && !out.empty()) out.back().value += c;
    }
    return out;
}

inline std::vector<std::string> Values(const RecordingMachine& m) {
    std::vector<std::string> out;
    for (const Filled& f : FilledBarcodes(m)) out.push_back(f.value);
    return out;
}

// A run from a fresh start (no stop remembered), the machine's designer a spreadsheet in its mode.
inline void Drive(RecordingMachine& r, const RunInputs& in) {
    ForgetRunStop();
    r.wizardOnDoubleClick = !in.excelMode;
    RunAutomation(r, in);
}

inline size_t Count(const RecordingMachine& m, const std::string& what) {
    size_t n = 0;
    for (const auto& e : m.events) n += e.what == what;
    return n;
}

// A file of the run folder (the journal unless named), whole.
inline std::string FileOf(const TempFolder& folder, const char* name = kJournalFileName) {
    std::string bytes;
    ReadWholeFile(folder.path + "/" + name, bytes, SIZE_MAX);
    return bytes;
}

class Run : public ::testing::Test {
protected:
    void SetUp() override {
        delays = DelaySettings{};
        ForgetRunStop();
        SetRunFolder(folder.path + "/");
    }
    void TearDown() override {
        delays = DelaySettings{};
        SetRunFolder("");
    }
    TempFolder folder{"run"};
    void Fast() { delays = DelaySettings{1, 1, 1, 1, 1, 1, 1}; }
    RecordingMachine m;
};

// The progress records of a run as "stored/total", "stopped stored/total next" or "done stored/total".
inline Strings Shown(const RecordingMachine& m) {
    Strings out;
    for (const auto& [at, p] : m.progress) {
        const std::string count = std::to_string(p.stored) + "/" + std::to_string(p.total);
        switch (p.state) {
            case RunProgress::State::kRunning: out.push_back(count); break;
            case RunProgress::State::kStopped: out.push_back("stopped " + count + " " + p.next); break;
            case RunProgress::State::kFinished: out.push_back("done " + count); break;
            case RunProgress::State::kInterrupted: out.push_back("interrupted " + count + " " + p.next); break;
        }
    }
    return out;
}

// Every row of a journal after its header, cut into its fields with the CSV quotes taken off.
inline std::vector<Strings> JournalRows(const std::string& journal) {
    std::vector<Strings> rows;
    Strings row(1);
    bool quoted = false, header = true;
    for (size_t i = 0; i < journal.size(); ++i) {
        const char c = journal[i];
        if (c == '"') {
            if (quoted && i + 1 < journal.size() && journal[i + 1] == '"') row.back() += journal[++i];
            else quoted = !quoted;
        } else if (!quoted && c == ';') {
            row.emplace_back();
        } else if (!quoted && c == '\r') {
            if (!header) rows.push_back(row);
            header = false;
            row.assign(1, std::string());
            ++i;  // the line feed
        } else {
            row.back() += c;
        }
    }
    return rows;
}

// The text a spreadsheet shows for a field: a formula ="..."&"..." written for text that would
// otherwise be taken for one gives the text of its pieces.
inline std::string ShownText(const std::string& field) {
    if (field.rfind("=\"", 0) != 0) return field;
    std::string text;
    bool inside = false;
    for (size_t i = 1; i < field.size(); ++i) {
        if (field[i] != '"') {
            if (inside) text += field[i];
        } else if (inside && i + 1 < field.size() && field[i + 1] == '"') {
            text += field[++i];
        } else {
            inside = !inside;
        }
    }
    return text;
}

// A row of a run's start or a note: it belongs to no barcode.
inline bool BarcodeRow(const Strings& row) {
    return row.size() < 5 || (row[4].rfind(kJournalStartLead, 0) != 0 && row[4].rfind(kJournalNoteLead, 0) != 0);
}

// One column of every barcode's row (0: the time .. 3: the value, 4: the result), as a spreadsheet
// shows it; the rows of a run's start and the notes are left out.
inline Strings JournalColumn(const std::string& journal, size_t column) {
    Strings out;
    for (const Strings& row : JournalRows(journal))
        if (BarcodeRow(row)) out.push_back(column < row.size() ? ShownText(row[column]) : std::string());
    return out;
}
// The results of the rows that belong to no barcode: "прогон: ..." and "заметка: ...".
inline Strings RunNotes(const std::string& journal) {
    Strings out;
    for (const Strings& row : JournalRows(journal))
        if (!BarcodeRow(row)) out.push_back(row[4]);
    return out;
}
inline Strings Results(const std::string& journal) { return JournalColumn(journal, 4); }

// The run's files in `from` copied to `to`, as a process killed now leaves them.
inline void CopyRunFiles(const TempFolder& from, const TempFolder& to) {
    for (const char* name : {kRunInputsFileName, kRunListFileName, kRunStateFileName, kRunTurnFileName}) {
        std::string bytes;
        if (ReadWholeFile(from.path + "/" + name, bytes, SIZE_MAX) == ReadResult::kRead)
            WriteFileAtomically(to.path + "/" + name, bytes);
    }
}

// What a new process finds in `left` at start-up (it remembers no stop); the run folder is `home` after.
inline std::optional<SavedRun> LoadedByANewProcess(const TempFolder& left, const TempFolder& home) {
    ForgetRunStop();
    SetRunFolder(left.path + "/");
    std::optional<SavedRun> saved = LoadInterruptedRun();
    SetRunFolder(home.path + "/");
    return saved;
}
