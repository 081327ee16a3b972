// EndlessRun.h -- one run of the endless mode: how many generated levels the
// player has cleared since choosing "Endless Mode" (the depth), the best
// depth ever reached (kept in "endless.xml"), and the generation of the next
// level's rooms into assets/rooms (or the player's data directory when the
// game's folder cannot be written).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

struct EndlessRun {
    int32_t depth = 0;                     // levels cleared in this run
    int32_t best = 0;                      // the record, as read or last written
    std::optional<uint32_t> seed;          // replays a layout: the run's first level uses it
    std::optional<uint32_t> lastSeed;      // the seed of the level being played
    std::string roomsDir = "assets/rooms"; // where rooms 100 to 104 are written and read
    std::string recordPath = "endless.xml";

    static EndlessRun& Current();

    // Keeps the rooms and the record where the game writes (core/UserFiles.h):
    // beside the assets in the game's folder, else under the data directory.
    void UseUserFiles();

    // A new run: depth 0, the record read again, the first level generated.
    // False (with `error` set) when the rooms could not be written: the run
    // does not start and the story's catalogue is left in story mode.
    bool Start(std::string& error);
    // The level just played was cleared: the depth rises, a new record is
    // written, and the next level's rooms are generated. False (with
    // `error`) when they could not be written.
    bool Advance(std::string& error);

private:
    bool Generate(std::string& error);
};
