// LevelCatalogue -- the story's levels and the save game.
#include "world/LevelCatalogue.h"

#include "core/DataFile.h"
#include "core/LevelPack.h"
#include "core/Settings.h"
#include "core/UserFiles.h"
#include "world/XmlRead.h"

#include <tinyxml2.h>

#include <cstdio>
#include <filesystem>
#include <stdexcept>

LevelCatalogue::LevelCatalogue(const std::string& name, const std::string& save)
    : fileName(name), savePath(save) {
    const std::string path = LevelPack::AssetFile(name);
    tinyxml2::XMLDocument doc;
    const XmlLoad load = LoadXmlFile(doc, path, kAssetFileLimit);
    if (!load.ok) {
        problem = path + " " + load.problem;
        return;
    }
    const tinyxml2::XMLElement* root = doc.FirstChildElement("levels");
    if (!root) {
        problem = path + " holds no levels element";
        return;
    }
    // Everything from the first "level" on is a level, whatever its name.
    for (const tinyxml2::XMLElement* level = root->FirstChildElement("level"); level;
         level = level->NextSiblingElement()) {
        firstRooms.push_back(ReadIntAttribute(level, "room", 0));
        music.push_back(ReadStringAttribute(level, "bgm"));
    }
    loaded = true;
    ReadSave();
}

LevelCatalogue& LevelCatalogue::Story() {
    static LevelCatalogue story("levels.xml");
    return story;
}

void LevelCatalogue::ReadSave() {
    tinyxml2::XMLDocument doc;
    const tinyxml2::XMLError status = doc.LoadFile(savePath.c_str());
    // No save is a new player, nothing to mention. A save that is there but
    // cannot be used is said so: the story then starts from its first level.
    auto fallBack = [this](const std::string& why) {
        std::fprintf(stderr, "SAVE: %s: %s: the story starts from its first level\n",
                     savePath.c_str(), why.c_str());
    };
    if (status == tinyxml2::XML_ERROR_FILE_NOT_FOUND)
        return;
    if (status != tinyxml2::XML_SUCCESS)
        return fallBack(std::string("the file cannot be read (") +
                        tinyxml2::XMLDocument::ErrorIDToName(status) + ")");
    const tinyxml2::XMLElement* save = doc.FirstChildElement("save");
    const char* text = save ? save->Attribute("level") : nullptr;
    if (!text)
        return fallBack(save ? "it names no level" : "the file holds no save element");
    const int32_t saved = ReadIntAttribute(save, "level", -1);
    // A save from a longer story (or edited by hand) must not point past it.
    if (!HasLevel(saved))
        return fallBack(std::string("level \"") + text + "\" is not one of the story's " +
                        std::to_string(firstRooms.size()) + " levels");
    currentLevel = saved;
}

std::vector<std::string> LevelCatalogue::MissingFiles() const {
    if (!loaded)
        return {problem};
    std::vector<std::string> missing;
    std::error_code ec;
    for (size_t i = 0; i < firstRooms.size(); ++i) {
        const std::string room =
            LevelPack::AssetFile("rooms/" + std::to_string(firstRooms[i]) + ".tmx");
        if (!std::filesystem::is_regular_file(room, ec))
            missing.push_back(room + ", the start of level " + std::to_string(i + 1) +
                              ", is missing");
    }
    if (firstRooms.empty())
        missing.push_back(LevelPack::AssetFile(fileName) + " names no level");
    return missing;
}

void LevelCatalogue::Require() const {
    if (!loaded)
        throw std::runtime_error("Cannot find " + fileName);
}

bool LevelCatalogue::HasLevel(int32_t level) const {
    return level >= 0 && static_cast<size_t>(level) < firstRooms.size();
}

int32_t LevelCatalogue::StartRoom() const {
    if (endless)
        return kEndlessStartRoom;
    Require();
    if (!HasLevel(currentLevel))
        throw std::runtime_error("Cannot find level " + std::to_string(currentLevel) + " in " +
                                 fileName);
    return firstRooms[static_cast<size_t>(currentLevel)];
}

std::string LevelCatalogue::CurrentMusic() const {
    if (endless)
        return kEndlessMusic;
    return HasLevel(currentLevel) ? music[static_cast<size_t>(currentLevel)] : std::string();
}

bool LevelCatalogue::Save() const {
    tinyxml2::XMLDocument doc;
    tinyxml2::XMLElement* save = doc.NewElement("save");
    save->SetAttribute("level", currentLevel);
    doc.InsertEndChild(save);
    tinyxml2::XMLPrinter printer;
    doc.Print(&printer);
    std::string error;
    if (WriteFileAtomically(savePath, printer.CStr(), &error))
        return true;
    UserFiles::ReportWriteFailure("the save game", error);
    return false;
}

void LevelCatalogue::UseSavePath(const std::string& path) {
    if (path == savePath)
        return;
    savePath = path;
    currentLevel = 0;
    ReadSave();
}

bool LevelCatalogue::AdvanceToNextLevel() {
    if (!HasLevel(currentLevel + 1))
        return false;
    ++currentLevel;
    Save();
    return true;
}
