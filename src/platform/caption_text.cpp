// The caption's two parts put together.
#include "platform/caption_text.h"

void CaptionText::SetTitle(const std::string& title) {
    title_ = title;
    titleKnown_ = true;
    if (!keepOnTitleChange_) progress_.clear();
}

void CaptionText::SetProgress(const std::string& progress, bool keepOnTitleChange) {
    progress_ = progress;
    keepOnTitleChange_ = keepOnTitleChange;
}

std::string CaptionText::Text() const { return progress_.empty() ? title_ : progress_ + " · " + title_; }
