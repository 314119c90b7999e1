// The main window's caption in two parts: the program title and, before it, a run's progress note.
// A title update keeps a note that is marked to outlive it (a run under way) and drops the others
// (the note left by a stop).
#pragma once
#include <string>

class CaptionText {
public:
    // The caption shown before either part was set: the title the window was created with.
    bool TitleKnown() const { return titleKnown_; }
    void SetTitle(const std::string& title);
    void SetProgress(const std::string& progress, bool keepOnTitleChange);
    std::string Text() const;  // "<progress> · <title>", or the title alone

private:
    std::string title_, progress_;
    bool titleKnown_ = false;
    bool keepOnTitleChange_ = false;
};
