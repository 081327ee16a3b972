// HUDBar.h -- a horizontal bar over a plain white texture: its width follows
// `fill` from its left end, and it can pulse between two colours to draw the
// eye. The player's health and special bars, and the floating health bars of
// enemies, are HUD bars.
#pragma once

#include "render/Sprite2D.h"

class HUDBar : public Sprite2D {
public:
    // left, y: the left end and the centre line; fullWidth, height: the size
    // at fill 1 (units of the layer the bar is drawn in).
    HUDBar(float left, float y, float fullWidth, float height, const RenderColor& baseColor,
           const RenderColor& pulseColor);
    // Drops any tween still animating `fill`.
    ~HUDBar() override;

    // Width and place from `fill`, the colour (pulsing or base), then the
    // transform. dt: seconds.
    void Update(float dt, GameObject* parent) override;
    // Eases `fill` to `value` over 0.2 s and sets the pulse; a bar that stops
    // pulsing shows its base colour at once.
    void EaseTo(float value, bool pulse);

    bool pulsing = false;
    float phase = 0.0f;    // radians, 0..2 pi
    float fill = 1.0f;     // shown fraction of fullWidth; not clamped
    float left;            // x of the left end
    float y;               // y of the centre line
    float fullWidth;       // width at fill 1
    float height;          // thickness
    RenderColor baseColor; // the colour at rest
    RenderColor pulseColor;
};
