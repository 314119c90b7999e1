// Rows of the journal and where they are written.
#include "automation/run_journal.h"

#include "platform/file_io.h"

const char* const kJournalFileName = "barcode_run_log.csv";
const char* const kJournalOldFileName = "barcode_run_log.old.csv";
const char* const kJournalSpareFileName = "barcode_run_log.spare.csv";
const char* const kJournalHeader = "Время;Страница;Захват;Значение;Итог\r\n";

std::string CsvField(const std::string& text) {
    if (text.find_first_of(";\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::string JournalLine(const JournalRow& row) {
    return row.time + ";" + std::to_string(row.page) + ";" + std::to_string(row.capture) + ";" +
           CsvField(row.value) + ";" + CsvField(row.result) + "\r\n";
}

bool RunJournal::AppendTo(const std::string& name, const std::string& line) {
    const std::string path = folder_ + name;
    long long size = FileSizeOf(path);
    if (size > kJournalRotateBytes && name == kJournalFileName &&
        MoveFileReplacing(path, folder_ + kJournalOldFileName))
        size = -1;
    return AppendToFile(path, size > 0 ? line : kJournalHeader + line);
}

void RunJournal::Append(const JournalRow& row) {
    const std::string line = JournalLine(row);
    if (!spare_ && AppendTo(kJournalFileName, line)) return;
    spare_ = true;
    if (!AppendTo(kJournalSpareFileName, line)) lost_ = true;
}

std::string RunJournal::Note() const {
    if (lost_) return "Журнал " + std::string(kJournalFileName) + " записать не удалось.";
    if (spare_)
        return "Журнал " + std::string(kJournalFileName) + " занят другой программой: строки этого запуска записаны в " +
               kJournalSpareFileName + ".";
    return {};
}
