// Settings -- reading and safely writing "settings.xml".
#include "core/Settings.h"

#include <cmath>
#include <cstdio>
#include <tinyxml2.h>

namespace {

float ReadVolume(const tinyxml2::XMLElement* e) {
    const char* text = e->Attribute("volume");
    float v = 0.0f;
    if (!text || std::sscanf(text, "%f", &v) != 1)
        v = 0.0f;
    // A volume outside 0..1 (or not a number) would distort or silence
    // everything; bring it back into range.
    if (!(v >= 0.0f))
        v = 0.0f;
    if (v > 1.0f)
        v = 1.0f;
    return v;
}

int32_t ReadInt(const tinyxml2::XMLElement* e, const char* name) {
    const char* text = e->Attribute(name);
    int v = 0;
    if (!text || std::sscanf(text, "%d", &v) != 1)
        v = 0;
    return v;
}

bool ReadBool(const tinyxml2::XMLElement* e, const char* name) {
    bool v = false;
    if (e->QueryBoolAttribute(name, &v) != tinyxml2::XML_SUCCESS)
        v = false;
    return v;
}

} // namespace

bool ReadSettings(const std::string& path, Settings& out) {
    tinyxml2::XMLDocument doc;
    if (doc.LoadFile(path.c_str()) != tinyxml2::XML_SUCCESS)
        return false;
    const tinyxml2::XMLElement* e = doc.FirstChildElement("settings");
    if (!e)
        return false; // some other XML file: treat it as missing
    out.volume = ReadVolume(e);
    out.muted = ReadBool(e, "muted");
    out.fullscreen = ReadBool(e, "fullscreen");
    out.width = ReadInt(e, "width");
    out.height = ReadInt(e, "height");
    out.vsync = ReadBool(e, "vsync");
    out.endlessSeed = -1;
    int64_t seed = -1;
    if (e->QueryInt64Attribute("endlessSeed", &seed) == tinyxml2::XML_SUCCESS && seed >= 0 &&
        seed <= 0xFFFFFFFFll)
        out.endlessSeed = seed;
    return true;
}

std::string FormatSettings(const Settings& s) {
    tinyxml2::XMLDocument doc;
    tinyxml2::XMLElement* e = doc.NewElement("settings");
    char volume[32];
    std::snprintf(volume, sizeof volume, "%.8g", static_cast<double>(s.volume));
    e->SetAttribute("volume", volume);
    e->SetAttribute("muted", s.muted ? 1 : 0);
    e->SetAttribute("fullscreen", s.fullscreen ? 1 : 0);
    e->SetAttribute("width", s.width);
    e->SetAttribute("height", s.height);
    if (s.endlessSeed >= 0)
        e->SetAttribute("endlessSeed", s.endlessSeed);
    if (s.vsync)
        e->SetAttribute("vsync", 1);
    doc.InsertEndChild(e);
    tinyxml2::XMLPrinter printer(nullptr, false);
    doc.Print(&printer);
    return printer.CStr();
}

bool WriteSettings(const std::string& path, const Settings& s) {
    return WriteFileAtomically(path, FormatSettings(s));
}
