// Layout at a screen's DPI: every window is drawn up in pixels at 96 dpi (100 %) and scaled to the
// DPI of the monitor it is on, so at 96 dpi every number stays exactly as drawn up.
#pragma once
#include <cstddef>
#include <utility>
#include <vector>

constexpr int kBaseDpi = 96;

// value × dpi / 96 rounded to the nearest pixel, halves away from zero (as MulDiv rounds), kept
// within int. A DPI below 1 counts as 96.
int ScaleForDpi(int value, int dpi);

// A control's rectangle in its parent's client pixels.
struct LayoutBox {
    int x = 0, y = 0, width = 0, height = 0;
};
bool operator==(const LayoutBox& a, const LayoutBox& b);

// The edges are scaled, not the sizes: boxes that touch or stand apart at 96 dpi still do at any DPI.
LayoutBox ScaleBox(const LayoutBox& box, int dpi);
// Both boxes share at least one pixel.
bool BoxesOverlap(const LayoutBox& a, const LayoutBox& b);
// The pairs (i < j) of boxes that overlap once scaled to `dpi` but do not at 96 dpi.
std::vector<std::pair<std::size_t, std::size_t>> OverlapsAddedAt(const std::vector<LayoutBox>& boxes, int dpi);
