// BottlePool.h -- the program-wide store of idle mana bottles. A prop takes
// one when it drops a bottle; a bottle that is picked up comes back. The
// pool owns only idle bottles (a bottle lying in a room belongs to the
// room); the level scene empties it when it unloads.
#pragma once

#include <cstddef>

class Bottle;

namespace BottlePool {

// The last idle bottle, or a new one built from the game's assets.
Bottle* Take();
// The pool owns the bottle again.
void Give(Bottle* bottle);
// Deletes every idle bottle.
void Clear();
size_t IdleCount();

} // namespace BottlePool
