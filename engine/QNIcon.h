// QNIcon.h -- decoding one image of a Windows icon (.ico) file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Finds the size x size entry of an icon file's bytes (PNG or 32-bit BMP
// payload) and decodes it to RGBA, rows top first. False when the file is
// malformed, truncated or has no such entry.
bool QNIconDecode(const std::vector<uint8_t>& file, int size, std::vector<uint8_t>& rgba);
// Reads the file and sets the size x size entry as the window's icon.
bool QNIconLoadForWindow(const std::string& path, int size);
