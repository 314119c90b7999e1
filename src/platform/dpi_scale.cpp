// Scaling of the 96-dpi layout to a screen's DPI.
#include "platform/dpi_scale.h"

#include <algorithm>
#include <climits>

int ScaleForDpi(int value, int dpi) {
    if (dpi < 1) dpi = kBaseDpi;
    const long long product = static_cast<long long>(value) * dpi;
    const long long half = kBaseDpi / 2;
    const long long scaled = product >= 0 ? (product + half) / kBaseDpi : -((-product + half) / kBaseDpi);
    return static_cast<int>(std::clamp<long long>(scaled, INT_MIN, INT_MAX));
}

bool operator==(const LayoutBox& a, const LayoutBox& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

LayoutBox ScaleBox(const LayoutBox& box, int dpi) {
    const int left = ScaleForDpi(box.x, dpi), top = ScaleForDpi(box.y, dpi);
    const int right = ScaleForDpi(box.x + box.width, dpi), bottom = ScaleForDpi(box.y + box.height, dpi);
    return {left, top, right - left, bottom - top};
}

bool BoxesOverlap(const LayoutBox& a, const LayoutBox& b) {
    if (a.width <= 0 || a.height <= 0 || b.width <= 0 || b.height <= 0) return false;
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

std::vector<std::pair<std::size_t, std::size_t>> OverlapsAddedAt(const std::vector<LayoutBox>& boxes, int dpi) {
    std::vector<std::pair<std::size_t, std::size_t>> added;
    for (std::size_t i = 0; i < boxes.size(); ++i)
        for (std::size_t j = i + 1; j < boxes.size(); ++j)
            if (!BoxesOverlap(boxes[i], boxes[j]) && BoxesOverlap(ScaleBox(boxes[i], dpi), ScaleBox(boxes[j], dpi)))
                added.emplace_back(i, j);
    return added;
}
