// Settings.h -- the player's options kept in "settings.xml": master volume,
// mute, full screen, the window size in pixels, vertical sync, the music and
// effects levels, and how the picture is scaled to the window.
#pragma once

#include "core/AtomicFile.h"
#include "core/Controls.h"
#include "core/ScreenScaling.h"

#include <cstdint>
#include <string>
#include <vector>

struct Settings {
    float volume = 1.0f; // master volume 0..1
    bool muted = false;  // sound off
    // The player's music and effects levels, 0..1. A file from before
    // them carries one volume: both levels take it, and the master volume
    // reads as full, so the game sounds as it did.
    float musicVolume = 1.0f;
    float effectsVolume = 1.0f;
    bool fullscreen = true; // desktop full screen
    int32_t width = 0;      // window width, pixels
    int32_t height = 0;     // window height, pixels
    // Replays an endless layout: the first level of every endless run is
    // generated from this seed (the console prints each level's seed). -1
    // (or no attribute): a fresh seed every time.
    int64_t endlessSeed = -1;
    // Presents on the display's vertical blank instead of timing frames with
    // the clock (where the driver offers it). Written only when on.
    bool vsync = false;
    // Whole factors with a border, or as large as fits. Written only when
    // pixel-perfect; a file without it (every file from before the choice)
    // reads as smooth.
    ScreenScaling scaling = ScreenScaling::Smooth;
    // The player's controls: "bind" children for the actions rebound.
    Bindings controls = DefaultBindings();
};

// Smallest window the game accepts from the file; anything smaller (a file
// that lacks the size, say) opens at the desktop size instead.
constexpr int32_t kMinWindowWidth = 320;
constexpr int32_t kMinWindowHeight = 240;
// No screen is wider or taller: a larger side in the file reads as this,
// and the window is then fitted to the desktop.
constexpr int32_t kMaxWindowSide = 16384;

// Reads the file. Returns false, leaving `out` alone, when it is missing,
// malformed or not a settings file: the caller then uses the defaults.
// A missing attribute reads as 0 (false for the switches); a window side
// is held to +-kMaxWindowSide. A file larger than kPlayerFileLimit is not
// read. `problems`, when
// given, gets one line for everything that was not as the game writes it
// and what was used instead (nothing for a missing file, which is simply a
// first start, or for the attributes older files lack).
bool ReadSettings(const std::string& path, Settings& out,
                  std::vector<std::string>* problems = nullptr);
// The file's text: one "settings" element, attributes in fixed order.
std::string FormatSettings(const Settings& settings);
// Writes the file through a temporary file renamed over the old one, so a
// crash or a full disk never leaves it half-written. False when not written
// (`error`, when given, says why).
bool WriteSettings(const std::string& path, const Settings& settings, std::string* error = nullptr);

// The window size the game opens. A size too small to play in (or none)
// becomes the desktop's; a side larger than the desktop's usable part (the
// desktop without its panels) is brought down to it, so the window can
// always be made. `change` says what was changed, empty when nothing was.
struct WindowFit {
    int32_t width = 0;
    int32_t height = 0;
    std::string change;
};
WindowFit FitWindowSize(int32_t width, int32_t height, int32_t desktopWidth, int32_t desktopHeight,
                        int32_t usableWidth, int32_t usableHeight);
