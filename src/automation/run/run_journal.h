// The journal of every run: barcode_run_log.csv in the working folder, a row where each run starts,
// one per barcode a run stored or stopped at, and notes; appended as it happens so that a crash loses
// nothing already done. Code page 1251, ';'-separated, CR LF. A file another program holds locked (a
// spreadsheet showing it) sends the rows to a spare file beside it; past 10 MB a file is moved to its
// .old name and begun anew.
#pragma once
#include <string>
#include <utility>

extern const char* const kJournalFileName;
extern const char* const kJournalOldFileName;
extern const char* const kJournalSpareFileName;
extern const char* const kJournalSpareOldFileName;
extern const char* const kJournalHeader;  // with its CR LF
constexpr long long kJournalRotateBytes = 10LL * 1024 * 1024;
// The results of the rows that belong to no barcode: their page, capture and value are empty.
extern const char* const kJournalStartLead;  // "прогон: "
extern const char* const kJournalNoteLead;   // "заметка: "

struct JournalRow {
    std::string time;  // local, "YYYY-MM-DD HH:MM:SS.mmm"
    long long page = 1;     // from 1, as the user counts; 0: none (the column stays empty)
    long long capture = 1;  // from 1; 0: none
    std::string value;
    std::string result;  // "проверено", "не проверено", "остановка: ...", "прогон: ..." or "заметка: ..."
};

// A field as CSV writes it: quoted, with quotes doubled, when it holds ';', '"' or a line break.
std::string CsvField(const std::string& text);
// A field of text that came from the user, written so that a spreadsheet shows it exactly and never
// runs it: a text beginning with '=', '+', '-' or '@' would be taken for a formula, so it goes as the
// formula ="text" (pieces of 255 characters joined by '&', the longest a formula's text may be), whose
// result is the text itself, then as a CSV field. Any other text is CsvField's.
std::string JournalField(const std::string& text);
std::string JournalLine(const JournalRow& row);

// "1 значение", "3 значения", "9 значений", "11 значений".
std::string ValuesCount(long long n);

// The result of the row a run begins with: how many values from which, where a continued run goes on
// (empty for a fresh one), and how it is paced.
std::string RunStartResult(long long total, const std::string& first, const std::string& continuedFrom,
                           bool fixedDelays, bool spreadsheet);

class RunJournal {
public:
    // `folder` is empty for the working folder, or ends with a separator.
    explicit RunJournal(std::string folder) : folder_(std::move(folder)) {}
    // The run's first row. It is written again at the head of any other file that takes this run's
    // rows later (the spare file, a file begun anew past 10 MB), so that each file says whose rows
    // follow.
    void Begin(const JournalRow& start);
    // Never stops the run: a row that can go nowhere is dropped and Note() says so.
    void Append(const JournalRow& row);
    // For the completion message: where the rows went when not to the journal itself; empty when
    // every row went there.
    std::string Note() const;

private:
    // One of the two files: its name, its name once moved aside, and whether this run's first row
    // already stands in it.
    struct File {
        const char* name;
        const char* oldName;
        bool begun = false;
    };
    void Write(const std::string& line);
    bool AppendTo(File& file, const std::string& line);

    std::string folder_;
    std::string startLine_;
    File main_{kJournalFileName, kJournalOldFileName};
    File spare_{kJournalSpareFileName, kJournalSpareOldFileName};
    bool spared_ = false;  // the journal was locked: this run's rows go to the spare file
    bool lost_ = false;    // a row could be written nowhere
};
