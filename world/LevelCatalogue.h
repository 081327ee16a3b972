// LevelCatalogue.h -- the story's levels (start room and music of each) read
// from "assets/levels.xml", and the save game "save.xml" that remembers the
// level to continue from.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class LevelCatalogue {
public:
    // Reads "assets/" + fileName, then the save if there is one. Never
    // throws: a missing or broken catalogue is reported by Require() when a
    // level is about to start.
    explicit LevelCatalogue(const std::string& fileName, const std::string& savePath = "save.xml");
    // The story's catalogue, read from "levels.xml" on first use (a missing
    // file is reported when a level starts, not here).
    static LevelCatalogue& Story();

    // Throws "Cannot find <file name>" when the catalogue could not be read.
    void Require() const;
    // What the story needs and does not have: the catalogue itself (why it
    // could not be read), the start room of each level. Empty when the
    // story can be played.
    std::vector<std::string> MissingFiles() const;
    // True when `level` indexes a story level.
    bool HasLevel(int32_t level) const;
    // Room the current level starts in: 100 in the endless mode. Throws
    // "Cannot find ..." without a catalogue, or when currentLevel is no
    // story level.
    int32_t StartRoom() const;
    // The current level's music; "" when currentLevel is no story level.
    std::string CurrentMusic() const;
    // Writes "save.xml" with currentLevel through a temporary file, so the
    // old save survives a crash. False when it could not be written, which
    // is reported on the console and on the screen.
    bool Save() const;
    // Keeps the save at `path` from now on and reads it (the level to
    // continue from).
    void UseSavePath(const std::string& path);
    // The end of a story level: moves to the next level and saves. False,
    // changing nothing, after the last level: the caller goes back to the
    // main menu.
    bool AdvanceToNextLevel();

    int32_t currentLevel = 0;          // index of the level played or to continue
    std::vector<int32_t> firstRooms;   // per level, its start room number
    std::vector<std::string> music;    // per level, its music file name
    bool endless = false;              // the endless mode is being played
    std::string fileName;              // as passed in ("levels.xml")
    std::string savePath = "save.xml"; // where the game writes (core/UserFiles.h)
    bool loaded = false;               // the catalogue file was read
    std::string problem;               // why it was not ("assets/levels.xml is missing")

    // The endless mode's fixed start room and music.
    static constexpr int32_t kEndlessStartRoom = 100;
    static constexpr const char* kEndlessMusic = "03.Level0Music.ogg";

private:
    void ReadSave();
};
