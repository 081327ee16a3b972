// HitFeel -- the weight of each kind of blow.
#include "entities/HitFeel.h"

#include "core/Runtime.h"
#include "entities/LevelServices.h"

BlowFeel FeelOf(Blow blow) {
    switch (blow) {
    case Blow::LightHit:
        return {0.03f, 0.0f};
    case Blow::HeavyHit:
        return {0.06f, 0.25f};
    case Blow::Kill:
        return {0.09f, 0.3f};
    case Blow::DashHit:
        return {0.05f, 0.2f};
    case Blow::BatBack:
        return {0.07f, 0.15f};
    case Blow::BladeHurt:
        return {0.0f, 0.4f};
    case Blow::Explosion:
        return {0.0f, 0.45f};
    }
    return {0.0f, 0.0f};
}

void FeelBlow(int32_t roomId, Blow blow) {
    const BlowFeel feel = FeelOf(blow);
    if (feel.hold > 0.0f)
        Runtime::Get().clock.HitStop(feel.hold);
    if (feel.trauma > 0.0f && LevelServices::current)
        LevelServices::current->ShakeView(roomId, feel.trauma);
}
