// Settings -- reading and safely writing "settings.xml".
#include "core/Settings.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <tinyxml2.h>

namespace {

// A volume attribute, `missing` when absent or not a number.
float ReadVolume(const tinyxml2::XMLElement* e, const char* name, float missing) {
    const char* text = e->Attribute(name);
    float v = missing;
    if (!text || std::sscanf(text, "%f", &v) != 1)
        v = missing;
    // A volume outside 0..1 (or not a number) would distort or silence
    // everything; bring it back into range.
    if (!(v >= 0.0f))
        v = 0.0f;
    if (v > 1.0f)
        v = 1.0f;
    return v;
}

std::string FormatVolume(float volume) {
    char text[32];
    std::snprintf(text, sizeof text, "%.8g", static_cast<double>(volume));
    return text;
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
    out.volume = ReadVolume(e, "volume", 0.0f);
    out.musicVolume = ReadVolume(e, "musicVolume", out.volume);
    out.effectsVolume = ReadVolume(e, "effectsVolume", out.volume);
    if (!e->Attribute("musicVolume") && !e->Attribute("effectsVolume"))
        out.volume = 1.0f; // the file's one volume lives on in the two levels
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
    // Rebound controls, one "bind" child each; a file from before them (or
    // a name this game does not know) leaves the defaults.
    out.controls = DefaultBindings();
    for (const tinyxml2::XMLElement* bind = e->FirstChildElement("bind"); bind;
         bind = bind->NextSiblingElement("bind")) {
        const char* id = bind->Attribute("action");
        const std::optional<Action> action = id ? ActionFromId(id) : std::nullopt;
        if (!action)
            continue;
        Binding& b = out.controls[static_cast<size_t>(*action)];
        if (const char* key = bind->Attribute("key"))
            b.key = KeyFromId(key).value_or(b.key);
        if (const char* pad = bind->Attribute("pad"))
            b.pad = PadFromId(pad).value_or(b.pad);
    }
    return true;
}

std::string FormatSettings(const Settings& s) {
    tinyxml2::XMLDocument doc;
    tinyxml2::XMLElement* e = doc.NewElement("settings");
    e->SetAttribute("volume", FormatVolume(s.volume).c_str());
    e->SetAttribute("muted", s.muted ? 1 : 0);
    e->SetAttribute("fullscreen", s.fullscreen ? 1 : 0);
    e->SetAttribute("width", s.width);
    e->SetAttribute("height", s.height);
    e->SetAttribute("musicVolume", FormatVolume(s.musicVolume).c_str());
    e->SetAttribute("effectsVolume", FormatVolume(s.effectsVolume).c_str());
    if (s.endlessSeed >= 0)
        e->SetAttribute("endlessSeed", s.endlessSeed);
    if (s.vsync)
        e->SetAttribute("vsync", 1);
    // Only what differs from the defaults.
    const Bindings defaults = DefaultBindings();
    for (int32_t i = 0; i < kActionCount; ++i) {
        const Binding& b = s.controls[static_cast<size_t>(i)];
        if (b == defaults[static_cast<size_t>(i)])
            continue;
        tinyxml2::XMLElement* bind = e->InsertNewChildElement("bind");
        bind->SetAttribute("action", Describe(static_cast<Action>(i)).id);
        bind->SetAttribute("key", KeyId(b.key).c_str());
        bind->SetAttribute("pad", PadId(b.pad).c_str());
    }
    doc.InsertEndChild(e);
    tinyxml2::XMLPrinter printer(nullptr, false);
    doc.Print(&printer);
    return printer.CStr();
}

bool WriteSettings(const std::string& path, const Settings& s, std::string* error) {
    return WriteFileAtomically(path, FormatSettings(s), error);
}
