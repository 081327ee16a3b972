// TriggerLine.h -- an invisible line across a room that does something when
// Blade touches it: starts a conversation (at once, or only once the room
// is clear), wakes the room's dormant gunners (all of them, or one wave of
// an ambush that comes in turns), or rolls the credits. A line is used up by
// what it does; the room then deletes it.
#pragma once

#include "core/Line2D.h"
#include "entities/Entity.h"

#include <cstdint>
#include <unordered_map>

class Player;

namespace LevelMap {

enum TriggerKind : int32_t {
    TriggerSpent = 0,
    TriggerDialog = 1,        // "TriggerDialog": a conversation
    TriggerDialogNoEnemy = 2, // "TriggerDialogNoEnemy": a conversation once the room is clear
    TriggerEnemy = 3,         // "TriggerEnemy": the room's enemies open fire
    TriggerCredits = 4,       // "TriggerCredits": the screen fades to the credits
};

// The wave of each enemy that waits for its own ambush line; any other
// enemy is of wave 0.
using WaveTable = std::unordered_map<const Entity*, int32_t>;

class TriggerLine : public Line2D {
public:
    // Conversations wait for time to run at least this fast (no dash aim).
    static constexpr float kNormalTime = 0.95f;

    TriggerLine(const Line2D& line, int32_t triggerKind, int32_t roomId, int32_t dialog);

    // One frame for the room's `entities` (after they have moved). A
    // conversation that cannot start yet (another one runs, time is slowed,
    // Blade is mid-dash) is kept pending and tried again every frame.
    // False once the line has done its work.
    bool Update(EntityList& entities, const WaveTable& waves = WaveTable{});

    int32_t triggerKind;
    Player* player = nullptr; // Blade, found in the room's list the first time he is there
    int32_t roomId;
    int32_t dialog;       // the conversation of the dialogue kinds
    int32_t wave = 0;     // the enemies an ambush line wakes
    bool pending = false; // touched while its conversation could not start

private:
    // Starts the conversation when nothing stands in its way; true if it did.
    bool TryStartDialogue(bool checkDash);
};

} // namespace LevelMap
