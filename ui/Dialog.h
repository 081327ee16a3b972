// Dialog.h -- one line of a conversation: its text in a speech box of three
// stretchable pieces that slides in beside the speaker's portrait, moves up
// when the next line comes and leaves fading upwards. Lines are taken from
// and given back to one program-wide pool, so conversations recycle them.
#pragma once

#include "render/TextSprite.h"

#include <cstdint>
#include <memory>
#include <string>

class Sprite2D;

class Dialog : public TextSprite {
public:
    static constexpr float kBoxWidth = 160.0f; // UI units
    static constexpr float kCapHeight = 14.0f; // the top and bottom pieces
    enum Side : int32_t { Right = 0, Left = 1 };
    enum ShowMode : int32_t { Appear = 0, MoveUp = 1, Leave = 2 };

    Dialog();
    // Drops the tweens still animating the line.
    ~Dialog() override;

    // The most rows a box shows, and the most characters of a line read
    // (more than kMaxRows rows of the narrowest glyphs hold).
    static constexpr size_t kMaxRows = 8;
    static constexpr size_t kMaxCodes = 1024;

    // Sets the line's text and side, wraps it to the box and measures the
    // box's height (the wrapped height + 16, never below 0). A line longer
    // than the box shows is cut after kMaxRows rows: true when it was.
    bool SetLine(const std::u16string& line, int32_t lineSide);
    // Appear: slides in from further out and below towards the box whose
    // inner bottom corner is (x, y), growing and fading in. MoveUp: to the
    // box on (x, y), half faded. Leave: 20 units up while fading out.
    void Show(int32_t mode, float x, float y);
    // Places the text and the three box pieces; false once the line is gone
    // (text opacity 0.0001 or less).
    bool Update();
    // The box pieces, then the text.
    void DrawLine(PostProcessor* postProcessor);
    // Stops every tween of the line (it is reused or deleted).
    void StopTweens();
    float Opacity() const { return color[3]; }

    Vec2 boxPosition{0.0f, 0.0f}; // centre of the box, UI units
    Vec2 boxScale{0.0f, 0.0f};    // the text's scale, 0 to 1 as it comes in
    float boxHeight = 0.0f;       // the middle piece's current height
    std::unique_ptr<Sprite2D> boxTop, boxMiddle, boxBottom;
    float targetHeight = 0.0f; // the middle piece's height once in
    int32_t side = Right;
};

namespace DialogPool {

// An idle line, or a new one.
Dialog* Take();
// The pool owns the line again.
void Give(Dialog* line);
// Deletes every idle line (needs the OpenGL context).
void Clear();
size_t IdleCount();

} // namespace DialogPool
