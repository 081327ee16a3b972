// LevelCheck.h -- whether a story level can be played from its start room to
// its way out, judged from the level's files alone (no window, no sound):
// every room reachable through doors from where Blade starts, every door
// paired, gates that open (their rooms' enemies can be reached and felled),
// exactly one way out that can be reached, objects that stand on floor, and
// every conversation, image and music track the rooms name present and well
// formed.
//
// The check reads the game's own layout from the working directory, as the
// game does: "assets/levels.xml", "assets/rooms/<n>.tmx", "assets/dialogs/
// <n>.xml", the images under "assets/" and the music under "assets/sounds/".
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace LevelMap {

// What one level holds, and what stops it from being finished.
struct LevelSurvey {
    int32_t level = 0;                  // index in the catalogue, from 0
    int32_t startRoom = 0;              // the room Blade starts in
    std::string music;                  // the level's track
    std::vector<int32_t> rooms;         // every room the doors reach, ascending
    std::map<std::string, int> enemies; // by object name: "Enemy", "HeavyEnemy", ...
    int dormant = 0;                    // soldiers waiting for an ambush line
    std::set<int32_t> dialogs;          // conversations the rooms name
    int npcs = 0;                       // characters to talk to
    int stations = 0;                   // refill stations
    int props = 0;                      // props to break
    int gates = 0;                      // gates that wait for a cleared room
    int ambushes = 0;                   // lines that wake dormant soldiers
    std::set<std::string> tracks;       // music the doors start
    bool endsInCredits = false;         // the way out is the credits line
    std::vector<std::string> problems;  // empty when the level can be finished
};

// Checks the level that starts in `startRoom` with `music`. `last` says
// whether the story ends with it: the last level ends on a credits line,
// every other one at an exit door.
LevelSurvey CheckLevel(int32_t level, int32_t startRoom, const std::string& music, bool last);

// Every level of "assets/levels.xml", in order. A catalogue that cannot be
// read, or that holds no level, gives one survey carrying the problem.
std::vector<LevelSurvey> CheckStory();

// The problems of conversation `number` ("assets/dialogs/<number>.xml"):
// missing or unreadable, portraits whose images are missing or whose frame
// counts differ from the image, lines that are empty, too long for the
// speech box or hold characters the font does not draw.
std::vector<std::string> CheckConversation(int32_t number);

} // namespace LevelMap
