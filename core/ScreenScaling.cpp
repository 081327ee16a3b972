// ScreenScaling -- the render size and the picture's place in the window.
#include "core/ScreenScaling.h"

#include <algorithm>
#include <cmath>
#include <cstring>

RenderSize RenderSizeFor(int32_t windowWidth, int32_t windowHeight) {
    if (windowWidth <= 0 || windowHeight <= 0)
        return {kRenderHeight * 16 / 9, kRenderHeight}; // the usual screen
    const double aspect = static_cast<double>(windowWidth) / static_cast<double>(windowHeight);
    const auto half = static_cast<int32_t>(std::lround(aspect * kRenderHeight / 2.0));
    return {std::clamp(2 * half, kMinRenderWidth, kMaxRenderWidth), kRenderHeight};
}

PictureRect FitPicture(RenderSize render, int32_t windowWidth, int32_t windowHeight,
                       ScreenScaling scaling) {
    if (render.width <= 0 || render.height <= 0 || windowWidth <= 0 || windowHeight <= 0)
        return {0, 0, std::max(windowWidth, 0), std::max(windowHeight, 0)};
    const double fit = std::min(static_cast<double>(windowWidth) / render.width,
                                static_cast<double>(windowHeight) / render.height);
    int32_t w = 0, h = 0;
    if (scaling == ScreenScaling::PixelPerfect && fit >= 1.0) {
        const auto factor = static_cast<int32_t>(std::floor(fit));
        w = render.width * factor;
        h = render.height * factor;
    } else {
        // The side that limits the fit fills the window exactly.
        w = std::min(windowWidth, static_cast<int32_t>(std::lround(render.width * fit)));
        h = std::min(windowHeight, static_cast<int32_t>(std::lround(render.height * fit)));
    }
    return {(windowWidth - w) / 2, (windowHeight - h) / 2, w, h};
}

Vec2 WindowToRender(Vec2 windowPoint, const PictureRect& picture, RenderSize render) {
    if (picture.width <= 0 || picture.height <= 0)
        return {0.0f, 0.0f};
    const float sx = static_cast<float>(render.width) / static_cast<float>(picture.width);
    const float sy = static_cast<float>(render.height) / static_cast<float>(picture.height);
    return {(windowPoint.x - static_cast<float>(picture.x)) * sx -
                static_cast<float>(render.width) * 0.5f,
            static_cast<float>(render.height) * 0.5f -
                (windowPoint.y - static_cast<float>(picture.y)) * sy};
}

Vec2 RenderToWindow(Vec2 renderPoint, const PictureRect& picture, RenderSize render) {
    if (render.width <= 0 || render.height <= 0)
        return {0.0f, 0.0f};
    const float sx = static_cast<float>(picture.width) / static_cast<float>(render.width);
    const float sy = static_cast<float>(picture.height) / static_cast<float>(render.height);
    return {static_cast<float>(picture.x) +
                (renderPoint.x + static_cast<float>(render.width) * 0.5f) * sx,
            static_cast<float>(picture.y) +
                (static_cast<float>(render.height) * 0.5f - renderPoint.y) * sy};
}

const char* ScalingName(ScreenScaling scaling) {
    return scaling == ScreenScaling::PixelPerfect ? "Pixel-perfect" : "Smooth";
}

const char* ScalingId(ScreenScaling scaling) {
    return scaling == ScreenScaling::PixelPerfect ? "pixelperfect" : "smooth";
}

bool ScalingFromId(const char* id, ScreenScaling& out) {
    if (!id)
        return false;
    for (ScreenScaling s : {ScreenScaling::PixelPerfect, ScreenScaling::Smooth}) {
        if (std::strcmp(id, ScalingId(s)) == 0) {
            out = s;
            return true;
        }
    }
    return false;
}
