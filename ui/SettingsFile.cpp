// SettingsFile -- "settings.xml" to and from the options.
#include "ui/SettingsFile.h"

#include "audio/Audio.h"
#include "core/Runtime.h"
#include "core/Settings.h"
#include "core/UserFiles.h"
#include "engine/QNSystem.h"
#include "world/EndlessRun.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {
constexpr const char* kSettingsFile = "settings.xml";
} // namespace

void LoadSettingsFile() {
    Settings s;
    int32_t desktopW = 0, desktopH = 0, usableW = 0, usableH = 0;
    QNSysGetDesktopSize(&desktopW, &desktopH);
    QNSysGetUsableDesktopSize(&usableW, &usableH);
    const std::string path = UserFiles::Path(kSettingsFile);
    std::vector<std::string> problems;
    const bool read = ReadSettings(path, s, &problems);
    // The file is written back at the end of the run: say what was not
    // taken from it before that happens.
    for (const std::string& problem : problems)
        std::fprintf(stderr, "SETTINGS: %s: %s\n", path.c_str(), problem.c_str());
    if (!read) {
        s = Settings{};
        s.width = desktopW;
        s.height = desktopH;
    } else {
        // A size no window can have would stop every start: the file gets
        // the size the window opens at, now, not only at the end of the run.
        const WindowFit fit =
            FitWindowSize(s.width, s.height, desktopW, desktopH, usableW, usableH);
        if (!fit.change.empty()) {
            std::fprintf(stderr, "SETTINGS: %s: %s\n", path.c_str(), fit.change.c_str());
            s.width = fit.width;
            s.height = fit.height;
            std::string error;
            if (!WriteSettings(path, s, &error))
                UserFiles::ReportWriteFailure("the settings", error);
        }
    }
    Audio::State().volume = s.volume;
    Audio::SetMusicVolume(s.musicVolume);
    Audio::SetEffectsVolume(s.effectsVolume);
    Audio::State().muted = s.muted;
    Runtime& runtime = Runtime::Get();
    runtime.fullscreen = s.fullscreen;
    runtime.windowWidth = s.width;
    runtime.windowHeight = s.height;
    runtime.scaling = s.scaling;
    runtime.vsync = s.vsync;
    Controls::Current().bindings = s.controls;
    EndlessRun::Current().seed = s.endlessSeed >= 0
                                     ? std::optional<uint32_t>(static_cast<uint32_t>(s.endlessSeed))
                                     : std::nullopt;
}

bool SaveSettingsFile() {
    const Runtime& runtime = Runtime::Get();
    const Audio::AudioState& audio = Audio::State();
    Settings s;
    s.volume = audio.volume;
    s.musicVolume = audio.musicVolume;
    s.effectsVolume = audio.effectsVolume;
    s.muted = audio.muted;
    s.fullscreen = runtime.fullscreen;
    s.width = runtime.windowWidth;
    s.height = runtime.windowHeight;
    s.scaling = runtime.scaling;
    s.vsync = runtime.vsync;
    s.controls = Controls::Current().bindings;
    if (EndlessRun::Current().seed)
        s.endlessSeed = *EndlessRun::Current().seed;
    std::string error;
    if (WriteSettings(UserFiles::Path(kSettingsFile), s, &error))
        return true;
    UserFiles::ReportWriteFailure("the settings", error);
    return false;
}
