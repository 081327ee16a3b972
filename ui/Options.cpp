// Options -- the options page: full screen, sound, music and effects levels,
// vertical sync.
#include "ui/Options.h"

#include "audio/Audio.h"
#include "core/Runtime.h"
#include "engine/QNSystem.h"
#include "ui/ControlsPage.h"
#include "ui/SettingsFile.h"
#include "ui/UIText.h"
#include "ui/Window.h"

#include <utility>

namespace {

std::string VolumeLabel(const char* name, float level) {
    return std::string(name) + " < " + std::to_string(Audio::VolumeToSteps(level)) + " >";
}

int32_t Stepped(float level, int32_t step, bool wrap) {
    const int32_t count = Audio::kVolumeSteps + 1;
    const int32_t to = Audio::VolumeToSteps(level) + step;
    if (wrap)
        return ((to % count) + count) % count;
    return to;
}

// A volume line: its text follows the level it changes.
void AddVolumeLine(Window& window, float offsetY, std::string (*label)(),
                   void (*step)(int32_t, bool)) {
    UIText* line = window.AddButton(label(), {0.0f, offsetY}, nullptr, true);
    const auto relabel = [line, label] {
        const std::string text = label();
        line->text.assign(text.begin(), text.end());
    };
    // Pressing steps up and goes round after full: the mouse's way.
    UIElement::Callback press = std::move(line->onPress);
    line->onPress = [press, step, relabel](UIElement* e, bool state) {
        const bool keep = press(e, state);
        if (!state) {
            step(1, true);
            relabel();
        }
        return keep;
    };
    line->onAdjust = [step, relabel](int32_t by) {
        step(by, false);
        relabel();
    };
}

} // namespace

void ToggleFullScreen() {
    Runtime& runtime = Runtime::Get();
    if (!runtime.TakeToggle())
        return;
    runtime.fullscreen = !runtime.fullscreen;
    QNToogleFullScreen(runtime.fullscreen);
}

void ToggleMute() {
    if (Runtime::Get().TakeToggle())
        Audio::SetMuted(!Audio::State().muted);
}

void ToggleVSync() {
    Runtime& runtime = Runtime::Get();
    if (!runtime.TakeToggle())
        return;
    runtime.vsync = !runtime.vsync;
    QNSysSetVSync(runtime.vsync);
}

std::string VSyncLabel() {
    if (!Runtime::Get().vsync)
        return "Vertical sync: Off";
    return QNSysIsVSync() ? "Vertical sync: On" : "Vertical sync: not offered";
}

void StepMusicVolume(int32_t step, bool wrap) {
    Audio::SetMusicVolume(Audio::StepsToVolume(Stepped(Audio::State().musicVolume, step, wrap)));
}

void StepEffectsVolume(int32_t step, bool wrap) {
    Audio::SetEffectsVolume(
        Audio::StepsToVolume(Stepped(Audio::State().effectsVolume, step, wrap)));
    // The menu's own sound is an effect: it tells the new level at once.
    Audio::State().cursorMoveSound.Play();
}

std::string MusicVolumeLabel() {
    return VolumeLabel("Music volume", Audio::State().musicVolume);
}

std::string EffectsVolumeLabel() {
    return VolumeLabel("Effects volume", Audio::State().effectsVolume);
}

void BuildOptionsPage(Window& window, std::function<void()> close) {
    window.FadeOutElements();
    window.AddText("Options", {0.0f, 87.5f}, {1.1f, 1.1f});
    window.AddButton(
        "Toggle Fullscreen", {0.0f, 57.5f}, [] { ToggleFullScreen(); }, true);
    window.AddButton(
        "Toggle Audio", {0.0f, 32.5f}, [] { ToggleMute(); }, true);
    AddVolumeLine(window, 7.5f, MusicVolumeLabel, StepMusicVolume);
    AddVolumeLine(window, -17.5f, EffectsVolumeLabel, StepEffectsVolume);
    UIText* vsync = window.AddButton(VSyncLabel(), {0.0f, -42.5f}, nullptr, true);
    UIElement::Callback press = std::move(vsync->onPress);
    vsync->onPress = [press, vsync](UIElement* e, bool state) {
        const bool keep = press(e, state);
        if (!state) {
            ToggleVSync();
            const std::string text = VSyncLabel();
            vsync->text.assign(text.begin(), text.end());
        }
        return keep;
    };
    window.AddButton(
        "Controls", {0.0f, -67.5f},
        [&window, close] {
            BuildControlsPage(window, [&window, close] { BuildOptionsPage(window, close); });
        },
        false);
    // Leaving the page keeps the choices at once (a failed write is shown).
    window.AddButton(
        "Close Options", {0.0f, -92.5f},
        [back = std::move(close)] {
            SaveSettingsFile();
            if (back)
                back();
        },
        false);
    window.Open(nullptr, {0.0f, 0.0f}, {190.0f, 235.0f}, {0.0f, 0.0f, 0.0f, 0.6f}, 1.0f, 1.0f);
}
