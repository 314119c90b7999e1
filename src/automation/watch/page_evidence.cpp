// The page key's evidence: the drawings before it and the other page after it.
#include "automation/watch/page_evidence.h"

#include <algorithm>

namespace {
// A region that changes among a few pictures (a blinking mark) is known by all of them.
constexpr std::size_t kStatesKept = 8;

bool Has(const std::vector<std::uint64_t>& states, std::uint64_t region) {
    return std::find(states.begin(), states.end(), region) != states.end();
}
}  // namespace

void PageEvidence::NewPage(std::size_t captures) {
    objects_.assign(captures, Object{});
    before_.clear();
    last_.clear();
    looked_ = false;
    began_ = stillSince_ = otherSince_ = -1;
    enterSeen_ = false;
    changed_.clear();
}

void PageEvidence::BeforeClick(std::size_t capture, const PagePicture& picture) {
    if (capture >= objects_.size()) objects_.resize(capture + 1);
    Object& object = objects_[capture];
    object = Object{};
    object.clicked = true;
    object.baseline = picture.taken && capture < picture.regions.size();
    if (object.baseline) object.before = picture.regions[capture];
    // A wait for the key that had begun belongs to the barcodes before this one.
    looked_ = false;
    began_ = -1;
}

bool PageEvidence::RegionsAgree(const PagePicture& picture) const { return looked_ && picture.regions == last_; }

void PageEvidence::NoteState(Object& object, std::uint64_t region) {
    if (!Has(object.states, region) && object.states.size() < kStatesKept) object.states.push_back(region);
}

PageEvidence::KeyVerdict PageEvidence::LookBeforeKey(const PagePicture& picture, long long at) {
    if (began_ < 0) began_ = stillSince_ = at;
    if (!picture.taken) {
        looked_ = false;
        return KeyVerdict::kUnseen;
    }
    const bool rested = RegionsAgree(picture);
    if (!rested) stillSince_ = at;
    bool allDrawn = true;
    for (std::size_t c = 0; c < objects_.size(); ++c) {
        Object& object = objects_[c];
        if (!object.clicked) continue;
        const bool shown = c < picture.regions.size();
        if (object.baseline && shown && picture.regions[c] != object.before) object.drawn = true;
        if (object.drawn && shown) NoteState(object, picture.regions[c]);
        allDrawn = allDrawn && object.drawn;
    }
    last_ = picture.regions;
    looked_ = true;
    before_ = last_;
    if (allDrawn && rested) return KeyVerdict::kDrawn;
    if (at - began_ < rules_.drawnCeilingMs) return KeyVerdict::kWait;
    const bool quiet = at - stillSince_ >= rules_.quietMs;
    const bool bound = at - began_ >= rules_.drawnCeilingMs + rules_.quietMs + rules_.quietBoundMs;
    return quiet || bound ? KeyVerdict::kQuietRule : KeyVerdict::kWait;
}

void PageEvidence::EnterGoing(const PagePicture& picture) {
    enterFrom_ = picture;
    enterSeen_ = false;
    looked_ = false;
    began_ = -1;
}

PageEvidence::KeyVerdict PageEvidence::LookAfterEnter(const PagePicture& picture, long long at, long long pageDelayMs) {
    if (began_ < 0) began_ = at;
    if (!picture.taken) {
        looked_ = false;
        return KeyVerdict::kUnseen;
    }
    // Only the cells tell: a caret or a mark elsewhere changes the picture without any commit.
    const bool rested = RegionsAgree(picture);
    if (!enterFrom_.taken || picture.regions != enterFrom_.regions) enterSeen_ = true;
    last_ = before_ = picture.regions;
    looked_ = true;
    if (enterSeen_ && rested) return KeyVerdict::kDrawn;
    return at - began_ >= pageDelayMs ? KeyVerdict::kQuietRule : KeyVerdict::kWait;
}

std::vector<std::size_t> PageEvidence::Undrawn() const {
    std::vector<std::size_t> out;
    for (std::size_t c = 0; c < objects_.size(); ++c)
        if (objects_[c].clicked && !objects_[c].drawn) out.push_back(c);
    return out;
}

void PageEvidence::KeySent() {
    if (objects_.size() < before_.size()) objects_.resize(before_.size());
    for (std::size_t c = 0; c < before_.size(); ++c) NoteState(objects_[c], before_[c]);
    looked_ = false;
    otherSince_ = -1;
    changed_.clear();
}

PageEvidence::TurnVerdict PageEvidence::LookAfterKey(const PagePicture& picture, long long at, bool settle,
                                                     long long boundMs) {
    if (!picture.taken || picture.regions.size() < before_.size() || before_.empty()) {
        looked_ = false;
        otherSince_ = -1;
        return TurnVerdict::kUnseen;
    }
    changed_.clear();
    for (std::size_t c = 0; c < before_.size(); ++c)
        if (!Has(objects_[c].states, picture.regions[c])) changed_.push_back(c);
    const bool rested = RegionsAgree(picture);
    last_ = picture.regions;
    looked_ = true;
    if (changed_.empty()) {
        otherSince_ = -1;
        return TurnVerdict::kSame;
    }
    if (changed_.size() < before_.size()) {
        otherSince_ = -1;
        return TurnVerdict::kConfined;
    }
    if (!settle) return TurnVerdict::kTurned;
    const bool first = otherSince_ < 0;
    if (first) otherSince_ = at;
    return (!first && rested) || at - otherSince_ >= boundMs ? TurnVerdict::kTurned : TurnVerdict::kSettling;
}

PageEvidence::LaterTurn PageEvidence::JudgeLater(const std::vector<std::uint64_t>& before, const PagePicture& now) {
    if (before.empty() || !now.taken || now.regions.size() < before.size()) return LaterTurn::kCannotTell;
    std::size_t changed = 0;
    for (std::size_t c = 0; c < before.size(); ++c) changed += now.regions[c] != before[c];
    if (changed == 0) return LaterTurn::kUnchanged;
    return changed == before.size() ? LaterTurn::kTurned : LaterTurn::kCannotTell;
}

std::string CaptureList(const std::vector<std::size_t>& captures) {
    std::string text;
    for (std::size_t c : captures) text += (text.empty() ? "" : ", ") + std::to_string(c + 1);
    return text;
}
