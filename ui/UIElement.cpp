// UIElement -- base of the things a window holds: highlight, press and the
// fade that removes an element from its window.
#include "ui/UIElement.h"

#include "audio/Audio.h"
#include "core/Tween.h"

#include <utility>

namespace {

// Runs a callback that may be dropped by its own answer. The callable is
// taken out while it runs, so it may safely install a new one meanwhile.
void Invoke(UIElement::Callback& slot, UIElement* element, bool state) {
    if (!slot)
        return;
    UIElement::Callback running = std::move(slot);
    slot = nullptr;
    const bool keep = running(element, state);
    if (keep && !slot)
        slot = std::move(running);
}

// Plays a menu sound unless it is still sounding from the last time.
void PlayOnce(Sound& sound) {
    if (!sound.IsPlaying())
        sound.Play();
}

} // namespace

UIElement::~UIElement() {
    RemoveFloatTweens(&opacity);
}

void UIElement::SetSelected(bool state, bool sticky) {
    if (!onSelect)
        return;
    if (state)
        PlayOnce(Audio::State().cursorMoveSound);
    selected = state;
    stickySelection = sticky;
    Invoke(onSelect, this, state);
}

void UIElement::Deselect() {
    selected = false;
    stickySelection = false;
    Invoke(onSelect, this, false);
}

void UIElement::SetPressed(bool state) {
    if (onPress) {
        pressed = state;
        Invoke(onPress, this, state);
    }
    PlayOnce(Audio::State().cursorSelectSound);
}

void UIElement::FadeOut() {
    AddFloatTween(&opacity, -0.01f, 2, nullptr, 0.3f);
    fadingOut = true;
}
