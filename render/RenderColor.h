// RenderColor.h -- an RGBA colour, each component 0..1.
#pragma once

struct RenderColor {
    float r, g, b, a;
};
