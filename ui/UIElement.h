// UIElement.h -- what a window holds: something it lays out every frame,
// draws, measures for the mouse and can highlight or press. An element with
// neither callback is not interactive; one with callbacks is a button.
#pragma once

#include "core/Vec2.h"

#include <cstdint>
#include <functional>

class PostProcessor;

class UIElement {
public:
    // Called with the element and its new highlight or pressed state;
    // returning false drops the callback after this call.
    using Callback = std::function<bool(UIElement*, bool)>;

    UIElement() = default;
    // Drops any tween still fading `opacity`.
    virtual ~UIElement();
    UIElement(const UIElement&) = delete;
    UIElement& operator=(const UIElement&) = delete;

    // Places the element for this frame: windowPosition and windowScale are
    // the window's centre and content scale, opacity its content opacity.
    virtual void Layout(const Vec2& windowPosition, const Vec2& windowScale, float opacity) = 0;
    virtual void Draw(PostProcessor* postProcessor) = 0;
    // The mouse hit box reaches |size| on each side of GetPosition (UI units).
    virtual Vec2 GetSize() const = 0;
    virtual Vec2 GetPosition() const = 0;

    // Highlights or clears the highlight, only on a button with onSelect;
    // a new highlight plays the cursor sound. sticky: the highlight came
    // from the keyboard or pad and survives the mouse leaving.
    void SetSelected(bool state, bool sticky);
    // Clears the highlight without a sound, whatever callbacks exist.
    void Deselect();
    // Presses (true) or releases (false); the button acts on release. The
    // select sound plays either way, unless it is still sounding.
    void SetPressed(bool state);
    // Fades the element out over 0.3 s; its window deletes it once gone.
    void FadeOut();
    // Has a callback, so navigation and the mouse can reach it.
    bool IsInteractive() const { return onSelect || onPress; }

    bool selected = false;        // carries the highlight
    bool stickySelection = false; // the highlight came from keys or the pad
    bool pressed = false;         // the confirm input is held on this element
    // Callbacks return false to be dropped after the call.
    Callback onSelect;
    Callback onPress;
    // A value the element shows (a volume): Left and Right on the
    // highlighted element step it by -1 or +1. Empty for plain buttons.
    std::function<void(int32_t step)> onAdjust;
    float opacity = 1.0f; // own opacity, used instead of the window's while fading out
    bool fadingOut = false;
};
