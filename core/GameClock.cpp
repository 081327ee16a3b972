// GameClock -- slow motion, hurried conversations and their way back.
#include "core/GameClock.h"

#include <algorithm>
#include <cmath>

float GameClock::Advance(double realSeconds) {
    realFrameTime = realSeconds > 0.0 ? realSeconds : 0.0;
    if (!steered && std::isfinite(scale)) {
        // Exponential in real time: from any scale to within 1 % of normal
        // in under half a second, however long the frames.
        const float keep = std::exp(-kRecoveryRate * static_cast<float>(realFrameTime));
        scale = 1.0f + (scale - 1.0f) * keep;
    }
    steered = false;
    if (!(scale >= kMinScale))
        scale = kMinScale;
    if (scale > kMaxScale)
        scale = kMaxScale;
    if (hitStopLeft > 0.0f) {
        hitStopLeft = std::max(0.0f, hitStopLeft - static_cast<float>(realFrameTime));
        return 0.0f;
    }
    float dt = static_cast<float>(realFrameTime) * scale;
    if (!(dt >= 0.0f))
        dt = 0.0f;
    if (dt > kMaxStep)
        dt = kMaxStep;
    return dt;
}

void GameClock::Steer(float target, float rate, float dt) {
    if (dt > 0.0f && rate > 0.0f)
        scale = target + (scale - target) * std::exp(-rate * dt);
    steered = true;
}

void GameClock::Restore() {
    scale = 1.0f;
    steered = false;
    hitStopLeft = 0.0f;
}

void GameClock::HitStop(float realSeconds) {
    if (hitStops && realSeconds > hitStopLeft)
        hitStopLeft = realSeconds;
}
