// Layout.h -- keeping text inside its window whatever the window's size:
// windows are laid out in interface units (a 640 x 360 screen scaled to the
// window, Runtime::uiScale), and a line that would run past its frame
// widens the window, or, past the screen, shrinks.
#pragma once

#include <string>

class UIText;

// Room left between a line of text and its window's frame, each side.
constexpr float kTextMargin = 20.0f;

// The width a window needs for `line` shown at content scale 1: the line's
// width plus the margins, at least `least`. A line too wide for the screen
// even so gets a smaller scale offset, so the window fits the screen.
float FitWindowWidth(UIText& line, float least);

// Width of a plain line of `text` at scale 1, UI units (0 without a font).
float TextAdvance(const std::string& text);
