// Tween.h -- timed interpolations of one float, a 2-vector or a colour
// toward a target value, optionally followed by a completion callback.
//
// Three program-wide lists (float, 2-vector, colour) are advanced by Game
// every ordinary frame and emptied at every scene switch, with pending
// callbacks destroyed unrun. Owners of animated values live at least as long
// as their tweens, and remove them (RemoveTweens) before they go.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

// Ease curves; any other value holds the start value until the end.
enum TweenEaseKind : int32_t {
    EaseLinear = 0,
    EaseOut = 1,       // fast start, gentle stop: scene fades
    EaseSmooth = 2,    // smoothstep: the usual curve
    EaseOvershoot = 3, // passes the goal and settles back
};
float TweenEase(int32_t ease, float t);

template <int N> struct TweenRecord {
    float* target;                    // the N animated floats, not owned
    float remaining;                  // seconds
    float duration;                   // seconds
    float delay;                      // seconds to wait before the callback
    float from[N];                    // target values when the tween began
    float to[N];                      // end values
    int32_t ease;                     // see TweenEase
    std::function<void()> onComplete; // owned; may be empty
};

using FloatTween = TweenRecord<1>;
using Vec2Tween = TweenRecord<2>;
using ColorTween = TweenRecord<4>;

template <int N> using TweenList = std::vector<TweenRecord<N>>;

// The three program-wide lists.
TweenList<1>& FloatTweens();
TweenList<2>& Vec2Tweens();
TweenList<4>& ColorTweens();

// Appends a tween; `from` is read from the target now.
void AddFloatTween(float* target, float to, int32_t ease, std::function<void()> onComplete,
                   float duration, float delay = 0.0f);
void AddVec2Tween(float* target, float toX, float toY, int32_t ease,
                  std::function<void()> onComplete, float duration, float delay = 0.0f);
void AddColorTween(float* target, const float to[4], int32_t ease, std::function<void()> onComplete,
                   float duration, float delay = 0.0f);

// Drops every tween of the kind on this target; callbacks are not run.
void RemoveFloatTweens(const float* target);
void RemoveVec2Tweens(const float* target);
void RemoveColorTweens(const float* target);
// All three kinds at once.
void RemoveTweens(const float* target);

// Steps every tween of a list by dt x timeScale (dt is already scaled by
// the caller; the tween scales once more).
template <int N> void UpdateTweenList(TweenList<N>& list, float dt, float timeScale);
// The float, then the 2-vector, then the colour list.
void UpdateTweens(float dt, float timeScale);
// Empties all three lists, destroying callbacks without running them.
void ClearTweens();
