// GameClock -- the game's one clock: the real time of a frame in, the game
// time handed to scenes and tweens out.
//
// The time scale runs slower than 1 in slow motion and faster while a
// conversation is hurried along. Whoever wants it changed asks each frame
// (`Steer`); a frame in which nobody asked brings it back to 1, measured in
// real time, so slowed time always returns within half a second of the last
// request, whatever else waits on game time meanwhile.
#pragma once

class GameClock {
public:
    static constexpr float kMinScale = 1e-07f; // time never stops entirely
    static constexpr float kMaxScale = 20.0f;
    static constexpr float kMaxStep = 1.0f / 15.0f; // longest game step of one frame
    static constexpr float kRecoveryRate = 10.0f;   // per real second, back to 1

    // Starts a frame of `realSeconds`: brings the scale back towards 1 when
    // nobody steered it during the previous frame, clamps it, and returns
    // the frame's game time (real time x scale, within [0, kMaxStep]).
    float Advance(double realSeconds);
    // Moves the scale towards `target` at `rate` per second of game time
    // over this frame's game time `dt`, exactly (it approaches the target
    // and never passes it), and holds the recovery off for the next frame.
    void Steer(float target, float rate, float dt);
    // Normal time at once (death, the pause, a new scene).
    void Restore();
    // Holds the game still for `realSeconds` of real time (a landed blow):
    // frames hand out no game time meanwhile. A longer hold replaces a
    // shorter one; holds do not add up. Nothing while `hitStops` is off.
    void HitStop(float realSeconds);
    // Real seconds the game is still held.
    float HitStopLeft() const { return hitStopLeft; }
    // Real seconds of the last frame.
    double RealFrameTime() const { return realFrameTime; }

    float scale = 1.0f;   // game seconds per real second
    bool hitStops = true; // the player may turn the hit freeze off

private:
    bool steered = false;
    double realFrameTime = 0.0;
    float hitStopLeft = 0.0f;
};
