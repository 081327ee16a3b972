// Options -- the options page: full screen, sound, music and effects levels,
// vertical sync, the picture's scaling.
#include "ui/Options.h"

#include "audio/Audio.h"
#include "core/Runtime.h"
#include "engine/QNSystem.h"
#include "ui/ControlsPage.h"
#include "ui/SettingsFile.h"
#include "ui/UIText.h"
#include "ui/Window.h"

#include <memory>
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

// Shows `label()` on the line again.
void Relabel(UIText* line, std::string (*label)()) {
    const std::string text = label();
    line->text.assign(text.begin(), text.end());
}

// A button showing `label()`: on release `act` runs, then the text follows.
UIText* AddLabelledButton(Window& window, float offsetY, std::string (*label)(),
                          std::function<void()> act) {
    auto line = std::make_shared<UIText*>(nullptr);
    *line = window.AddButton(
        label(), {0.0f, offsetY},
        [line, label, act = std::move(act)] {
            act();
            Relabel(*line, label);
        },
        true);
    return *line;
}

// A volume line: its text follows the level it changes. Pressing steps up
// and goes round after full (the mouse's way); Left and Right step down and
// up.
void AddVolumeLine(Window& window, float offsetY, std::string (*label)(),
                   void (*step)(int32_t, bool)) {
    UIText* line = AddLabelledButton(window, offsetY, label, [step] { step(1, true); });
    line->onAdjust = [line, label, step](int32_t by) {
        step(by, false);
        Relabel(line, label);
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

void ToggleScaling() {
    Runtime& runtime = Runtime::Get();
    if (!runtime.TakeToggle())
        return;
    runtime.scaling = runtime.scaling == ScreenScaling::Smooth ? ScreenScaling::PixelPerfect
                                                               : ScreenScaling::Smooth;
}

std::string ScalingLabel() {
    return std::string("Scaling: ") + ScalingName(Runtime::Get().scaling);
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
    window.AddText("Options", {0.0f, 105.0f}, {1.1f, 1.1f});
    window.AddButton(
        "Toggle Fullscreen", {0.0f, 72.5f}, [] { ToggleFullScreen(); }, true);
    window.AddButton(
        "Toggle Audio", {0.0f, 48.5f}, [] { ToggleMute(); }, true);
    AddVolumeLine(window, 24.5f, MusicVolumeLabel, StepMusicVolume);
    AddVolumeLine(window, 0.5f, EffectsVolumeLabel, StepEffectsVolume);
    AddLabelledButton(window, -23.5f, VSyncLabel, ToggleVSync);
    AddLabelledButton(window, -47.5f, ScalingLabel, ToggleScaling);
    window.AddButton(
        "Controls", {0.0f, -71.5f},
        [&window, close] {
            BuildControlsPage(window, [&window, close] { BuildOptionsPage(window, close); });
        },
        false);
    // Leaving the page keeps the choices at once (a failed write is shown).
    window.AddButton(
        "Close Options", {0.0f, -95.5f},
        [back = std::move(close)] {
            SaveSettingsFile();
            if (back)
                back();
        },
        false);
    window.Open(nullptr, {0.0f, 0.0f}, {190.0f, 270.0f}, {0.0f, 0.0f, 0.0f, 0.6f}, 1.0f, 1.0f);
}
