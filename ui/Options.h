// Options.h -- the options page every menu shows (full screen, sound on or
// off, the music and effects levels, vertical sync, the picture's scaling)
// and its toggles. The toggles act at
// most once per second, so a held button does not flicker.
#pragma once

#include "core/Vec2.h"

#include <cstdint>
#include <functional>
#include <string>

class UIText;
class Window;

void ToggleFullScreen();
// Muting stops every game sound; unmuting starts the scene's music again.
void ToggleMute();
// "Fullscreen: On", "Fullscreen: Off"; "Audio: On", "Audio: Off".
std::string FullScreenLabel();
std::string AudioLabel();

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

// Steps the music or effects level by `step` tenths, stopping at silent and
// full. What plays follows at once; an effects change sounds its new level.
void StepMusicVolume(int32_t step);
void StepEffectsVolume(int32_t step);
// The step a press on a volume line asks for: -1 with the pointer on the
// line's left half (its "<"), +1 on its right half (its ">") or when the
// pointer is not on the line at all (Enter, the pad's A). UI units.
int32_t VolumeClickStep(const UIText& line, const Vec2& cursor);
// "Music volume < 7 >", "Effects volume < 10 >".
std::string MusicVolumeLabel();
std::string EffectsVolumeLabel();

// Fills `window` with the options page and opens it at the centre; "Close
// Options" runs `close`. The toggles say whether they are on; the volume
// lines step down on their "<" and up on their ">", and down and up with
// Left and Right.
void BuildOptionsPage(Window& window, std::function<void()> close);
