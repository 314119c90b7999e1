// The positions following their window, and the refusals when they cannot.
#include "automation/watch/window_follow.h"

#include <algorithm>
#include <climits>

namespace {
const char* const kNothingSent = "\nНичего не отправлено.";

bool SameRecord(const CapturedWindow& a, const CapturedWindow& b) { return a.SameKind(b) && a.area == b.area; }

int Moved(int value, int by) {
    const long long moved = static_cast<long long>(value) + by;
    return static_cast<int>(std::clamp<long long>(moved, INT_MIN, INT_MAX));
}

std::string SizeText(const ClientArea& area) { return std::to_string(area.width) + "x" + std::to_string(area.height); }

std::string KindText(const CapturedWindow& w) { return "программы " + w.program + " (класс " + w.className + ")"; }
}  // namespace

WindowFollow FollowWindows(Machine& machine, const std::vector<Position>& positions, std::size_t used) {
    WindowFollow follow;
    follow.positions = positions;
    used = std::min(used, positions.size());
    for (std::size_t i = 0; i < used; ++i) {
        const CapturedWindow recorded = positions[i].window;
        if (!recorded.Recorded()) continue;
        bool seen = false;
        for (std::size_t j = 0; j < i; ++j) seen = seen || SameRecord(positions[j].window, recorded);
        if (seen) continue;
        const std::vector<PlacedWindow> found = machine.WindowsOfKind(recorded.program, recorded.className);
        const std::string row = "захват " + std::to_string(i + 1);
        if (found.empty()) {
            follow.refusal = "Окно " + KindText(recorded) + ", на котором сделан " + row +
                             ", не найдено: программа закрыта или её окно свёрнуто.\n\nОткройте документ в редакторе "
                             "(разверните окно) и нажмите СТАРТ снова или сделайте захваты заново." + kNothingSent;
            return follow;
        }
        // Windows of the recorded size: the one still at the recorded place, else the only one.
        std::vector<PlacedWindow> sameSize;
        for (const PlacedWindow& w : found)
            if (w.area.width == recorded.area.width && w.area.height == recorded.area.height) sameSize.push_back(w);
        const auto atOrigin = std::find_if(sameSize.begin(), sameSize.end(), [&](const PlacedWindow& w) {
            return w.area.left == recorded.area.left && w.area.top == recorded.area.top;
        });
        if (atOrigin != sameSize.end()) {
            if (!follow.window.window) follow.window = atOrigin->owner;
            continue;
        }
        if (sameSize.size() > 1) {
            follow.refusal = "Открыто несколько окон " + KindText(recorded) + " того же размера, что и окно, на котором "
                             "сделан " + row + ", и ни одно из них не стоит на прежнем месте: неизвестно, какой "
                             "документ заполнять.\n\nОставьте открытым только нужный документ (или верните его окно на "
                             "прежнее место) и нажмите СТАРТ снова, или сделайте захваты заново." + kNothingSent;
            return follow;
        }
        const PlacedWindow& now = sameSize.empty() ? found.front() : sameSize.front();
        if (sameSize.empty()) {
            const std::string title = machine.WindowTitle(now.owner.window);
            follow.refusal = "Окно " + (title.empty() ? std::string() : "«" + title + "» ") + KindText(recorded) +
                             ", на котором сделан " + row + ", изменило размер: при захвате его рабочая область была " +
                             SizeText(recorded.area) + ", а теперь " + SizeText(now.area) +
                             " пикселей. Объекты на странице могли сместиться, и щелчки попали бы мимо.\n\n"
                             "Верните окну прежний размер или сделайте захваты заново." + kNothingSent;
            return follow;
        }
        if (!follow.window.window) follow.window = now.owner;
        const int dx = now.area.left - recorded.area.left, dy = now.area.top - recorded.area.top;
        if (dx == 0 && dy == 0) continue;
        for (std::size_t k = 0; k < positions.size(); ++k) {
            if (!SameRecord(positions[k].window, recorded)) continue;
            Position& p = follow.positions[k];
            p.x = Moved(p.x, dx);
            p.y = Moved(p.y, dy);
            p.window.area = now.area;
        }
        if (!follow.moved) follow.dx = dx, follow.dy = dy;
        follow.moved = true;
    }
    return follow;
}

std::string FollowNote(const WindowFollow& follow) {
    return "Захваты сдвинуты вслед за окном на (" + std::to_string(follow.dx) + ", " + std::to_string(follow.dy) + ")";
}
