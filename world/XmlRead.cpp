// XmlRead -- attribute readers shared by the level, map and save files.
#include "world/XmlRead.h"

#include <tinyxml2.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

int32_t ReadIntAttribute(const tinyxml2::XMLElement* element, const char* name, int32_t fallback) {
    const char* text = element ? element->Attribute(name) : nullptr;
    if (!text)
        return fallback;
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (end == text)
        return fallback;
    if (errno == ERANGE || value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(value);
}

float ReadFloatAttribute(const tinyxml2::XMLElement* element, const char* name, float fallback) {
    const char* text = element ? element->Attribute(name) : nullptr;
    if (!text)
        return fallback;
    char* end = nullptr;
    const float value = std::strtof(text, &end);
    return end == text ? fallback : value;
}

bool ReadBoolText(const char* text, bool fallback) {
    if (!text)
        return fallback;
    bool value = fallback;
    return tinyxml2::XMLUtil::ToBool(text, &value) ? value : fallback;
}

std::string ReadStringAttribute(const tinyxml2::XMLElement* element, const char* name,
                                const std::string& fallback) {
    const char* text = element ? element->Attribute(name) : nullptr;
    return text ? std::string(text) : fallback;
}
