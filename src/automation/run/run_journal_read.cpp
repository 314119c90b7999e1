// The journals read back: the CSV the journal writes, its header, its encoding and its files.
#include "automation/run/run_journal_read.h"

#include "automation/run/run_journal.h"
#include "platform/file_io.h"

const char* const kJournalFileNames[4] = {kJournalFileName, kJournalSpareFileName, kJournalOldFileName,
                                          kJournalSpareOldFileName};

namespace {
constexpr std::size_t kFields = 5;

// One line of the CSV (a quoted field may hold line breaks): up to five fields kept, all counted.
// A plain field is a view of the file's text, a quoted one of its own copy with the quotes taken off.
struct Record {
    std::string_view fields[kFields];
    std::string unquoted[kFields];
    std::size_t count = 0;
    bool broken = false;  // a quote never closed, or text after a closing quote
    std::size_t lines = 1;  // of the file, which a broken record counts as damaged
};

bool AtLineEnd(std::string_view text, std::size_t at) {
    return at >= text.size() || text[at] == '\r' || text[at] == '\n';
}

void SkipLineEnd(std::string_view text, std::size_t& at) {
    if (at < text.size() && text[at] == '\r') ++at;
    if (at < text.size() && text[at] == '\n') ++at;
}

// A quoted field from just after its opening quote; false when the quote never closes.
bool QuotedField(std::string_view text, std::size_t& at, std::string* field, std::size_t& lines) {
    for (;;) {
        const std::size_t quote = text.find('"', at);
        if (quote == std::string_view::npos) {
            at = text.size();
            return false;
        }
        const std::string_view piece = text.substr(at, quote - at);
        for (char c : piece) lines += c == '\n';
        if (field) field->append(piece);
        at = quote + 1;
        if (at < text.size() && text[at] == '"') {  // a doubled quote stands for one
            if (field) field->push_back('"');
            ++at;
            continue;
        }
        return true;
    }
}

// Reads the record at `at` and moves past its line end.
void NextRecord(std::string_view text, std::size_t& at, Record& record) {
    const std::size_t begun = at;
    record.count = 0;
    record.broken = false;
    record.lines = 1;
    for (;;) {
        const std::size_t index = record.count++;
        std::string* field = index < kFields ? &record.unquoted[index] : nullptr;
        const bool quoted = at < text.size() && text[at] == '"';
        if (quoted) {
            ++at;
            if (field) field->clear();
            if (!QuotedField(text, at, field, record.lines)) {
                // The rest of the file went into the field: each of its lines is one not read.
                const std::string_view rest = text.substr(begun);
                record.lines = 1;
                for (char c : rest) record.lines += c == '\n';
                if (rest.back() == '\n') --record.lines;
                record.broken = true;
                return;
            }
            if (at < text.size() && text[at] != ';' && !AtLineEnd(text, at)) record.broken = true;
        }
        std::size_t end = at;
        while (end < text.size() && text[end] != ';' && text[end] != '\r' && text[end] != '\n') ++end;
        if (field) record.fields[index] = quoted ? std::string_view(*field) : text.substr(at, end - at);
        at = end;
        if (at < text.size() && text[at] == ';') {
            ++at;
            continue;
        }
        SkipLineEnd(text, at);
        return;
    }
}

bool StartsWith(std::string_view text, std::string_view lead) { return text.substr(0, lead.size()) == lead; }

// The journal's header as this program writes it, and as it reads once another program saved the
// file in UTF-8.
std::string_view HeaderLine() {
    static const std::string line = std::string(kJournalHeader).substr(0, std::string(kJournalHeader).size() - 2);
    return line;
}
constexpr std::string_view kUtf8Header =
    u8"\u0412\u0440\u0435\u043c\u044f;\u0421\u0442\u0440\u0430\u043d\u0438\u0446\u0430;"
    u8"\u0417\u0430\u0445\u0432\u0430\u0442;\u0417\u043d\u0430\u0447\u0435\u043d\u0438\u0435;\u0418\u0442\u043e\u0433";

// The encoding of a text that is not in code page 1251, when it shows one; empty otherwise.
std::string OtherEncoding(std::string_view bytes) {
    if (StartsWith(bytes, "\xFF\xFE") || StartsWith(bytes, "\xFE\xFF")) return "UTF-16";
    if (StartsWith(bytes, "\xEF\xBB\xBF") || StartsWith(bytes, kUtf8Header)) return "UTF-8";
    const std::string_view head = bytes.substr(0, 64);
    if (head.find('\0') != std::string_view::npos && head.find_first_not_of('\0') != std::string_view::npos)
        return "UTF-16";
    return {};
}

// The text a spreadsheet shows for a field: JournalFieldText's, copied only for a formula.
std::string_view ShownText(std::string_view field, std::string& copy) {
    if (!StartsWith(field, "=\"")) return field;
    copy = JournalFieldText(field);
    return copy;
}

// Text made of blanks only (an empty line, a line of a file cut short) is no row.
bool Blank(const Record& record) {
    return record.count == 1 && record.fields[0].find_first_not_of(" \t") == std::string::npos;
}
}  // namespace

std::string JournalFieldText(std::string_view field) {
    if (!StartsWith(field, "=\"") || field.back() != '"' || field.size() < 3) return std::string(field);
    std::string text;
    std::size_t at = 1;
    for (;;) {  // at an opening quote
        std::size_t lines = 0;
        ++at;
        if (!QuotedField(field, at, &text, lines)) return std::string(field);
        if (at == field.size()) return text;
        if (field[at] != '&' || at + 1 >= field.size() || field[at + 1] != '"') return std::string(field);
        ++at;
    }
}

JournalTextRead ReadJournalText(std::string_view bytes, const JournalRowReader& row) {
    JournalTextRead read;
    if (bytes.empty()) return read;
    read.encoding = OtherEncoding(bytes);
    if (!read.encoding.empty()) {
        read.kind = JournalTextRead::Kind::kOtherEncoding;
        return read;
    }
    std::size_t at = 0;
    Record record;
    NextRecord(bytes, at, record);
    if (record.broken || record.count != kFields || !StartsWith(bytes, HeaderLine()) ||
        !AtLineEnd(bytes, HeaderLine().size())) {
        read.kind = JournalTextRead::Kind::kNotJournal;
        return read;
    }
    std::string value, result;
    while (at < bytes.size()) {
        NextRecord(bytes, at, record);
        if (Blank(record)) continue;
        if (record.broken || record.count != kFields) {
            read.damaged += static_cast<long long>(record.lines);
            continue;
        }
        if (record.fields[4] == "Итог" && record.fields[0] == "Время") continue;  // a header again
        ++read.rows;
        row(JournalRowRead{record.fields[0], ShownText(record.fields[3], value), ShownText(record.fields[4], result)});
    }
    return read;
}

namespace {
// Why a journal was not read whole, as a question names it; empty when it was.
std::string Trouble(const JournalTextRead& read) {
    switch (read.kind) {
        case JournalTextRead::Kind::kOtherEncoding:
            return "сохранён другой программой в кодировке " + read.encoding + ", не прочитан";
        case JournalTextRead::Kind::kNotJournal: return "не похож на журнал программы, не прочитан";
        case JournalTextRead::Kind::kJournal: break;
    }
    if (read.damaged == 0) return {};
    return "повреждено строк: " + std::to_string(read.damaged) + ", они не прочитаны";
}
}  // namespace

std::vector<std::string> ReadJournals(const std::string& folder, const JournalRowReader& row) {
    std::vector<std::string> troubles;
    for (const char* name : kJournalFileNames) {
        const std::string path = folder + name;
        std::string bytes;
        std::string trouble;
        switch (ReadWholeFile(path, bytes, kMaxJournalReadBytes)) {
            case ReadResult::kRead: trouble = Trouble(ReadJournalText(bytes, row)); break;
            case ReadResult::kTooLarge:
                trouble = "больше " + std::to_string(kMaxJournalReadBytes / (1024 * 1024)) + " МБ, не прочитан";
                break;
            case ReadResult::kNotRead:
                // No such file is no journal; one that is there and does not open is one not read.
                if (FileSizeOf(path) >= 0) trouble = "не открылся (занят другой программой или нет доступа)";
                break;
        }
        if (!trouble.empty()) troubles.push_back(std::string(name) + " — " + trouble);
    }
    return troubles;
}
