// XmlRead.h -- attribute readers for the game's data files: the leading
// number of an attribute's text, or a default when it is absent.
#pragma once

#include <cstdint>
#include <string>

namespace tinyxml2 {
class XMLElement;
}

// The leading decimal integer of the attribute ("12abc" gives 12); `fallback`
// when the attribute is absent or does not start with a number.
int32_t ReadIntAttribute(const tinyxml2::XMLElement* element, const char* name, int32_t fallback);
// The leading decimal number of the attribute, or `fallback`.
float ReadFloatAttribute(const tinyxml2::XMLElement* element, const char* name, float fallback);
// "true"/"false" or a number (non-zero is true); `fallback` otherwise.
bool ReadBoolText(const char* text, bool fallback);
// The attribute's text, or `fallback` when absent.
std::string ReadStringAttribute(const tinyxml2::XMLElement* element, const char* name,
                                const std::string& fallback = "");
