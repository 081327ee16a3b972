// Options -- the options page: full screen, sound, music and effects levels,
// vertical sync, the picture's scaling.
#include "ui/Options.h"

#include "audio/Audio.h"
#include "core/Runtime.h"
#include "engine/QNSystem.h"
#include "ui/ControlsPage.h"
#include "ui/Layout.h"
#include "ui/SettingsFile.h"
#include "ui/UIText.h"
#include "ui/Window.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>

namespace {

std::string VolumeLabel(const char* name, float level) {
    return std::string(name) + " < " + std::to_string(Audio::VolumeToSteps(level)) + " >";
}

int32_t Stepped(float level, int32_t step) {
    return std::clamp(Audio::VolumeToSteps(level) + step, 0, Audio::kVolumeSteps);
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

// A volume line: its text follows the level it changes. A click on its left
// half (the "<") steps down, on its right half (the ">") up; Enter or the
// pad's A step up; Left and Right step down and up. Silent and full are the
// ends.
void AddVolumeLine(Window& window, float offsetY, std::string (*label)(), void (*step)(int32_t)) {
    auto line = std::make_shared<UIText*>(nullptr);
    *line = AddLabelledButton(window, offsetY, label, [line, step] {
        step(VolumeClickStep(**line, Runtime::Get().CursorToUI()));
    });
    (*line)->onAdjust = [line, label, step](int32_t by) {
        step(by);
        Relabel(*line, label);
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

std::string FullScreenLabel() {
    return Runtime::Get().fullscreen ? "Fullscreen: On" : "Fullscreen: Off";
}

std::string AudioLabel() {
    return Audio::State().muted ? "Audio: Off" : "Audio: On";
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

int32_t VolumeClickStep(const UIText& line, const Vec2& cursor) {
    const Vec2 at = line.GetPosition();
    const Vec2 extent = line.GetSize();
    const bool onLine = std::fabs(at.x - cursor.x) < std::fabs(extent.x) &&
                        std::fabs(at.y - cursor.y) < std::fabs(extent.y);
    // Enter and the pad's A press the line where the pointer is not.
    if (!onLine)
        return 1;
    // The number between "<" and ">" divides the line: left of its middle
    // lowers, right of it raises.
    const std::string text(line.text.begin(), line.text.end());
    const size_t open = text.rfind('<');
    const size_t close = text.rfind('>');
    float divide = at.x;
    if (open != std::string::npos && close != std::string::npos && open < close) {
        const float whole = TextAdvance(text);
        const float middle =
            (TextAdvance(text.substr(0, open + 1)) + TextAdvance(text.substr(0, close))) / 2.0f;
        if (whole > 0.0f)
            divide = at.x - line.width / 2.0f + line.width * middle / whole;
    }
    return cursor.x < divide ? -1 : 1;
}

void StepMusicVolume(int32_t step) {
    Audio::SetMusicVolume(Audio::StepsToVolume(Stepped(Audio::State().musicVolume, step)));
}

void StepEffectsVolume(int32_t step) {
    Audio::SetEffectsVolume(Audio::StepsToVolume(Stepped(Audio::State().effectsVolume, step)));
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
    window.AddText("Options", {0.0f, 103.0f}, {kTitleGrow, kTitleGrow});
    AddLabelledButton(window, 72.5f, FullScreenLabel, ToggleFullScreen);
    AddLabelledButton(window, 48.5f, AudioLabel, ToggleMute);
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
    window.Open(nullptr, {0.0f, 0.0f}, {190.0f, 270.0f}, {0.0f, 0.0f, 0.0f, kWindowShade}, 1.0f,
                1.0f);
}
