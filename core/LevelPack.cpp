// LevelPack -- finding packs, and the files the game reads while one is played.
#include "core/LevelPack.h"

#include "core/DataFile.h"

#include <tinyxml2.h>

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace LevelPack {

namespace {

const std::string kAssets = "assets/";

std::string& InUse() {
    static std::string dir;
    return dir;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// The files that make the pack's levels: never taken from the story.
bool PackOnly(const std::string& name) {
    return name == "levels.xml" || StartsWith(name, "dialogs/") ||
           (StartsWith(name, "rooms/") && fs::path(name).extension() == ".tmx");
}

// `name` cleaned up, or "" when it is absolute or climbs out of its folder.
std::string Inside(const std::string& name) {
    const fs::path path = fs::path(name).lexically_normal();
    if (name.empty() || path.is_absolute() || path.has_root_name())
        return "";
    const std::string clean = path.generic_string();
    if (clean == ".." || StartsWith(clean, "../"))
        return "";
    return clean;
}

// The pack's file for `clean` when it exists and, links followed, is
// still inside the pack's folder.
bool PackHolds(const std::string& clean, bool* leadsOut = nullptr) {
    std::error_code ec;
    const fs::path file = fs::path(InUse()) / clean;
    if (!fs::exists(file, ec))
        return false;
    const fs::path real = fs::weakly_canonical(file, ec);
    const std::string root = InUse() + "/";
    if (ec || !StartsWith(real.generic_string(), root)) {
        if (leadsOut)
            *leadsOut = true;
        return false;
    }
    return fs::is_regular_file(real, ec);
}

} // namespace

Info Read(const std::string& dir) {
    Info info;
    std::error_code ec;
    const fs::path folder = fs::weakly_canonical(fs::absolute(dir, ec), ec);
    info.dir = folder.generic_string();
    info.name = folder.filename().string();
    tinyxml2::XMLDocument doc;
    const XmlLoad pack = LoadXmlFile(doc, (folder / "pack.xml").string(), kPlayerFileLimit);
    if (pack.ok) {
        if (const tinyxml2::XMLElement* root = doc.FirstChildElement("pack")) {
            if (const char* name = root->Attribute("name"); name && *name)
                info.name = name;
            if (const char* author = root->Attribute("author"))
                info.author = author;
        }
    }
    tinyxml2::XMLDocument levels;
    const XmlLoad load = LoadXmlFile(levels, (folder / "levels.xml").string(), kAssetFileLimit);
    const tinyxml2::XMLElement* root = load.ok ? levels.FirstChildElement("levels") : nullptr;
    if (!load.ok) {
        info.problem = "levels.xml " + load.problem;
        return info;
    }
    if (!root) {
        info.problem = "levels.xml holds no levels element";
        return info;
    }
    for (const tinyxml2::XMLElement* level = root->FirstChildElement("level"); level;
         level = level->NextSiblingElement())
        ++info.levels;
    if (info.levels == 0)
        info.problem = "levels.xml names no level";
    return info;
}

std::vector<Info> FindAll(const std::vector<std::string>& folders) {
    std::vector<Info> packs;
    for (const std::string& folder : folders) {
        std::error_code ec;
        if (folder.empty() || !fs::is_directory(folder, ec))
            continue;
        if (fs::exists(fs::path(folder) / "levels.xml", ec)) {
            packs.push_back(Read(folder));
            continue;
        }
        for (const auto& entry : fs::directory_iterator(folder, ec)) {
            if (entry.is_directory(ec) && (fs::exists(entry.path() / "levels.xml", ec) ||
                                           fs::exists(entry.path() / "pack.xml", ec)))
                packs.push_back(Read(entry.path().string()));
        }
    }
    std::sort(packs.begin(), packs.end(), [](const Info& a, const Info& b) {
        return a.name != b.name ? a.name < b.name : a.dir < b.dir;
    });
    packs.erase(std::unique(packs.begin(), packs.end(),
                            [](const Info& a, const Info& b) { return a.dir == b.dir; }),
                packs.end());
    return packs;
}

void Use(const std::string& dir) {
    if (dir.empty()) {
        InUse().clear();
        return;
    }
    std::error_code ec;
    InUse() = fs::weakly_canonical(fs::absolute(dir, ec), ec).generic_string();
}

const std::string& Current() {
    return InUse();
}

bool Refused(const std::string& name) {
    if (InUse().empty())
        return false;
    const std::string clean = Inside(name);
    bool leadsOut = false;
    return clean.empty() || (PackHolds(clean, &leadsOut), leadsOut);
}

bool FromPack(const std::string& name) {
    const std::string clean = Inside(name);
    return !InUse().empty() && !clean.empty() && PackHolds(clean);
}

std::string AssetFile(const std::string& name) {
    if (InUse().empty())
        return fs::path(name).is_absolute() ? name : kAssets + name;
    if (Refused(name))
        return "";
    const std::string clean = Inside(name);
    if (PackOnly(clean) || PackHolds(clean))
        return InUse() + "/" + clean;
    return kAssets + clean;
}

std::string NameOf(const std::string& path) {
    if (!InUse().empty() && StartsWith(path, InUse() + "/"))
        return path.substr(InUse().size() + 1);
    std::string name = path;
    if (fs::path(path).is_absolute()) {
        // Rooms written outside the game's folder name its tilesets in full.
        std::error_code ec;
        const fs::path here = fs::current_path(ec);
        const std::string inside = fs::path(path).lexically_relative(here).generic_string();
        if (!ec && StartsWith(inside, kAssets))
            name = inside;
    }
    return StartsWith(name, kAssets) ? name.substr(kAssets.size()) : name;
}

std::string SaveName() {
    if (InUse().empty())
        return "save.xml";
    std::string folder = fs::path(InUse()).filename().string();
    for (char& c : folder) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '_';
        if (!plain)
            c = '_';
    }
    return "pack-" + folder + "-save.xml";
}

} // namespace LevelPack
