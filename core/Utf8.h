// Utf8.h -- UTF-8 text (dialogue files) to the 16-bit code units the text
// sprites draw. Characters beyond the basic plane become surrogate pairs;
// malformed bytes become U+FFFD, one per bad sequence, so a broken file
// still shows the rest of its line.
#pragma once

#include <string>

std::u16string DecodeUtf8(const std::string& text);
