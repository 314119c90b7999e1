// End-to-end helpers for the merge window and the preview windows of the utility under test.
#pragma once
#include "harness.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>

namespace harness {

// Children of the merge window in creation order; fields without an identifier are found by place.
enum MergeChild : int {
    kColumnsCombo = 2, kList1Field = 21, kList2Field = 22, kPrefixField = 24, kStartField = 26, kCountField = 28
};

// Clicks the main window's merge button and waits for the merge window.
HWND OpenMergeWindow(const App& app);
HWND MergeChildAt(HWND merge, int index);
// Types `text` over the field's contents as a user would; false if the field never showed it.
bool TypeInto(HWND field, const std::wstring& text);
// Waits for a visible top-level window of the process with this class and caption.
HWND WaitForWindow(DWORD pid, const std::wstring& className, const std::wstring& caption,
                   milliseconds timeout = kDefaultTimeout);
HWND WaitForTablePreview(const App& app, milliseconds timeout = kDefaultTimeout);
HWND WaitForPasswordPreview(const App& app, milliseconds timeout = kDefaultTimeout);
// Moves a preview (always on top) off the merge window, as a user would before ticking options there.
void MoveAside(HWND preview);
HWND PreviewField(HWND preview);  // the preview's text field
// A generating button clicked and timed: the preview it opened, its field, when the click went out
// and the seconds until the field first held text (negative when no preview or no text came).
struct TimedPreview {
    HWND preview = nullptr;
    HWND field = nullptr;
    std::chrono::steady_clock::time_point clicked;
    double shown = -1;
};
TimedPreview ClickAndTimePreview(HWND merge, int buttonId, const std::function<HWND()>& waitForPreview);
// The preview's text as code page 1251 bytes, as the product keeps it.
std::string PreviewBytes(HWND preview);
// Waits until the preview's text differs from `before`; returns the new text.
std::string WaitForPreviewChange(HWND preview, const std::string& before, milliseconds timeout = kDefaultTimeout);
// Expects a message box with this caption and text, answers it with OK and returns whether it matched.
bool ExpectMessage(DWORD pid, const std::wstring& caption, const std::wstring& text);

// The utility started with its merge window open; closed after the test.
class MergeWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override { CloseApp(app); }

    DWORD Pid() const { return app.process.Id(); }
    // Clicks a generating button and waits for the preview it opens, then moves the preview aside.
    HWND ClickForPreview(int buttonId, HWND (*waitForPreview)(const App&, milliseconds));

    App app;
    HWND merge = nullptr;
};

}  // namespace harness
