// UIText.h -- text as a window element: a TextSprite that windows lay out,
// highlight, click and fade out. Labels and buttons are both UIText.
#pragma once

#include "render/TextSprite.h"
#include "ui/UIElement.h"

class UIText : public TextSprite, public UIElement {
public:
    using TextSprite::TextSprite;

    // While the element fades out on its own, its own opacity wins over
    // the window's.
    void Layout(const Vec2& windowPosition, const Vec2& windowScale, float opacityIn) override {
        TextSprite::Layout(windowPosition, windowScale, fadingOut ? opacity : opacityIn);
    }
    void Draw(PostProcessor* postProcessor) override { TextSprite::Draw(postProcessor); }
    Vec2 GetSize() const override { return TextSprite::GetSize(); }
    Vec2 GetPosition() const override { return TextSprite::GetPosition(); }
};
