// Window.h -- a framed, coloured rectangle that animates open and lets the
// player move a highlight through its elements with the keyboard, the game
// pad or the mouse. Every menu of the game is one.
//
// Coordinates are UI units: origin at the screen centre, y up, one unit per
// render pixel. A window is closed by opening it to a small, transparent
// state; while it animates it is `busy` and ignores input.
#pragma once

#include "core/Vec2.h"
#include "render/RenderColor.h"
#include "ui/UIElement.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class PostProcessor;
class Sprite2D;
class UIText;
struct QNGfxMesh;

class Window {
public:
    Window(float x, float y, float width, float height, const RenderColor& background);
    // Deletes the frame and every element, and drops the tweens still
    // animating the window.
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Animates to a new place, size, colour, content scale and opacity (also
    // to close). Input resumes after 0.8 s; onOpened (may be empty) runs when
    // the content has grown, after 1.4 s.
    void Open(std::function<void()> onOpened, const Vec2& toPosition, const Vec2& toSize,
              const RenderColor& toBackground, float scale, float toOpacity);
    // The window owns the element from now on.
    void AddElement(UIElement* element);
    // Frame, keyboard and pad navigation, layout and the mouse. dt: seconds.
    void Update(float dt);
    // Background, frame, then the elements, into the selected attachment.
    void Draw(PostProcessor* postProcessor);

    // A line of text at `offset` from the centre; not interactive.
    UIText* AddText(const std::string& text, const Vec2& offset,
                    const Vec2& scaleOffset = {0.0f, 0.0f});
    // A text button with the standard highlight and press feedback; `action`
    // runs on release. A button that is not `kept` is dropped by its own
    // release, so it cannot fire twice while the window changes page.
    UIText* AddButton(const std::string& text, const Vec2& offset, std::function<void()> action,
                      bool kept);
    // Every element still shown starts fading out (a page is replaced).
    void FadeOutElements();
    // The options page, the same in every menu (ui/Options.h): "Close
    // Options" runs `close`.
    void ShowOptionsPage(std::function<void()> close);
    // The text line showing `text` that is not fading out, or null.
    UIText* FindText(const std::string& text) const;
    // Its content is visible or still fading (content opacity not zero): a
    // paused level stays paused meanwhile.
    bool Showing() const;
    // The background is not fully transparent, so the keys navigate.
    bool HasBackground() const;

    float transform[9];               // scale by size, then translate by position
    Vec2 position;                    // centre, UI units
    Vec2 size;                        // width and height, UI units
    Vec2 contentScale{0.0f, 0.0f};    // added to every element's own scale
    float contentOpacity = 0.0f;      // handed to the elements
    QNGfxMesh* mesh;                  // the shared unit quad
    float background[4];              // RGBA of the filled rectangle
    std::vector<UIElement*> elements; // owned; drawn and navigated in order
    int32_t selectedIndex = -1;       // -1: nothing highlighted
    bool busy = false;                // animating: input is ignored
    bool closing = false;             // shut or shutting: input is ignored
    bool keysPressing = false;        // Enter or A holds the highlighted element down
    // Runs every frame after the elements while the page that set it shows
    // (a page replaced by FadeOutElements drops it). dt: seconds.
    std::function<void(float)> pageUpdate;
    uint32_t pageCount = 0; // pages replaced so far (FadeOutElements)
    // Left, top, right, bottom edge, then the top-left, top-right,
    // bottom-right and bottom-left corner.
    std::array<std::unique_ptr<Sprite2D>, 8> frame;

protected:
    void Navigate();
    void PlaceFrame(float dt);
    // Highlight and press for element i, `hit` when it is the one under the
    // pointer.
    void MouseTest(size_t i, bool hit, bool button);
    // Element i is interactive and its hit box holds `cursor` (UI units);
    // `distance` gets how far its middle is, mostly up or down.
    bool HitBy(size_t i, const Vec2& cursor, float* distance) const;
    // The interactive element under `cursor` whose middle is nearest, or -1.
    int32_t ElementUnder(const Vec2& cursor) const;
    // The next interactive element from `from` in steps of `step` (+1 or
    // -1), wrapping; `from` itself when no other qualifies.
    int32_t FindInteractive(int32_t from, int32_t step) const;
    bool Reachable(int32_t i) const;
};

// How opaque the windows over a room are: their text reads over any room.
constexpr float kWindowShade = 0.92f;
// A window's title: larger than its lines, still well inside its frame.
constexpr float kTitleGrow = 0.5f;

// The standard highlight of a text button: green and larger while
// highlighted, white and normal otherwise. Stays installed.
bool HighlightText(UIText* text, bool selected);
// The standard press feedback: yellow while held, red once released.
void PressFeedbackText(UIText* text, bool pressed);
