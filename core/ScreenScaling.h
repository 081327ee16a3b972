// ScreenScaling.h -- the one size the world is drawn at, and how the finished
// picture is scaled to the window.
//
// The picture is always 360 render pixels high; its width follows the
// window's shape, so a wider screen sees a little more to the sides and a
// narrower one a little less, never a different zoom. The window shows it
// either by the largest whole factor that fits, centred in a thin black
// border (pixel-perfect), or as large as fits (smooth). Pointer positions go
// back through the same rectangle.
#pragma once

#include "core/Vec2.h"

#include <cstdint>

enum class ScreenScaling : int32_t {
    PixelPerfect, // whole factors only, a border where they do not fill
    Smooth,       // as large as fits
};

// The render size: pixels of the picture every pass of a frame draws into.
struct RenderSize {
    int32_t width = 0;
    int32_t height = 0;
};

// Where the picture lands in the window: pixels, from the top left.
struct PictureRect {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
};

// The render height at every window size (a 1280 x 720 window shows it at
// twice its size).
constexpr int32_t kRenderHeight = 360;
// The narrowest and widest render: a square window and one of 32:9. Windows
// beyond them show the picture with borders.
constexpr int32_t kMinRenderWidth = 360;
constexpr int32_t kMaxRenderWidth = 1280;

// The render size for a window of the given shape: 360 high, the width
// following the window's aspect ratio, rounded to an even number of pixels
// so the view keeps a whole-pixel middle.
RenderSize RenderSizeFor(int32_t windowWidth, int32_t windowHeight);

// The rectangle of a window of the given size the picture is shown in,
// centred. Pixel-perfect takes the largest whole factor that fits; a window
// smaller than the picture shrinks it as smooth does.
PictureRect FitPicture(RenderSize render, int32_t windowWidth, int32_t windowHeight,
                       ScreenScaling scaling);

// A point of the window (pixels from the top left) as a point of the picture:
// render units, origin at the picture's middle, y up. Points in the border
// map beyond the picture's edges.
Vec2 WindowToRender(Vec2 windowPoint, const PictureRect& picture, RenderSize render);
// The other way round.
Vec2 RenderToWindow(Vec2 renderPoint, const PictureRect& picture, RenderSize render);

// "Pixel-perfect", "Smooth"; the settings file's names are the same in lower
// case without the hyphen ("pixelperfect", "smooth").
const char* ScalingName(ScreenScaling scaling);
const char* ScalingId(ScreenScaling scaling);
// The mode named by a settings file's id; false for anything else.
bool ScalingFromId(const char* id, ScreenScaling& out);
