// Progressive filling of the preview fields (see preview_text_win.h).
#include "tables/preview_text_win.h"

#include "automation/run/run.h"
#include "platform/text_win.h"

#include <algorithm>
#include <vector>

namespace {
// The first part takes some 30 ms where the edit control is slowest; later parts grow or shrink so
// that each keeps the window busy for about a quarter of a second. Some edit controls (Wine's) spend
// time in proportion to the whole text on every append, so a part is never less than an eighth of
// what is shown: smaller parts would not make a tick shorter, only the fill quadratically longer.
constexpr size_t kFirstPartChars = 65536, kMinPartChars = 16384, kMaxPartChars = 1048576;
constexpr size_t kShownPerPart = 8;
constexpr ULONGLONG kPartTargetMs = 250;

struct FieldText {
    HWND edit;
    std::string bytes;
    std::wstring wide;
    size_t shown;  // characters of `wide` already in the field
    size_t partChars;
};

std::vector<FieldText> fields;  // one per open preview

FieldText* Find(HWND edit) {
    for (FieldText& field : fields)
        if (field.edit == edit) return &field;
    return nullptr;
}

// The end of the next part: whole lines where possible.
size_t PartEnd(const std::wstring& text, size_t from, size_t partChars) {
    if (text.size() - from <= partChars) return text.size();
    const size_t lineEnd = text.rfind(L'\n', from + partChars - 1);
    return (lineEnd != std::wstring::npos && lineEnd >= from) ? lineEnd + 1 : from + partChars;
}

void AppendPart(FieldText& field) {
    const ULONGLONG began = GetTickCount64();
    const size_t end = PartEnd(field.wide, field.shown, field.partChars);
    const std::wstring part = field.wide.substr(field.shown, end - field.shown);
    HWND edit = field.edit;
    // Appending moves the caret to the end and scrolls there; the reader's place and a whole-text
    // selection are put back.
    DWORD selStart = 0, selEnd = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&selStart), reinterpret_cast<LPARAM>(&selEnd));
    const bool allSelected = selStart == 0 && selEnd == field.shown;
    const LRESULT firstLine = SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0);
    SendMessageW(edit, WM_SETREDRAW, FALSE, 0);
    SendMessageW(edit, EM_SETSEL, field.shown, field.shown);
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(part.c_str()));
    field.shown = end;
    SendMessageW(edit, EM_SETSEL, selStart, allSelected ? field.shown : selEnd);
    SendMessageW(edit, EM_LINESCROLL, 0, firstLine - SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0));
    SendMessageW(edit, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(edit, nullptr, TRUE);

    const ULONGLONG took = GetTickCount64() - began;
    if (took < kPartTargetMs / 2) field.partChars = std::min(field.partChars * 2, kMaxPartChars);
    if (took > kPartTargetMs * 2) field.partChars = std::max(field.partChars / 2, kMinPartChars);
    field.partChars = std::max(field.partChars, field.shown / kShownPerPart);
}
}  // namespace

void SetPreviewText(HWND edit, const std::string& content) {
    if (!edit) return;
    FieldText* field = Find(edit);
    if (!field) {
        fields.push_back({edit, {}, {}, 0, kFirstPartChars});
        field = &fields.back();
    }
    field->bytes = content;
    field->wide = WideFromCp1251(content);
    field->partChars = kFirstPartChars;
    field->shown = PartEnd(field->wide, 0, field->partChars);
    SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);  // the largest limit: a long table is never cut
    SetWindowTextW(edit, field->wide.substr(0, field->shown).c_str());
    HWND window = GetParent(edit);
    if (field->shown < field->wide.size())
        SetTimer(window, kPreviewFillTimerId, 1, nullptr);
    else
        KillTimer(window, kPreviewFillTimerId);
}

const std::string& PreviewTextOf(HWND edit) {
    static const std::string kNone;
    const FieldText* field = Find(edit);
    return field ? field->bytes : kNone;
}

void ContinuePreviewFill(HWND window) {
    // A part can keep the thread for a second or more; during a run that would starve the keyboard
    // hooks at its pump points (Escape skipped, then passed on to the designer), and hold back the
    // run's own messages (a stop shown late). The timer stays and the fill goes on once the run and
    // its messages are over.
    if (RunInProgress()) return;
    for (FieldText& field : fields) {
        if (GetParent(field.edit) != window) continue;
        if (field.shown < field.wide.size()) AppendPart(field);
        if (field.shown >= field.wide.size()) {
            KillTimer(window, kPreviewFillTimerId);
            std::wstring().swap(field.wide);  // the bytes stay for copy and save
        }
        return;
    }
    KillTimer(window, kPreviewFillTimerId);
}

void ForgetPreviewText(HWND edit) {
    fields.erase(std::remove_if(fields.begin(), fields.end(), [&](const FieldText& f) { return f.edit == edit; }),
                 fields.end());
}
