// Window -- framed menus with keyboard, pad and mouse navigation.
#include "ui/Window.h"

#include "core/GamePad.h"
#include "core/Runtime.h"
#include "core/Tween.h"
#include "engine/QNGraphics.h"
#include "engine/QNInput.h"
#include "engine/QNKeys.h"
#include "render/FontAtlas.h"
#include "render/Resources.h"
#include "render/Sprite2D.h"
#include "ui/Options.h"
#include "ui/UIText.h"

#include <cmath>
#include <utility>

namespace {

constexpr float kEpsilon = 1.1920929e-7f;
constexpr float kHalfPi = 1.5707964f;
constexpr RenderColor kWhite{1.0f, 1.0f, 1.0f, 1.0f};
constexpr float kGreen[4] = {0.0f, 1.0f, 0.0f, 1.0f};
constexpr float kWhiteTint[4] = {1.0f, 1.0f, 1.0f, 1.0f};
constexpr float kYellow[4] = {1.0f, 1.0f, 0.0f, 1.0f};
constexpr float kRed[4] = {1.0f, 0.0f, 0.0f, 1.0f};

bool IsZero(float v) {
    return std::fabs(v) < kEpsilon * std::fmax(1.0f, std::fabs(v));
}

float Round(float v) {
    return std::round(v);
}

} // namespace

Window::Window(float x, float y, float width, float height, const RenderColor& color)
    : transform{1, 0, 0, 0, 1, 0, 0, 0, 1}, position{x, y}, size{width, height},
      mesh(Resources::GetQuadMesh(1)), background{color.r, color.g, color.b, color.a} {
    QNGfxMesh* quad = Resources::GetQuadMesh(1);
    QNGfxTexture* pipe = Resources::GetTexture("frame_pipe.png", true);
    QNGfxTexture* corner = Resources::GetTexture("frame_corner.png", true);
    for (size_t i = 0; i < 4; ++i) {
        frame[i] = std::make_unique<Sprite2D>(quad, pipe, 1.0f, 3.0f, kWhite);
        // The pipe image lies horizontally; the side edges stand it up.
        if (i == 0 || i == 2)
            frame[i]->SetRotation(-kHalfPi);
    }
    // One corner image, mirrored by the sign of the size into the others.
    const Vec2 cornerSizes[4] = {
        {16.0f, 16.0f}, {-16.0f, 16.0f}, {-16.0f, -16.0f}, {16.0f, -16.0f}};
    for (size_t i = 0; i < 4; ++i)
        frame[4 + i] =
            std::make_unique<Sprite2D>(quad, corner, cornerSizes[i].x, cornerSizes[i].y, kWhite);
}

Window::~Window() {
    RemoveVec2Tweens(&position.x);
    RemoveVec2Tweens(&size.x);
    RemoveColorTweens(background);
    RemoveVec2Tweens(&contentScale.x);
    RemoveFloatTweens(&contentOpacity);
    for (UIElement* e : elements)
        delete e;
}

void Window::Open(std::function<void()> onOpened, const Vec2& toPosition, const Vec2& toSize,
                  const RenderColor& toBackground, float scale, float toOpacity) {
    contentOpacity = 0.0f;
    busy = true;
    // A window on its way shut shows nothing and takes nothing, all the way:
    // its buttons still have a size while it shrinks.
    closing = IsZero(toOpacity);
    RemoveVec2Tweens(&position.x);
    RemoveVec2Tweens(&size.x);
    RemoveColorTweens(background);
    RemoveVec2Tweens(&contentScale.x);
    RemoveFloatTweens(&contentOpacity);
    AddVec2Tween(
        &position.x, toPosition.x, toPosition.y, 2, [this] { busy = false; }, 0.8f);
    AddVec2Tween(&size.x, toSize.x, toSize.y, 2, nullptr, 0.8f);
    const float color[4] = {toBackground.r, toBackground.g, toBackground.b, toBackground.a};
    AddColorTween(background, color, 2, nullptr, 1.2f);
    AddVec2Tween(&contentScale.x, scale, scale, 2, std::move(onOpened), 1.4f);
    AddFloatTween(&contentOpacity, toOpacity, 2, nullptr, 1.4f);
}

void Window::AddElement(UIElement* element) {
    elements.push_back(element);
}

UIText* Window::AddText(const std::string& text, const Vec2& offset, const Vec2& scaleOffset) {
    auto* sprite = new UIText(FontAtlas::Shared(), text);
    sprite->SetOffset(offset);
    sprite->SetScale(scaleOffset);
    AddElement(sprite);
    return sprite;
}

UIText* Window::AddButton(const std::string& text, const Vec2& offset, std::function<void()> action,
                          bool kept) {
    UIText* sprite = AddText(text, offset);
    sprite->onSelect = [sprite](UIElement*, bool state) { return HighlightText(sprite, state); };
    sprite->onPress = [sprite, kept, act = std::move(action)](UIElement*, bool state) {
        PressFeedbackText(sprite, state);
        if (!state && act)
            act();
        return kept || state;
    };
    return sprite;
}

void Window::FadeOutElements() {
    pageUpdate = nullptr;
    ++pageCount;
    for (UIElement* e : elements) {
        if (!e->fadingOut)
            e->FadeOut();
    }
}

UIText* Window::FindText(const std::string& text) const {
    const std::u16string wanted(text.begin(), text.end());
    for (UIElement* e : elements) {
        auto* sprite = dynamic_cast<UIText*>(e);
        if (sprite && !sprite->fadingOut && sprite->text == wanted)
            return sprite;
    }
    return nullptr;
}

void Window::ShowOptionsPage(std::function<void()> close) {
    BuildOptionsPage(*this, std::move(close));
}

bool Window::Showing() const {
    return !IsZero(contentOpacity);
}

bool Window::HasBackground() const {
    return !IsZero(background[3]);
}

// ---------------------------------------------------------------------------
// Update
// ---------------------------------------------------------------------------
void Window::Update(float dt) {
    GameObject::BuildTransform(transform, size, 0.0f, position);
    PlaceFrame(dt);
    const bool listening = !busy && !closing;
    if (listening && HasBackground())
        Navigate();

    const bool button = QNInputCheckCurr(QN_VK_LBUTTON) != 0;
    const Vec2 cursor = Runtime::Get().CursorToUI();
    // Lines close together have overlapping hit boxes: only the one whose
    // middle is nearest the pointer is under it, so one click presses one.
    int32_t under = busy ? -1 : ElementUnder(cursor);
    size_t i = 0;
    while (i < elements.size()) {
        UIElement* e = elements[i];
        e->Layout(position, contentScale, e->fadingOut ? e->opacity : contentOpacity);
        if (listening)
            MouseTest(i, static_cast<int32_t>(i) == under, button);
        // A callback above may have added elements but never removes any.
        e = elements[i];
        if (e->fadingOut && e->opacity <= 0.0f) {
            elements.erase(elements.begin() + static_cast<std::ptrdiff_t>(i));
            delete e;
            // The highlight goes with the element; one further down the list
            // keeps it, one place up.
            const auto index = static_cast<int32_t>(i);
            if (under > index)
                --under;
            if (selectedIndex == index)
                selectedIndex = -1;
            else if (selectedIndex > index)
                --selectedIndex;
            continue;
        }
        ++i;
    }
    if (pageUpdate) {
        // Taken out while it runs: it may change the page (and drop itself).
        std::function<void(float)> running = std::move(pageUpdate);
        const uint32_t page = pageCount;
        running(dt);
        if (!pageUpdate && pageCount == page)
            pageUpdate = std::move(running);
    }
}

void Window::PlaceFrame(float dt) {
    const float x = position.x, y = position.y;
    const float hx = size.x / 2.0f, hy = size.y / 2.0f;
    const float w = size.x, h = size.y;
    frame[0]->SetPosition(Round(x - hx), Round(y));
    frame[0]->SetScale(h - 12.0f, 3.0f);
    frame[1]->SetPosition(Round(x), Round(y + hy) + 2.0f);
    frame[1]->SetScale(w - 12.0f, 3.0f);
    frame[2]->SetPosition(Round(x + hx) + 2.0f, Round(y));
    frame[2]->SetScale(h - 12.0f, 3.0f);
    frame[3]->SetPosition(Round(x), Round(y - hy));
    frame[3]->SetScale(w - 12.0f, 3.0f);
    frame[4]->SetPosition(Round(x - hx) - 1.0f, Round(y + hy) + 1.0f);
    frame[5]->SetPosition(Round(x + hx) + 1.0f, Round(y + hy) + 1.0f);
    frame[6]->SetPosition(Round(x + hx) + 1.0f, Round(y - hy) - 1.0f);
    frame[7]->SetPosition(Round(x - hx) - 1.0f, Round(y - hy) - 1.0f);
    for (auto& piece : frame) {
        piece->tint[3] = contentScale.x; // the frame fades in as the content grows
        piece->Update(dt, nullptr);
    }
}

bool Window::Reachable(int32_t i) const {
    const UIElement* e = elements[static_cast<size_t>(i)];
    return e->IsInteractive() && !e->fadingOut;
}

int32_t Window::FindInteractive(int32_t from, int32_t step) const {
    const auto count = static_cast<int32_t>(elements.size());
    int32_t i = from;
    for (int32_t visited = 0; visited < count; ++visited) {
        i = ((i + step) % count + count) % count;
        if (Reachable(i))
            return i;
    }
    return from;
}

void Window::Navigate() {
    const bool up = Runtime::Get().Triggered(Action::MenuUp);
    const bool down = Runtime::Get().Triggered(Action::MenuDown);
    const bool confirm = Runtime::Get().Held(Action::MenuConfirm);
    if (elements.empty())
        return;

    if (selectedIndex < 0 || selectedIndex >= static_cast<int32_t>(elements.size())) {
        selectedIndex = -1;
        if (up == down)
            return;
        const auto count = static_cast<int32_t>(elements.size());
        // Down starts from the top, up from the bottom.
        for (int32_t k = 0; k < count; ++k) {
            const int32_t i = down ? k : count - 1 - k;
            if (Reachable(i)) {
                selectedIndex = i;
                elements[static_cast<size_t>(i)]->SetSelected(true, true);
                return;
            }
        }
        return;
    }

    // Enter or A presses the highlighted element and releases only what they
    // pressed: a click in progress belongs to the mouse.
    UIElement* current = elements[static_cast<size_t>(selectedIndex)];
    if (confirm && !current->pressed) {
        keysPressing = true;
        current->SetPressed(true);
    } else if (!confirm && current->pressed && keysPressing) {
        keysPressing = false;
        current->SetPressed(false);
    }
    // Left and right change the value the highlighted element shows.
    const bool left = Runtime::Get().IsTriggered(PAD_LEFT, QN_VK_LEFT);
    const bool right = Runtime::Get().IsTriggered(PAD_RIGHT, QN_VK_RIGHT);
    if (left != right && selectedIndex >= 0 &&
        selectedIndex < static_cast<int32_t>(elements.size())) {
        UIElement* shown = elements[static_cast<size_t>(selectedIndex)];
        if (shown->onAdjust && !shown->fadingOut)
            shown->onAdjust(right ? 1 : -1);
    }
    if (up == down)
        return;
    // The press may have changed the page; the highlight moves on from where
    // it was. Moving away with the key still held cancels that press.
    const int32_t from = selectedIndex;
    const int32_t to = FindInteractive(from, down ? 1 : -1);
    if (keysPressing)
        elements[static_cast<size_t>(from)]->pressed = false;
    elements[static_cast<size_t>(from)]->Deselect();
    selectedIndex = to;
    elements[static_cast<size_t>(to)]->SetSelected(true, true);
}

bool Window::HitBy(size_t i, const Vec2& cursor, float* distance) const {
    const UIElement* e = elements[i];
    if (!e->IsInteractive() || e->fadingOut)
        return false;
    const Vec2 extent = e->GetSize();
    if (IsZero(extent.x) && IsZero(extent.y))
        return false; // a closed window's content has no size
    const Vec2 at = e->GetPosition();
    const float dx = std::fabs(at.x - cursor.x), dy = std::fabs(at.y - cursor.y);
    if (distance)
        *distance = dy + dx * 1e-3f;
    return dx < std::fabs(extent.x) && dy < std::fabs(extent.y);
}

int32_t Window::ElementUnder(const Vec2& cursor) const {
    int32_t best = -1;
    float nearest = 0.0f;
    for (size_t i = 0; i < elements.size(); ++i) {
        float distance = 0.0f;
        if (HitBy(i, cursor, &distance) && (best < 0 || distance < nearest)) {
            best = static_cast<int32_t>(i);
            nearest = distance;
        }
    }
    return best;
}

void Window::MouseTest(size_t i, bool hit, bool button) {
    UIElement* e = elements[i];
    if (!e->IsInteractive() || e->fadingOut)
        return;
    const Vec2 extent = e->GetSize();
    if (IsZero(extent.x) && IsZero(extent.y))
        return; // a closed window's content has no size
    if (hit) {
        // A press held on the keys belongs to the keys: a resting pointer
        // must not release it early.
        if (e->pressed != button && !keysPressing)
            e->SetPressed(button);
        if (!e->selected) {
            if (selectedIndex >= 0 && selectedIndex < static_cast<int32_t>(elements.size()) &&
                selectedIndex != static_cast<int32_t>(i))
                elements[static_cast<size_t>(selectedIndex)]->SetSelected(false, false);
            e->SetSelected(true, false);
            selectedIndex = static_cast<int32_t>(i);
        }
        return;
    }
    if (e->pressed && !e->stickySelection && !keysPressing)
        e->SetPressed(false);
    if (e->selected && !e->stickySelection) {
        e->SetSelected(false, false);
        if (selectedIndex == static_cast<int32_t>(i))
            selectedIndex = -1;
    }
}

// ---------------------------------------------------------------------------
// Draw
// ---------------------------------------------------------------------------
void Window::Draw(PostProcessor* postProcessor) {
    QNGfxSetRenderMode(QN_RENDER_COLOR);
    QNGfxSetTransform(transform);
    QNGfxSetTintColor(background[0], background[1], background[2], background[3]);
    QNGfxMeshDraw(mesh, 3);
    QNGfxSetRenderMode(QN_RENDER_TEXTURE);
    for (auto& piece : frame)
        piece->Draw();
    for (UIElement* e : elements)
        e->Draw(postProcessor);
}

// ---------------------------------------------------------------------------
// Standard button feedback
// ---------------------------------------------------------------------------
bool HighlightText(UIText* text, bool selected) {
    RemoveColorTweens(text->color);
    RemoveVec2Tweens(&text->scaleOffset.x);
    AddColorTween(text->color, selected ? kGreen : kWhiteTint, 2, nullptr, 0.2f);
    const float grow = selected ? 0.2f : 0.0f;
    AddVec2Tween(&text->scaleOffset.x, grow, grow, 2, nullptr, 0.2f);
    return true;
}

void PressFeedbackText(UIText* text, bool pressed) {
    RemoveColorTweens(text->color);
    AddColorTween(text->color, pressed ? kYellow : kRed, 2, nullptr, 0.2f);
}
