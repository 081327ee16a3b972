// Door.h -- a door of a room: a segment of the room file that the player
// touches to walk into the target room, with its entry line and its rules.
#pragma once

#include "core/Line2D.h"

#include <cstdint>
#include <string>

namespace LevelMap {

// When a door may be walked through.
enum DoorCondition : int32_t {
    DoorAlways = 0,
    DoorWhileEnemy = 1, // "HasEnemy"
    DoorNoEnemy = 2,    // "NoEnemy"
    DoorDisabled = 4,   // "Disabled"
};

// When the door's entry dialogue plays.
enum DoorDialogTrigger : int32_t {
    DialogAlways = 0,
    DialogWhileEnemy = 1, // "HasEnemy"
    DialogOnce = 3,       // "OneShot"
    DialogUsed = 4,       // a one-shot dialogue already played
};

class Door : public Line2D {
public:
    Door() = default;
    explicit Door(const Line2D& line) : Line2D(line) {}

    int32_t enterDialogTrigger = DialogAlways;
    int32_t enterCondition = DoorAlways;
    int32_t audioState = 3; // 0 once the door's music has been started
    std::string audio;      // music played on entering through this door, or ""
    Line2D entryLine;       // where an entering player is placed and walks
    int32_t target = 0;     // room on the other side; 0 is the level's exit
    int32_t enterDialog = 0;
};

// "NoEnemy", "HasEnemy", "Disabled"; anything else is always passable.
int32_t DoorConditionFromText(const std::string& text);
// "HasEnemy", "OneShot"; anything else always plays.
int32_t DoorDialogTriggerFromText(const std::string& text);

} // namespace LevelMap
