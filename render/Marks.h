// Flat, unlit marks drawn over a room: the dash's aim dots, the sweep of a
// slash, where a grenade will land. Shapes are gathered as coloured
// triangles in view space and drawn in one call.
#pragma once

#include "core/Vec2.h"

#include <array>
#include <vector>

using MarkColour = std::array<float, 4>; // r, g, b, a in 0..1

class Marks {
public:
    // A square of half side `half` centred on `at`.
    void Square(Vec2 at, float half, const MarkColour& colour);
    // A band between radii `inner` and `outer` round `centre`, from angle
    // `from` to `to` (radians, counter-clockwise from +x), in `segments`
    // pieces; the inner edge takes `innerColour`, the outer `outerColour`.
    void Band(Vec2 centre, float inner, float outer, float from, float to, int segments,
              const MarkColour& innerColour, const MarkColour& outerColour);
    bool Empty() const { return xy.empty(); }
    // Draws what was gathered (additive or blended) and leaves the
    // graphics state as textured drawing expects it.
    void Draw(bool additive) const;

private:
    void Vertex(Vec2 at, const MarkColour& colour);
    std::vector<float> xy;
    std::vector<float> rgba;
};
