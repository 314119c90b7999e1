// Reading the journals back: the rows of barcode_run_log.csv, its rotated and spare files, as this
// version and earlier ones wrote them (earlier ones wrote every value as it stood, with no ="…"
// and no start rows). A file that cannot be read whole says why, so that no caller takes it for a
// journal without the rows it was looking for.
#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The files a folder's journal may be in, newest first: the journal, the spare file a locked
// journal sends its rows to, and the .old names each is moved to past 10 MB.
extern const char* const kJournalFileNames[4];

// A row of a journal as read back. The value and the result are as a spreadsheet shows them: a
// field written as the formula ="…" gives its text. Valid only during the call that passes it.
struct JournalRowRead {
    std::string_view time;
    std::string_view value;
    std::string_view result;
};
using JournalRowReader = std::function<void(const JournalRowRead&)>;

// What reading one journal's text found.
struct JournalTextRead {
    enum class Kind {
        kJournal,        // rows read (some may be damaged)
        kOtherEncoding,  // saved by another program in UTF-8 or UTF-16: `encoding` says which
        kNotJournal,     // its first line is not the journal's header
    };
    Kind kind = Kind::kJournal;
    std::string encoding;
    long long rows = 0;     // rows of five fields, the header left out
    long long damaged = 0;  // lines that are not: cut short, run together, a quote never closed
};
// Passes every row of five fields to `row`, in file order.
JournalTextRead ReadJournalText(std::string_view bytes, const JournalRowReader& row);

// The text of a field as JournalField wrote it: ="…"&"…" gives the pieces' text; anything else is
// the field itself (a value of an earlier version that begins with '=' stays as it is).
std::string JournalFieldText(std::string_view field);

// The journals of `folder` (empty, or ending with a separator) that exist, each read whole and
// passed row by row. Returns the files not read whole, as "name — why" in code page 1251.
constexpr std::size_t kMaxJournalReadBytes = 64u * 1024 * 1024;
std::vector<std::string> ReadJournals(const std::string& folder, const JournalRowReader& row);
