// Door -- the vocabulary of a door's properties.
#include "world/Door.h"

namespace LevelMap {

int32_t DoorConditionFromText(const std::string& text) {
    if (text == "NoEnemy")
        return DoorNoEnemy;
    if (text == "HasEnemy")
        return DoorWhileEnemy;
    if (text == "Disabled")
        return DoorDisabled;
    return DoorAlways;
}

int32_t DoorDialogTriggerFromText(const std::string& text) {
    if (text == "HasEnemy")
        return DialogWhileEnemy;
    if (text == "OneShot")
        return DialogOnce;
    return DialogAlways;
}

} // namespace LevelMap
