#include "render/Marks.h"

#include "engine/QNGraphics.h"

#include <cmath>

void Marks::Vertex(Vec2 at, const MarkColour& colour) {
    xy.push_back(at.x);
    xy.push_back(at.y);
    rgba.insert(rgba.end(), colour.begin(), colour.end());
}

void Marks::Square(Vec2 at, float half, const MarkColour& colour) {
    const Vec2 a = at + Vec2{-half, -half}, b = at + Vec2{half, -half};
    const Vec2 c = at + Vec2{half, half}, d = at + Vec2{-half, half};
    for (const Vec2& v : {a, b, d, b, c, d})
        Vertex(v, colour);
}

void Marks::Band(Vec2 centre, float inner, float outer, float from, float to, int segments,
                 const MarkColour& innerColour, const MarkColour& outerColour) {
    if (segments < 1 || !(outer > inner))
        return;
    const auto at = [&](float radius, int i) {
        const float angle =
            from + (to - from) * static_cast<float>(i) / static_cast<float>(segments);
        return centre + Vec2{std::cos(angle), std::sin(angle)} * radius;
    };
    for (int i = 0; i < segments; ++i) {
        const Vec2 i0 = at(inner, i), i1 = at(inner, i + 1);
        const Vec2 o0 = at(outer, i), o1 = at(outer, i + 1);
        Vertex(i0, innerColour);
        Vertex(o0, outerColour);
        Vertex(i1, innerColour);
        Vertex(o0, outerColour);
        Vertex(o1, outerColour);
        Vertex(i1, innerColour);
    }
}

void Marks::Draw(bool additive) const {
    if (xy.empty())
        return;
    QNGfxSetRenderMode(QN_RENDER_COLOR);
    QNGfxSetBlendMode(additive ? 2 : 1);
    QNGfxSetPosition(0.0f, 0.0f);
    QNGfxSetTintColor(1.0f, 1.0f, 1.0f, 1.0f);
    QNGfxDrawColoredTriangles(xy.data(), rgba.data(), static_cast<uint32_t>(xy.size() / 2));
    QNGfxSetRenderMode(QN_RENDER_TEXTURE);
    QNGfxSetBlendMode(1);
}
