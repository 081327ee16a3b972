// SettingsFile.h -- the player's options between runs: "settings.xml" read
// into the modules that hold them (sound, screen, endless seed) and written
// back from them, where the game keeps its files (core/UserFiles.h).
#pragma once

// Reads the file; without one (or with an unusable size) the game opens full
// screen at the desktop's size. Before the window opens: the size read is
// the window's, in pixels.
void LoadSettingsFile();
// Writes the file from the current options; the window's size is twice the
// render half-size. A failed write is reported on the console and the
// screen; false then.
bool SaveSettingsFile();
