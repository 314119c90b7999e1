// A run survives the program closing: its files, their checks, and a run continued by a new
// process from what a killed one left behind.
#include "automation/run/run_folder.h"
#include "automation/run/run_state.h"
#include "fakes/run_fixture.h"
#include "platform/file_io.h"
#include "platform/sha256.h"

#include <gtest/gtest.h>

#include <cstdint>

#include <filesystem>
#include <set>

namespace {
RunInputs Sample() {
    RunInputs in = Numbered("R\\-", "0001", "10", 3);
    in.prefix += "\r\n=x";  // every character a field can hold survives
    in.positions[1] = {-1920, 2160};
    in.positions[2].window = {"my designer.exe", "Page;1", {-1910, 2000, 800, 600}};  // kept beside its point
    return in;
}

void Write(const TempFolder& f, const char* name, const std::string& bytes) {
    WriteFileAtomically(f.path + "/" + name, bytes);
}
bool Exists(const TempFolder& f, const char* name) { return FileSizeOf(f.path + "/" + name) >= 0; }

// A machine whose process can be killed after any event that goes out or any wait: `afterEvent` is
// told each time, once the event is logged.
struct KillableMachine : RecordingMachine {
    std::function<void()> afterEvent;
    void After() {
        if (afterEvent) afterEvent();
    }
    void SetCursor(int x, int y) override { RecordingMachine::SetCursor(x, y), After(); }
    void SendMouseButtons(int x, int y, const std::vector<unsigned>& flags) override {
        RecordingMachine::SendMouseButtons(x, y, flags), After();
    }
    bool SendUnicodeKey(char16_t unit, bool release) override {
        const bool sent = RecordingMachine::SendUnicodeKey(unit, release);
        After();
        return sent;
    }
    bool SendVirtualKey(unsigned char vk, bool release) override {
        const bool sent = RecordingMachine::SendVirtualKey(vk, release);
        After();
        return sent;
    }
    void Sleep(unsigned ms) override { RecordingMachine::Sleep(ms), After(); }
    void PumpMessages() override { RecordingMachine::PumpMessages(), After(); }
};

}  // namespace

TEST(Sha256, KnownDigests) {
    EXPECT_EQ(Sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(Sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(Sha256Hex(std::string(1000000, 'a')),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(RunState, FilesRoundTripAndAnythingDamagedOrInconsistentIsRemovedNotContinued) {
    TempFolder folder("run_state");
    RunStateFiles files(folder.path + "/");
    const RunInputs in = Sample();
    files.Begin(in);
    files.Keep(ContinuePoint{6, true, false});
    std::optional<SavedRun> saved = files.Load();
    ASSERT_TRUE(saved);
    EXPECT_TRUE(SameRunInputs(saved->inputs, in));
    EXPECT_EQ(saved->point, (ContinuePoint{6, true, false}));

    const std::string inputs = FileOf(folder, kRunInputsFileName), point = FileOf(folder, kRunStateFileName);
    const struct {
        const char* name;
        const char* file;
        std::string bytes;
    } damaged[] = {
        {"point cut short", kRunStateFileName, point.substr(0, point.size() - 3)},
        {"point of other inputs", kRunStateFileName, RunPointText({6, true, false}, Sha256Hex("other"))},
        {"point past the end", kRunStateFileName, RunPointText({10, false, false}, point.substr(point.size() - 66, 64))},
        {"a turn due mid-page", kRunStateFileName, RunPointText({5, true, false}, point.substr(point.size() - 66, 64))},
        {"a cell cut short in wizard mode", kRunStateFileName,
         RunPointText({5, false, true}, point.substr(point.size() - 66, 64))},
        {"a number with a blank", kRunStateFileName, " " + point},
        {"inputs cut short", kRunInputsFileName, inputs.substr(0, inputs.size() / 2)},
        {"a total changed", kRunInputsFileName, std::string(inputs).replace(inputs.find("total=10"), 8, "total=11")},
        {"a damaged position", kRunInputsFileName, inputs.substr(0, inputs.size() - 4) + "x\r\n"},
        {"a damaged window", kRunInputsFileName, std::string(inputs).replace(inputs.find(",800x600;"), 9, ",800x;")},
        {"binary junk", kRunInputsFileName, std::string("\0\xFF\r\n", 4)},
        {"no point at all", kRunStateFileName, ""},
    };
    for (const auto& d : damaged) {
        SCOPED_TRACE(d.name);
        Write(folder, kRunInputsFileName, inputs);
        Write(folder, kRunStateFileName, point);
        if (d.bytes.empty())
            RemoveFile(folder.path + "/" + d.file);
        else
            Write(folder, d.file, d.bytes);
        EXPECT_FALSE(files.Load());
        EXPECT_FALSE(Exists(folder, kRunInputsFileName));
        EXPECT_FALSE(Exists(folder, kRunStateFileName));
    }
    files.Forget();
    EXPECT_FALSE(files.Load());
}

TEST(RunState, ValuesArePercentEscapedAndAnInputsFileOfAnEarlierVersionIsStillRead) {
    const std::string text = RunInputsText(Sample());
    EXPECT_EQ(text.rfind("format=2\r\nprefix=R\\-%0D%0A=x\r\nstart=0001\r\n", 0), 0u) << text;
    EXPECT_NE(text.find(" window=-1910,2000,800x600;my%20designer.exe;Page%3B1\r\n"), std::string::npos) << text;
    // Written with backslash escapes and no format line.
    const std::string earlier = "prefix=R\\\\-\\r\\n=x\r\nstart=0001\r\ntotal=10\r\nperPage=3\r\nlistMode=0\r\n"
                                "excelMode=0\r\nposition=101,201\r\n";
    RunInputs read;
    ASSERT_TRUE(ParseRunInputs(earlier, read));
    EXPECT_EQ(read.prefix, "R\\-\r\n=x");
    EXPECT_EQ(read.perPage, 3);
    RunInputs bad;
    EXPECT_FALSE(ParseRunInputs("format=2\r\nprefix=%4\r\n" + earlier.substr(earlier.find("start=")), bad));
}

TEST(RunState, AListChangedToAnotherTextOfTheSameLengthIsNotContinuedAndA32MbListIs) {
    TempFolder folder("run_state_list");
    RunStateFiles files(folder.path + "/");
    RunInputs in = Numbered("", "", "", 3);
    in.listMode = true;
    in.listText = "a1\r\nb2\r\nc3\r\n";
    files.Begin(in);
    files.Keep(ContinuePoint{1});
    ASSERT_TRUE(files.Load());
    Write(folder, kRunListFileName, "a1\r\nb2\r\nc4\r\n");
    EXPECT_FALSE(files.Load());
    EXPECT_FALSE(Exists(folder, kRunListFileName));

    std::string big;
    for (int i = 0; big.size() < (32u << 20); ++i) big += "VALUE-" + std::to_string(i) + "\r\n";
    in.listText = big;
    files.Begin(in);
    files.Keep(ContinuePoint{2000000});
    const std::optional<SavedRun> saved = files.Load();
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->inputs.listText.size(), big.size());
    EXPECT_EQ(RunValue(saved->inputs, PlanRun(saved->inputs), saved->point.next), "VALUE-2000000");
}

// A run of 10 values, 3 a page, killed (its process gone, nothing saved at that moment) at every
// point after value 1: a new process finds the files, asks, and the two runs together put the
// uninterrupted run's value in every object, typing at most one value twice, into its own object.
// The kills that find a stored value are counted, so the run cannot pass having continued none.
TEST_F(Run, ARunKilledAnywhereIsContinuedByTheNextProcessFromItsFiles) {
    Fast();
    const struct {
        const char* name;
        bool list, cells;
    } modes[] = {{"numbers", false, false}, {"list", true, false}, {"cells", false, true}};
    for (const auto& mode : modes) {
        RunInputs in = Numbered("K-", "0001", "10", 3);
        if (mode.list) {
            in.listMode = true;
            in.listText = "a\nb\nc\nd\ne\nf\ng\nh\ni\nj";
        }
        in.excelMode = mode.cells;
        RecordingMachine whole;
        Drive(whole, in);
        const std::vector<Filled> expected = FilledBarcodes(whole);
        EXPECT_FALSE(Exists(folder, kRunStateFileName));  // forgotten when done
        // Killed after every 7th event, and in the wait before each page turn (the turn due, not sent).
        std::set<size_t> kills;
        for (size_t k = 2; k < whole.events.size(); k += 7) kills.insert(k);
        for (size_t i = 0, wait = 0; i < whole.events.size(); ++i) {
            if (whole.events[i].what.rfind("wait ", 0) == 0) wait = i;
            if (whole.events[i].what == "key+ 22") kills.insert(wait + 1);
        }
        size_t continued = 0, turnsDue = 0, cutShort = 0;
        for (const size_t killAfter : kills) {
            SCOPED_TRACE(std::string(mode.name) + ", killed after event " + std::to_string(killAfter));
            TempFolder left("killed");
            KillableMachine killed;
            // The kill: the run folder as it was after event `killAfter`, and the events up to it.
            size_t seen = 0;
            killed.afterEvent = [&] {
                if (seen == 0 && killed.events.size() >= killAfter) seen = killed.events.size(), CopyRunFiles(folder, left);
            };
            Drive(killed, in);
            if (seen == 0) continue;
            killed.events.resize(seen);
            const std::optional<SavedRun> saved = LoadedByANewProcess(left, folder);
            if (!saved) continue;  // killed before the first value was stored
            RecordingMachine next;
            next.wizardOnDoubleClick = !in.excelMode;
            next.answer = Machine::Answer::kYes;
            // The designer outlives the program: the page and the values it showed at the kill.
            const long long killAt = killed.events.back().at;
            for (const auto& d : killed.drawings)
                if (d.when <= killAt) next.drawings.push_back(d);
            next.pageShown = 1 + static_cast<long long>(Count(killed, "key+ 22"));
            next.now = killAt;
            RunAutomation(next, saved->inputs);
            ++continued;
            turnsDue += saved->point.turnDue;
            ASSERT_EQ(next.Only("ask").size(), 1u);
            EXPECT_EQ(next.Only("ask")[0].what.find("ask Продолжить?: " + std::string(kInterruptedNote)), 0u);
            std::vector<Filled> both = FilledBarcodes(killed);
            const std::vector<Filled> rest = FilledBarcodes(next);
            // At most the value under way at the kill is typed again, into its own object.
            const size_t stored = static_cast<size_t>(saved->point.next);
            ASSERT_LE(stored, both.size());
            ASSERT_GE(stored + 1, both.size());
            cutShort += both.size() > stored && both[stored].value.size() < expected[stored].value.size();
            both.resize(stored);
            both.insert(both.end(), rest.begin(), rest.end());
            EXPECT_EQ(both, expected);
            // No page turn is lost; one goes out twice at most, when the kill came between its key and
            // the point that records it.
            const size_t turns = Count(killed, "key+ 22") + Count(next, "key+ 22");
            EXPECT_GE(turns, Count(whole, "key+ 22"));
            EXPECT_LE(turns, Count(whole, "key+ 22") + 1);
        }
        SCOPED_TRACE(mode.name);
        EXPECT_GE(continued, expected.size());  // more kills than values, most of them after one stored
        EXPECT_GE(turnsDue, 3u);                // each of the three page turns killed while due
        EXPECT_GT(cutShort, 0u);                // some killed in the middle of a value (a wizard's, a cell's)
    }
}

TEST_F(Run, ClosingTheWindowDuringARunKeepsThePointForTheNextStart) {
    Fast();
    const RunInputs in = Numbered("C-", "0001", "6", 3);
    RecordingMachine whole;
    Drive(whole, in);
    m.closedAt = whole.Only("key+ 0D")[8].at + 1;  // in the wait after page 1's last Enter
    Drive(m, in);
    EXPECT_EQ(Count(m, "hook off"), 1u);
    EXPECT_TRUE(m.Only("message").empty());
    ForgetRunStop();
    const std::optional<SavedRun> saved = LoadInterruptedRun();
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->point, (ContinuePoint{3, true, false}));  // page 1 full, its Page Down not sent
    RecordingMachine next;
    next.drawings = m.drawings;  // the designer still shows page 1 filled
    next.now = m.now;
    RunAutomation(next, in);
    EXPECT_EQ(Count(next, "key+ 22"), 1u);
    EXPECT_EQ(Values(next), (Strings{"C-0004", "C-0005", "C-0006"}));
}

// Another copy of the program whose run holds the folder: its files are neither read, continued nor
// removed here, and no run of this copy starts over them; once it ends they are an interrupted run.
TEST_F(Run, AnotherCopysRunInTheFolderIsNeitherReadNorContinuedNorRemoved) {
    Fast();
    const RunInputs in = Numbered("C-", "0001", "6", 3);
    RecordingMachine whole;
    Drive(whole, in);
    m.closedAt = whole.Only("key+ 0D")[8].at + 1;
    Drive(m, in);
    const Strings names = {kRunInputsFileName, kRunStateFileName, kJournalFileName};
    Strings before;
    for (const std::string& name : names) before.push_back(FileOf(folder, name.c_str()));
    ASSERT_FALSE(before[1].empty());

    FileHold otherCopy;
    ASSERT_EQ(otherCopy.Take(folder.path + "/" + kRunLockFileName), HoldResult::kHeld);
    ForgetRunStop();  // a new process
    EXPECT_TRUE(RunFolderBusy());
    EXPECT_FALSE(LoadInterruptedRun());
    RecordingMachine second;
    second.answer = Machine::Answer::kYes;
    RunAutomation(second, in);
    EXPECT_EQ(second.What(), (Strings{Refusal(kRunElsewhereMessage)}));
    EXPECT_TRUE(second.Only("mouse").empty());
    for (size_t i = 0; i < names.size(); ++i) EXPECT_EQ(FileOf(folder, names[i].c_str()), before[i]) << names[i];

    otherCopy.Release();
    EXPECT_FALSE(RunFolderBusy());
    ASSERT_TRUE(LoadInterruptedRun());
    // This copy's run holds the folder for its length, and lets it go at its end.
    RecordingMachine next;
    next.answer = Machine::Answer::kYes;
    next.drawings = m.drawings;  // the designer still shows page 1 filled
    next.now = m.now;
    int busyLooks = 0;
    next.onPump = [&] {
        if (next.Only("pump").size() == 2) busyLooks += RunFolderBusy();
    };
    RunAutomation(next, in);
    EXPECT_EQ(busyLooks, 1);
    EXPECT_EQ(Values(next), (Strings{"C-0004", "C-0005", "C-0006"}));
    EXPECT_FALSE(Exists(folder, kRunLockFileName));
    EXPECT_EQ(RunNotes(FileOf(folder)).back(),
              "прогон: 6 значений с C-0001, продолжение с C-0004, фиксированные задержки");
}
