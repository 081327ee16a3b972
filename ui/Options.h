// Options.h -- the toggles of the options page: full screen and sound. Each
// acts at most once per second, so a held button does not flicker.
#pragma once

void ToggleFullScreen();
// Muting stops every game sound; unmuting starts the scene's music again.
void ToggleMute();
