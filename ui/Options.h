// Options.h -- the options page every menu shows (full screen, sound on or
// off, the music and effects levels, vertical sync, the picture's scaling)
// and its toggles. The toggles act at
// most once per second, so a held button does not flicker.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

class Window;

void ToggleFullScreen();
// Muting stops every game sound; unmuting starts the scene's music again.
void ToggleMute();

// Presenting on the display's vertical blank, or paced by the clock. Where
// the driver does not offer it, the clock keeps pacing the frames; the
// choice is kept all the same, for a machine that does.
void ToggleVSync();
// "Vertical sync: Off", "Vertical sync: On", "Vertical sync: not offered".
std::string VSyncLabel();

// The finished picture shown by whole factors with a thin border
// ("Pixel-perfect") or as large as fits ("Smooth"); the window follows at
// once and the choice is kept.
void ToggleScaling();
// "Scaling: Pixel-perfect", "Scaling: Smooth".
std::string ScalingLabel();

// Steps the music or effects level by `step` tenths, within silent and
// full; `wrap` goes round from full to silent (and back) instead. What
// plays follows at once; an effects change sounds its new level.
void StepMusicVolume(int32_t step, bool wrap);
void StepEffectsVolume(int32_t step, bool wrap);
// "Music volume < 7 >", "Effects volume < 10 >".
std::string MusicVolumeLabel();
std::string EffectsVolumeLabel();

// Fills `window` with the options page and opens it at the centre; "Close
// Options" runs `close`. The volume lines step up when pressed (going round
// after full) and down and up with Left and Right.
void BuildOptionsPage(Window& window, std::function<void()> close);
