// LevelCatalogue -- the story's levels and the save game.
#include "world/LevelCatalogue.h"

#include "core/Settings.h"
#include "core/UserFiles.h"
#include "world/XmlRead.h"

#include <tinyxml2.h>

#include <stdexcept>

LevelCatalogue::LevelCatalogue(const std::string& name) : fileName(name) {
    tinyxml2::XMLDocument doc;
    if (doc.LoadFile(("assets/" + name).c_str()) != tinyxml2::XML_SUCCESS)
        return;
    const tinyxml2::XMLElement* root = doc.FirstChildElement("levels");
    if (!root)
        return;
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
    if (doc.LoadFile(savePath.c_str()) != tinyxml2::XML_SUCCESS)
        return;
    const int32_t saved = ReadIntAttribute(doc.FirstChildElement("save"), "level", 0);
    // A save from a longer story (or edited by hand) must not point past it.
    currentLevel = HasLevel(saved) ? saved : 0;
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
