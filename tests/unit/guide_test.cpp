// The user guide (docs/guide.ru.md) against the program: every merge-table example it shows is built
// here by the table code from the inputs its comment names, every picture it links to exists, every
// message its table of messages quotes is one the program has, every name it gives a control or a
// window of the program is that control's or window's own, and none of the statements once found wrong
// (against the program or against the guide itself) has come back.
#include "tables/merge_lists.h"
#include "tables/merge_table.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

// Only the native build knows where the sources are; the Windows build of the unit tests leaves the
// guide alone.
#ifdef GUIDE_SOURCE_DIR
namespace {
const std::string kDocs = std::string(GUIDE_SOURCE_DIR) + "/docs/";
const std::string kSources = std::string(GUIDE_SOURCE_DIR) + "/src/";

// An example as the guide gives it: `<!-- table: key=value ... -->`, then the fenced block of the
// text the merge window shows for it. List values separate their lines with '|'.
struct Example {
    int line = 0;  // of the comment, for messages
    std::map<std::string, std::string> options;
    std::vector<std::string> shown;
};

// The merge window's fields as it opens; an example names only what the user changes.
const std::map<std::string, std::string> kWindowDefaults = {
    {"columns", "5"}, {"start", "0001"}, {"count", "100"}, {"prefix", ""},
    {"list1", ""},    {"list2", ""},     {"transpose", "0"}, {"barcode", "0"},
};

bool IsAscii(const std::string& text) {
    for (unsigned char c : text)
        if (c >= 0x80) return false;
    return true;
}

std::vector<std::string> GuideLines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// Every example of the guide; a malformed one is a test failure and is left out.
std::vector<Example> TableExamples(const std::vector<std::string>& lines) {
    static const std::regex comment(R"(^\s*<!--\s*table:(.*)-->\s*$)");
    std::vector<Example> examples;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::smatch match;
        if (!std::regex_match(lines[i], match, comment)) continue;
        Example example;
        example.line = static_cast<int>(i) + 1;
        std::istringstream words(match[1].str());
        for (std::string word; words >> word;) {
            const size_t eq = word.find('=');
            const std::string key = word.substr(0, eq);
            if (eq == std::string::npos || !kWindowDefaults.count(key))
                ADD_FAILURE() << "guide line " << example.line << ": unknown input '" << word << "'";
            else
                example.options[key] = word.substr(eq + 1);
        }
        size_t at = i + 1;
        while (at < lines.size() && lines[at].empty()) ++at;
        if (at >= lines.size() || lines[at].rfind("```", 0) != 0) {
            ADD_FAILURE() << "guide line " << example.line << ": no fenced block after the table comment";
            continue;
        }
        for (++at; at < lines.size() && lines[at].rfind("```", 0) != 0; ++at) example.shown.push_back(lines[at]);
        examples.push_back(example);
    }
    return examples;
}

std::string Input(const Example& example, const std::string& key) {
    const auto found = example.options.find(key);
    return found != example.options.end() ? found->second : kWindowDefaults.at(key);
}

// A list field holding the '|'-separated lines, as typed: one per line, CR LF between them.
std::string ListField(std::string value) {
    for (size_t bar = value.find('|'); bar != std::string::npos; bar = value.find('|', bar + 2))
        value.replace(bar, 1, "\r\n");
    return value;
}

// What "Создать таблицу" makes of the example's inputs, read the way the merge window reads them.
TableResult Generate(const Example& example) {
    MergeTableRequest request;
    request.prefix = Input(example, "prefix");
    request.startText = GetStartNumberString(Input(example, "start"));
    request.countText = Input(example, "count");
    request.columns = std::stoi(Input(example, "columns"));
    request.useList1 = example.options.count("list1") > 0;
    request.useList2 = example.options.count("list2") > 0;
    request.useTranspose = Input(example, "transpose") == "1";
    request.useForBarcode = Input(example, "barcode") == "1";
    if (request.useList1 || request.useList2)
        ParseMergeLists(request.useList1, ListField(Input(example, "list1")), request.useList2,
                        ListField(Input(example, "list2")));
    request.list1 = &mergeList1;
    request.list2 = &mergeList2;
    return BuildMergeTable(request);
}

class Guide : public testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(lines.empty()) << "cannot read " << kDocs << "guide.ru.md"; }
    const std::vector<std::string> lines = GuideLines(kDocs + "guide.ru.md");
};

TEST_F(Guide, MergeTableExamplesAreWhatTheTableCodeMakes) {
    std::map<std::string, int> kinds;
    for (const Example& example : TableExamples(lines)) {
        SCOPED_TRACE("table example at guide line " + std::to_string(example.line));
        std::string shown;
        for (const std::string& line : example.shown) shown += line + "\r\n";
        // The table code works in code page 1251; ASCII examples are the same bytes in the guide.
        EXPECT_TRUE(IsAscii(shown)) << "examples use ASCII only";
        for (const auto& option : example.options) EXPECT_TRUE(IsAscii(option.second)) << option.first;
        const TableResult made = Generate(example);
        EXPECT_EQ(made.error, "");
        EXPECT_EQ(made.text, shown) << "the table code makes:\n" << made.text;

        const bool list1 = example.options.count("list1") > 0, list2 = example.options.count("list2") > 0;
        const bool transpose = Input(example, "transpose") == "1", barcode = Input(example, "barcode") == "1";
        if (!list1 && !list2 && !transpose && !barcode) ++kinds["plain"];
        if (list1) ++kinds["list 1"];
        if (list2) ++kinds["list 2"];
        if (transpose) ++kinds["TRANSPOSE"];
        if (barcode) ++kinds["barcode column"];
    }
    for (const char* kind : {"plain", "list 1", "list 2", "TRANSPOSE", "barcode column"})
        EXPECT_GT(kinds[kind], 0) << "the guide shows no table example with " << kind;
}

TEST_F(Guide, EveryPictureItShowsExists) {
    static const std::regex picture(R"(\]\((img/[^)\s]+)\))");
    int named = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        for (std::sregex_iterator it(lines[i].begin(), lines[i].end(), picture), end; it != end; ++it) {
            ++named;
            const std::string path = (*it)[1].str();
            EXPECT_TRUE(std::ifstream(kDocs + path).good()) << "guide line " << i + 1 << " shows missing " << path;
        }
    }
    EXPECT_GT(named, 0) << "the guide shows no picture";
}

std::string FileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Every string literal of the program's sources (UTF-8, as the guide), adjacent literals joined as the
// compiler joins them, with \n, \" and \\ read back. Messages are put together from these pieces.
std::vector<std::string> ProgramStrings() {
    static const std::regex token(R"re('(?:[^'\\\n]|\\.)*'|"((?:[^"\\\n]|\\.)*)"\s*)re");
    std::vector<std::string> strings;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(kSources)) {
        const std::string ext = entry.path().extension().string();
        if (ext != ".cpp" && ext != ".h") continue;
        const std::string text = FileText(entry.path());
        bool joining = false;
        size_t lastEnd = 0;
        for (std::sregex_iterator it(text.begin(), text.end(), token), end; it != end; ++it) {
            const std::smatch& m = *it;
            if (!m[1].matched) {  // a character literal, such as '"'
                joining = false;
                continue;
            }
            std::string piece;
            const std::string raw = m[1].str();
            for (size_t i = 0; i < raw.size(); ++i) {
                if (raw[i] == '\\' && i + 1 < raw.size()) {
                    const char c = raw[++i];
                    piece += c == 'n' ? '\n' : c == 'r' ? '\r' : c == 't' ? '\t' : c;
                } else {
                    piece += raw[i];
                }
            }
            if (joining && static_cast<size_t>(m.position(0)) == lastEnd)
                strings.back() += piece;
            else
                strings.push_back(piece);
            joining = true;
            lastEnd = static_cast<size_t>(m.position(0) + m.length(0));
        }
    }
    return strings;
}

// The pieces of a quoted message between its ellipses (where the program puts in numbers and names).
std::vector<std::string> MessagePieces(const std::string& message) {
    static const std::string kEllipsis = "\xE2\x80\xA6";  // UTF-8 bytes: the build's literals are code page 1251
    std::vector<std::string> pieces;
    size_t at = 0;
    while (at <= message.size()) {
        size_t end = message.find(kEllipsis, at);
        if (end == std::string::npos) end = message.size();
        std::string piece = message.substr(at, end - at);
        const size_t first = piece.find_first_not_of(' ');
        if (first != std::string::npos) pieces.push_back(piece.substr(first, piece.find_last_not_of(' ') - first + 1));
        at = end + kEllipsis.size();
    }
    return pieces;
}

TEST_F(Guide, EveryMessageOfItsTableIsOneTheProgramHas) {
    static const std::string kOpen = "\xC2\xAB", kClose = "\xC2\xBB";  // the guide's quotes, in UTF-8
    const std::vector<std::string> strings = ProgramStrings();
    ASSERT_GT(strings.size(), 100u);
    int quoted = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].find("<!-- messages -->") == std::string::npos) continue;
        // The table's rows follow its header and separator; the first cell holds one quoted message.
        for (size_t row = i + 3; row < lines.size() && lines[row].rfind("| ", 0) == 0; ++row) {
            const std::string cell = lines[row].substr(2, lines[row].find(" | ") - 2);
            SCOPED_TRACE("guide line " + std::to_string(row + 1) + ": " + cell);
            ASSERT_EQ(cell.rfind(kOpen, 0), 0u) << "a message cell is one quoted message";
            ASSERT_EQ(cell.compare(cell.size() - kClose.size(), kClose.size(), kClose), 0);
            const std::string message = cell.substr(kOpen.size(), cell.size() - kOpen.size() - kClose.size());
            ++quoted;
            for (const std::string& piece : MessagePieces(message)) {
                bool found = false;
                for (const std::string& text : strings) found = found || text.find(piece) != std::string::npos;
                EXPECT_TRUE(found) << "the program has no text \"" << piece << "\"";
            }
        }
    }
    EXPECT_GT(quoted, 10) << "the guide has no table of messages";
}

// Whether the program's texts hold every piece of a quoted text between its ellipses.
bool ProgramHas(const std::vector<std::string>& strings, const std::string& quoted) {
    for (const std::string& piece : MessagePieces(quoted)) {
        bool found = false;
        for (const std::string& text : strings) found = found || text.find(piece) != std::string::npos;
        if (!found) return false;
    }
    return true;
}

// A name the guide gives one of the program's controls or windows, with the guide line it starts on.
struct GuideName {
    int line = 0;
    std::string name;
};

// The names the guide gives the program's own controls and windows, by its conventions:
//  - a quoted text ending in ':' is a field's label («Начать с:»);
//  - a bold or quoted text right after "кнопк…", "отметк…", "отметьте", "флаж…" or "окн…" names that
//    button, check box or window (кнопкой **СТАРТ**, окно «Слияние при печати»);
//  - the bold texts of the first column of a table headed "Элемент" are the controls it lists.
// Prose is read a paragraph at a time (a name may be broken across lines); fenced blocks, comments and
// pictures' descriptions are left out. Windows' and other programs' names are written without these words.
std::vector<GuideName> ControlNames(const std::vector<std::string>& lines) {
    // A quoted text: no quote mark inside (the guide's quotes are UTF-8 «», C2 AB and C2 BB).
#define QUOTED "\xC2\xAB((?:(?!\xC2[\xAB\xBB]).)+?)\xC2\xBB"
    static const std::regex label("\xC2\xAB((?:(?!\xC2[\xAB\xBB]).)*?:)\xC2\xBB");
    // кнопк…, отметк…, отметьте, флаж…, окн…: each first letter either case.
    static const std::regex named(
        "(?:^|[\\s(])(?:(?:\xD0\x9A|\xD0\xBA)\xD0\xBD\xD0\xBE\xD0\xBF\xD0\xBA"
        "|(?:\xD0\x9E|\xD0\xBE)\xD1\x82\xD0\xBC\xD0\xB5(?:\xD1\x82\xD0\xBA|\xD1\x82\xD1\x8C\xD1\x82\xD0\xB5)"
        "|(?:\xD0\xA4|\xD1\x84)\xD0\xBB\xD0\xB0\xD0\xB6|(?:\xD0\x9E|\xD0\xBE)\xD0\xBA\xD0\xBD)"
        "[^\\s*\xC2]*\\s+(?:\\*\\*([^*]+)\\*\\*|" QUOTED ")");
#undef QUOTED
    static const std::regex bold(R"(\*\*([^*]+)\*\*)");
    static const std::regex picture(R"(!\[[^\]]*\])");
    std::vector<GuideName> names;
    const auto collect = [&](const std::string& text, int line) {
        for (std::sregex_iterator it(text.begin(), text.end(), label), end; it != end; ++it)
            names.push_back({line, (*it)[1].str()});
        for (std::sregex_iterator it(text.begin(), text.end(), named), end; it != end; ++it)
            names.push_back({line, (*it)[(*it)[1].matched ? 1 : 2].str()});
    };
    bool fenced = false, controlTable = false;
    std::string paragraph;
    int paragraphLine = 0;
    for (size_t i = 0; i <= lines.size(); ++i) {
        const std::string line = i < lines.size() ? std::regex_replace(lines[i], picture, "") : std::string();
        if (line.rfind("```", 0) == 0) fenced = !fenced;
        const bool prose = i < lines.size() && !fenced && line.rfind("```", 0) != 0 && line.rfind("<!--", 0) != 0 &&
                           line.rfind("|", 0) != 0 && line.find_first_not_of(' ') != std::string::npos;
        if (prose) {
            if (paragraph.empty()) paragraphLine = static_cast<int>(i) + 1;
            paragraph += " " + line.substr(line.find_first_not_of(' '));
            continue;
        }
        collect(paragraph, paragraphLine);
        paragraph.clear();
        if (i == lines.size() || fenced || line.rfind("|", 0) != 0) {
            controlTable = false;
            continue;
        }
        // A table row: the header says whether its first column lists controls.
        const std::string first = line.substr(1, line.find('|', 1) - 1);
        if (first == " \xD0\xAD\xD0\xBB\xD0\xB5\xD0\xBC\xD0\xB5\xD0\xBD\xD1\x82 ") controlTable = true;  // " Элемент "
        if (controlTable)
            for (std::sregex_iterator it(first.begin(), first.end(), bold), end; it != end; ++it)
                names.push_back({static_cast<int>(i) + 1, (*it)[1].str()});
        collect(line, static_cast<int>(i) + 1);
    }
    return names;
}

TEST_F(Guide, EveryNameItGivesAControlIsTheProgramsOwn) {
    const std::vector<std::string> strings = ProgramStrings();
    std::map<std::string, int> checked;
    for (const GuideName& found : ControlNames(lines)) {
        ++checked[found.name];
        EXPECT_TRUE(ProgramHas(strings, found.name))
            << "guide line " << found.line << " names a control or window the program does not have: \"" << found.name
            << "\"";
    }
    EXPECT_GT(checked.size(), 30u) << "the rules find too few names in the guide";
    // The names the guide cannot do without, found by the rules above.
    for (const char* name : {"\xD0\xA1\xD0\xA2\xD0\x90\xD0\xA0\xD0\xA2",                                 // СТАРТ
                             "\xD0\x97\xD0\xB0\xD1\x85\xD0\xB2\xD0\xB0\xD1\x82",                         // Захват
                             "\xD0\x9D\xD0\xB0\xD1\x87\xD0\xB0\xD1\x82\xD1\x8C \xD1\x81:",               // Начать с:
                             "\xD0\x92\xD1\x81\xD0\xB5\xD0\xB3\xD0\xBE:"})                               // Всего:
        EXPECT_GT(checked[name], 0) << "the guide's rules no longer find " << name;
}

// The guide's prose as one line: a statement broken across lines or indented in a list is found whole.
std::string Prose(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        const size_t first = line.find_first_not_of(" >");
        if (first != std::string::npos) text += " " + line.substr(first);
    }
    return text;
}

// Statements the guide once made that the program or the guide itself contradicts: none may return.
// (UTF-8, as the guide.)
const struct {
    const char* why;
    const char* wrong;
} kWrongStatements[] = {
    {"the program never presses F4; after a Page Down the page must stand where it stood",
     u8"и после перехода на следующую страницу"},
    {"the same: the check list", u8"после Page Down и F4"},
    {"the speed-up of waiting for the wizard is about 5 times, not ten and more", u8"в десять и более раз"},
    {"the box is off by default and the tips say to start with the defaults", u8"Включайте флажок всегда"},
    {"the merge window refuses a start number with anything but digits", u8"заменит его на `20001`"},
    {"the page is named by the question only after START: START, read, Cancel, turn, START, Yes",
     u8"Перейдите на страницу, которую назовёт вопрос"},
    {u8"with a field that cannot be read every row is \"не проверено\"", u8"с итогом «проверено» (в режиме XL"},
    {u8"the message says \"захвачены\"", u8"а сделаны на окне"},
    {"a trial of ten values leaves the editor on page 2, where a run from 0001 would start",
     u8"или `10`, чтобы проверить и переход"},
    {u8"what the editor took is \"введено\"; \"сохранено\" is for documents and settings", u8"Сохранено 6 из 9"},
    {"the settings window's boxes take effect at their click", u8"сохраняется кнопкой **Применить**"},
    {u8"a stop's \"готова к новому запуску\" does not mean start over", u8"можно начать новый прогон"},
};

TEST_F(Guide, NoneOfTheStatementsOnceFoundWrongIsBack) {
    const std::string prose = Prose(lines);
    for (const auto& row : kWrongStatements)
        EXPECT_EQ(prose.find(row.wrong), std::string::npos) << "the guide says \"" << row.wrong << "\" again: " << row.why;
}

TEST_F(Guide, ItTakesTheOperatorThroughAWholeRunAndAStop) {
    const std::string prose = Prose(lines);
    // The two sections, by their headings, and their anchors that the guide links to.
    for (const char* heading : {u8"### Весь тираж по шагам", u8"**Прогон остановился**", u8"## Приложение"})
        EXPECT_NE(prose.find(heading), std::string::npos) << heading;
    for (const char* anchor : {"full-run", "stopped-card", "full-wait", "full-time", "appendix"}) {
        const std::string defined = std::string("<a id=\"") + anchor + "\"></a>", linked = std::string("(#") + anchor + ")";
        EXPECT_NE(prose.find(defined), std::string::npos) << anchor;
        EXPECT_NE(prose.find(linked), std::string::npos) << anchor << " is never linked to";
    }
    // The card's order: START, read the page, Cancel, open it, START and Yes.
    const size_t card = prose.find(u8"**Прогон остановился**");
    ASSERT_NE(card, std::string::npos);
    size_t at = card;
    for (const char* step : {u8"**СТАРТ**", u8"**страницу**", u8"**Отмена**", u8"Откройте в редакторе эту страницу",
                             u8"**СТАРТ** → **Да**", u8"**«Нет»**"}) {
        const size_t found = prose.find(step, at);
        EXPECT_NE(found, std::string::npos) << "the card lacks, or misorders, " << step;
        if (found != std::string::npos) at = found;
    }
}

// Every link inside the guide leads to an anchor it defines.
TEST_F(Guide, EveryLinkWithinItLeadsSomewhere) {
    static const std::regex link(R"(\]\(#([A-Za-z0-9-]+)\))"), anchor(R"re(<a id="([A-Za-z0-9-]+)"></a>)re");
    const std::string prose = Prose(lines);
    std::set<std::string> anchors;
    for (std::sregex_iterator it(prose.begin(), prose.end(), anchor), end; it != end; ++it) anchors.insert((*it)[1]);
    int links = 0;
    for (std::sregex_iterator it(prose.begin(), prose.end(), link), end; it != end; ++it, ++links)
        EXPECT_TRUE(anchors.count((*it)[1])) << "a link to #" << (*it)[1] << ", which the guide does not define";
    EXPECT_GT(links, 30);
}

TEST(GuideNames, AMadeUpNameIsCaughtWhereverTheGuideGivesOne) {
    const std::vector<std::string> strings = ProgramStrings();
    // «Начало с:» for «Начать с:», a button, a check box, a window and a table's control that do not exist.
    const std::vector<std::string> made = {
        "\xD0\x92 \xD0\xBF\xD0\xBE\xD0\xBB\xD0\xB5 \xC2\xAB\xD0\x9D\xD0\xB0\xD1\x87\xD0\xB0\xD0\xBB\xD0\xBE \xD1\x81:\xC2\xBB",
        "\xD0\xBA\xD0\xBD\xD0\xBE\xD0\xBF\xD0\xBA\xD0\xBE\xD0\xB9 **\xD0\x97\xD0\xB0\xD1\x85\xD0\xB2\xD0\xB0\xD1\x82\xD0\xB8"
        "\xD1\x82\xD1\x8C**, \xD0\xBE\xD1\x82\xD0\xBC\xD0\xB5\xD1\x82\xD0\xBA\xD0\xB0",
        "\xC2\xAB\xD0\x91\xD1\x8B\xD1\x81\xD1\x82\xD1\x80\xD0\xBE\xC2\xBB, \xD0\xBE\xD0\xBA\xD0\xBD\xD0\xBE "
        "\xC2\xAB\xD0\x9F\xD0\xB5\xD1\x87\xD0\xB0\xD1\x82\xD1\x8C \xD0\xBD\xD0\xB0\xD0\xBA\xD0\xBB\xD0\xB5\xD0\xB5\xD0\xBA\xC2\xBB.",
        "",
        "| \xD0\xAD\xD0\xBB\xD0\xB5\xD0\xBC\xD0\xB5\xD0\xBD\xD1\x82 | x |",
        "|---|---|",
        "| **\xD0\xA1\xD0\xA2\xD0\x9E\xD0\x9F** | x |",
    };
    const std::vector<GuideName> names = ControlNames(made);
    ASSERT_EQ(names.size(), 5u);
    for (const GuideName& name : names) EXPECT_FALSE(ProgramHas(strings, name.name)) << name.name;
}
}  // namespace
#endif
