// Rows of the journal and where they are written.
#include "automation/run/run_journal.h"

#include "platform/file_io.h"

const char* const kJournalFileName = "barcode_run_log.csv";
const char* const kJournalOldFileName = "barcode_run_log.old.csv";
const char* const kJournalSpareFileName = "barcode_run_log.spare.csv";
const char* const kJournalSpareOldFileName = "barcode_run_log.spare.old.csv";
const char* const kJournalHeader = "Время;Страница;Захват;Значение;Итог\r\n";
const char* const kJournalStartLead = "прогон: ";
const char* const kJournalNoteLead = "заметка: ";

namespace {
constexpr size_t kFormulaTextChars = 255;

std::string NumberField(long long n) { return n > 0 ? std::to_string(n) : std::string(); }
}  // namespace

std::string ValuesCount(long long n) {
    const long long last = n % 10, lastTwo = n % 100;
    const char* word = lastTwo >= 11 && lastTwo <= 14 ? "значений"
                       : last == 1                     ? "значение"
                       : last >= 2 && last <= 4        ? "значения"
                                                       : "значений";
    return std::to_string(n) + " " + word;
}

std::string CsvField(const std::string& text) {
    if (text.find_first_of(";\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::string JournalField(const std::string& text) {
    if (text.empty() || std::string("=+-@").find(text[0]) == std::string::npos) return CsvField(text);
    std::string formula = "=";
    for (size_t at = 0; at < text.size(); at += kFormulaTextChars) {
        if (at > 0) formula += '&';
        formula += '"';
        for (char c : text.substr(at, kFormulaTextChars)) {
            if (c == '"') formula += '"';
            formula += c;
        }
        formula += '"';
    }
    return CsvField(formula);
}

std::string JournalLine(const JournalRow& row) {
    return row.time + ";" + NumberField(row.page) + ";" + NumberField(row.capture) + ";" + JournalField(row.value) +
           ";" + JournalField(row.result) + "\r\n";
}

std::string RunStartResult(long long total, const std::string& first, const std::string& continuedFrom,
                           bool fixedDelays, bool spreadsheet) {
    return kJournalStartLead + ValuesCount(total) + " с " + first +
           (continuedFrom.empty() ? std::string() : ", продолжение с " + continuedFrom) +
           (fixedDelays ? ", фиксированные задержки" : ", ожидание окна мастера") + (spreadsheet ? ", режим XL" : "");
}

// A file past the limit is moved aside first; a file begun anew (or removed meanwhile) gets the header
// and this run's first row before the line.
bool RunJournal::AppendTo(File& file, const std::string& line) {
    const std::string path = folder_ + file.name;
    long long size = FileSizeOf(path);
    if (size > kJournalRotateBytes && MoveFileReplacing(path, folder_ + file.oldName)) size = -1;
    if (size <= 0) file.begun = false;
    std::string text = size > 0 ? std::string() : kJournalHeader;
    if (!file.begun) text += startLine_;
    if (!AppendToFile(path, text + line)) return false;
    file.begun = true;
    return true;
}

void RunJournal::Begin(const JournalRow& start) {
    startLine_ = JournalLine(start);
    main_.begun = spare_.begun = false;
    Write(std::string());  // the first row goes in ahead of nothing
}

void RunJournal::Append(const JournalRow& row) { Write(JournalLine(row)); }

void RunJournal::Write(const std::string& line) {
    if (!spared_ && AppendTo(main_, line)) return;
    spared_ = true;
    if (!AppendTo(spare_, line)) lost_ = true;
}

std::string RunJournal::Note() const {
    if (lost_) return "Журнал " + std::string(kJournalFileName) + " записать не удалось.";
    if (spared_)
        return "Журнал " + std::string(kJournalFileName) + " занят другой программой: строки этого прогона записаны в " +
               kJournalSpareFileName + ".";
    return {};
}
