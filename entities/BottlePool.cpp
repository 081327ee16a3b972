// BottlePool -- recycled mana bottles.
#include "entities/BottlePool.h"

#include "entities/Bottle.h"

#include <vector>

namespace BottlePool {

namespace {
std::vector<Bottle*>& Idle() {
    static std::vector<Bottle*> idle;
    return idle;
}
} // namespace

Bottle* Take() {
    std::vector<Bottle*>& idle = Idle();
    if (idle.empty())
        return new Bottle();
    Bottle* bottle = idle.back();
    idle.pop_back();
    return bottle;
}

void Give(Bottle* bottle) {
    if (!bottle)
        return;
    bottle->StopTweens();
    Idle().push_back(bottle);
}

void Clear() {
    for (Bottle* bottle : Idle())
        delete bottle;
    Idle().clear();
}

size_t IdleCount() {
    return Idle().size();
}

} // namespace BottlePool
