// Options -- full screen and sound toggles.
#include "ui/Options.h"

#include "audio/Audio.h"
#include "core/Runtime.h"
#include "engine/QNSystem.h"

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
