// The journal of every run: barcode_run_log.csv in the working folder, one row per barcode a run
// stored or stopped at, appended as it happens so that a crash loses nothing already done.
// Code page 1251, ';'-separated, CR LF. A file another program holds locked (a spreadsheet showing
// it) sends the rows to a spare file beside it; past 10 MB the journal is moved to
// barcode_run_log.old.csv and begun anew.
#pragma once
#include <string>
#include <utility>

extern const char* const kJournalFileName;
extern const char* const kJournalOldFileName;
extern const char* const kJournalSpareFileName;
extern const char* const kJournalHeader;  // with its CR LF
constexpr long long kJournalRotateBytes = 10LL * 1024 * 1024;

struct JournalRow {
    std::string time;  // local, "YYYY-MM-DD HH:MM:SS.mmm"
    long long page = 1;     // from 1, as the user counts
    long long capture = 1;  // from 1
    std::string value;
    std::string result;  // "проверено", "не проверено" or "остановка: ..."
};

// A field as CSV writes it: quoted, with quotes doubled, when it holds ';', '"' or a line break.
std::string CsvField(const std::string& text);
std::string JournalLine(const JournalRow& row);

class RunJournal {
public:
    // `folder` is empty for the working folder, or ends with a separator.
    explicit RunJournal(std::string folder) : folder_(std::move(folder)) {}
    // Never stops the run: a row that can go nowhere is dropped and Note() says so.
    void Append(const JournalRow& row);
    // For the completion message: where the rows went when not to the journal itself; empty when
    // every row went there.
    std::string Note() const;

private:
    bool AppendTo(const std::string& name, const std::string& line);

    std::string folder_;
    bool spare_ = false;  // the journal was locked: this run's rows go to the spare file
    bool lost_ = false;   // a row could be written nowhere
};
