// Settings -- reading and safely writing "settings.xml".
#include "core/Settings.h"

#include "core/DataFile.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <tinyxml2.h>
#include <vector>

namespace {

std::string FormatVolume(float volume) {
    char text[32];
    std::snprintf(text, sizeof text, "%.8g", static_cast<double>(volume));
    return text;
}

// What a reading fell back on, for the caller to tell the player.
class Problems {
public:
    explicit Problems(std::vector<std::string>* list) : list(list) {}
    void Add(const std::string& text) const {
        if (list)
            list->push_back(text);
    }

private:
    std::vector<std::string>* list;
};

// A volume attribute, `missing` when absent or not a number.
float ReadVolume(const tinyxml2::XMLElement* e, const char* name, float missing,
                 const Problems& problems, bool required) {
    const char* text = e->Attribute(name);
    float v = missing;
    if (!text) {
        if (required)
            problems.Add(std::string("no ") + name + ": read as " + FormatVolume(missing));
        return missing;
    }
    if (std::sscanf(text, "%f", &v) != 1) {
        problems.Add(std::string(name) + " \"" + text + "\" is not a number: read as " +
                     FormatVolume(missing));
        v = missing;
    }
    // A volume outside 0..1 (or not a number) would distort or silence
    // everything; bring it back into range.
    if (!(v >= 0.0f) || v > 1.0f) {
        v = v > 1.0f ? 1.0f : 0.0f;
        problems.Add(std::string(name) + " \"" + text + "\" is outside 0..1: read as " +
                     FormatVolume(v));
    }
    return v;
}

// A window side in pixels: 0 when absent or not a whole number; a number
// too large for any screen is held to kMaxWindowSide either way (the caller
// fits the size to the desktop and names what is too small).
int32_t ReadWindowSide(const tinyxml2::XMLElement* e, const char* name, const Problems& problems) {
    const char* text = e->Attribute(name);
    if (!text) {
        problems.Add(std::string("no ") + name + ": read as 0");
        return 0;
    }
    const std::optional<int64_t> v = ParseWholeNumber(text);
    if (!v) {
        problems.Add(std::string(name) + " \"" + text + "\" is not a number: read as 0");
        return 0;
    }
    if (*v > kMaxWindowSide) {
        problems.Add(std::string(name) + " \"" + text + "\" is larger than any screen: read as " +
                     std::to_string(kMaxWindowSide));
        return kMaxWindowSide;
    }
    return static_cast<int32_t>(*v < -kMaxWindowSide ? -kMaxWindowSide : *v);
}

// A switch is written 1 or 0; "true" and "false" are read too. Anything
// else (7, -1, "yes") is no switch the game wrote: it reads as off.
bool ReadBool(const tinyxml2::XMLElement* e, const char* name, const Problems& problems,
              bool required) {
    const char* text = e->Attribute(name);
    if (!text) {
        if (required)
            problems.Add(std::string("no ") + name + ": read as off");
        return false;
    }
    const std::string value = text;
    if (value == "1" || value == "true")
        return true;
    if (value != "0" && value != "false")
        problems.Add(std::string(name) + " \"" + text +
                     "\" is neither on (1) nor off (0): read as off");
    return false;
}

} // namespace

bool ReadSettings(const std::string& path, Settings& out, std::vector<std::string>* list) {
    const Problems problems(list);
    tinyxml2::XMLDocument doc;
    const XmlLoad load = LoadXmlFile(doc, path, kPlayerFileLimit);
    if (!load.ok) {
        // No file is a first start, not a problem.
        if (!load.missing)
            problems.Add("the file " + load.problem + ": the defaults are used");
        return false;
    }
    const tinyxml2::XMLElement* e = doc.FirstChildElement("settings");
    if (!e) {
        // Some other XML file: treat it as missing.
        problems.Add("the file holds no settings element: the defaults are used");
        return false;
    }
    // The master volume, the switches and the size have been in every file
    // the game ever wrote; the rest came later and may be absent.
    out.volume = ReadVolume(e, "volume", 0.0f, problems, true);
    out.musicVolume = ReadVolume(e, "musicVolume", out.volume, problems, false);
    out.effectsVolume = ReadVolume(e, "effectsVolume", out.volume, problems, false);
    if (!e->Attribute("musicVolume") && !e->Attribute("effectsVolume"))
        out.volume = 1.0f; // the file's one volume lives on in the two levels
    out.muted = ReadBool(e, "muted", problems, true);
    out.fullscreen = ReadBool(e, "fullscreen", problems, true);
    out.width = ReadWindowSide(e, "width", problems);
    out.height = ReadWindowSide(e, "height", problems);
    out.vsync = ReadBool(e, "vsync", problems, false);
    out.scaling = ScreenScaling::Smooth;
    if (const char* text = e->Attribute("scaling"); text && !ScalingFromId(text, out.scaling))
        problems.Add(std::string("scaling \"") + text +
                     "\" is neither pixelperfect nor smooth: read as smooth");
    out.endlessSeed = -1;
    if (const char* text = e->Attribute("endlessSeed")) {
        int64_t seed = -1;
        if (e->QueryInt64Attribute("endlessSeed", &seed) == tinyxml2::XML_SUCCESS && seed >= 0 &&
            seed <= 0xFFFFFFFFll)
            out.endlessSeed = seed;
        else
            problems.Add(std::string("endlessSeed \"") + text +
                         "\" is not a seed (0 to 4294967295): endless runs draw fresh ones");
    }
    // Rebound controls, one "bind" child each; a file from before them
    // leaves the defaults.
    out.controls = DefaultBindings();
    for (const tinyxml2::XMLElement* bind = e->FirstChildElement("bind"); bind;
         bind = bind->NextSiblingElement("bind")) {
        const char* id = bind->Attribute("action");
        const std::optional<Action> action = id ? ActionFromId(id) : std::nullopt;
        if (!action) {
            problems.Add(std::string("a binding for the unknown action \"") + (id ? id : "") +
                         "\" is ignored");
            continue;
        }
        Binding& b = out.controls[static_cast<size_t>(*action)];
        if (const char* key = bind->Attribute("key")) {
            const auto read = KeyFromId(key);
            if (!read)
                problems.Add(std::string("the key \"") + key + "\" for " + id +
                             " is unknown: its default is kept");
            b.key = read.value_or(b.key);
        }
        if (const char* pad = bind->Attribute("pad")) {
            const auto read = PadFromId(pad);
            if (!read)
                problems.Add(std::string("the pad input \"") + pad + "\" for " + id +
                             " is unknown: its default is kept");
            b.pad = read.value_or(b.pad);
        }
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
    if (s.scaling != ScreenScaling::Smooth)
        e->SetAttribute("scaling", ScalingId(s.scaling));
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

WindowFit FitWindowSize(int32_t width, int32_t height, int32_t desktopWidth, int32_t desktopHeight,
                        int32_t usableWidth, int32_t usableHeight) {
    WindowFit fit{width, height, ""};
    const std::string asked = std::to_string(width) + " x " + std::to_string(height);
    if (width < kMinWindowWidth || height < kMinWindowHeight) {
        fit.width = desktopWidth;
        fit.height = desktopHeight;
        fit.change = "the window size " + asked + " is smaller than " +
                     std::to_string(kMinWindowWidth) + " x " + std::to_string(kMinWindowHeight) +
                     ": the desktop's " + std::to_string(desktopWidth) + " x " +
                     std::to_string(desktopHeight) + " is used instead";
        return fit;
    }
    if (usableWidth > 0 && width > usableWidth)
        fit.width = usableWidth;
    if (usableHeight > 0 && height > usableHeight)
        fit.height = usableHeight;
    if (fit.width != width || fit.height != height)
        fit.change = "the window size " + asked + " does not fit the desktop's usable " +
                     std::to_string(usableWidth) + " x " + std::to_string(usableHeight) + ": " +
                     std::to_string(fit.width) + " x " + std::to_string(fit.height) +
                     " is used instead";
    return fit;
}
