// Tween -- the three program-wide tween lists and their stepping.
#include "core/Tween.h"

#include <utility>

float TweenEase(int32_t ease, float t) {
    switch (ease) {
    case 0:
        return t;
    case 1:
        return t * t * t + 3.0f * t * (1.0f - t);
    case 2:
        return (3.0f - 2.0f * t) * t * t;
    case 3:
        return (6.0f - 5.0f * t) * t * t;
    default:
        return 0.0f;
    }
}

TweenList<1>& FloatTweens() {
    static TweenList<1> list;
    return list;
}
TweenList<2>& Vec2Tweens() {
    static TweenList<2> list;
    return list;
}
TweenList<4>& ColorTweens() {
    static TweenList<4> list;
    return list;
}

namespace {

template <int N>
void Append(TweenList<N>& list, float* target, const float* to, int32_t ease,
            std::function<void()> onComplete, float duration, float delay) {
    TweenRecord<N> record;
    record.target = target;
    record.remaining = duration;
    record.duration = duration;
    record.delay = delay;
    for (int i = 0; i < N; ++i) {
        record.from[i] = target[i];
        record.to[i] = to[i];
    }
    record.ease = ease;
    record.onComplete = std::move(onComplete);
    list.push_back(std::move(record));
}

template <int N> void Remove(TweenList<N>& list, const float* target) {
    size_t out = 0;
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i].target != target) {
            if (out != i)
                list[out] = std::move(list[i]);
            ++out;
        }
    }
    list.resize(out);
}

template <int N> void SetTarget(TweenRecord<N>& r, const float* values) {
    for (int i = 0; i < N; ++i)
        r.target[i] = values[i];
}

} // namespace

void AddFloatTween(float* target, float to, int32_t ease, std::function<void()> onComplete,
                   float duration, float delay) {
    Append(FloatTweens(), target, &to, ease, std::move(onComplete), duration, delay);
}

void AddVec2Tween(float* target, float toX, float toY, int32_t ease,
                  std::function<void()> onComplete, float duration, float delay) {
    const float to[2] = {toX, toY};
    Append(Vec2Tweens(), target, to, ease, std::move(onComplete), duration, delay);
}

void AddColorTween(float* target, const float to[4], int32_t ease, std::function<void()> onComplete,
                   float duration, float delay) {
    Append(ColorTweens(), target, to, ease, std::move(onComplete), duration, delay);
}

void RemoveFloatTweens(const float* target) {
    Remove(FloatTweens(), target);
}
void RemoveVec2Tweens(const float* target) {
    Remove(Vec2Tweens(), target);
}
void RemoveColorTweens(const float* target) {
    Remove(ColorTweens(), target);
}
void RemoveTweens(const float* target) {
    RemoveFloatTweens(target);
    RemoveVec2Tweens(target);
    RemoveColorTweens(target);
}

template <int N> void UpdateTweenList(TweenList<N>& list, float dt, float timeScale) {
    const float step = timeScale * dt;
    size_t i = 0;
    while (i < list.size()) {
        TweenRecord<N>& r = list[i];
        r.remaining -= step;
        if (r.remaining > 0.0f) {
            const float e = TweenEase(r.ease, 1.0f - r.remaining / r.duration);
            for (int c = 0; c < N; ++c)
                r.target[c] = r.from[c] + (r.to[c] - r.from[c]) * e;
            ++i;
            continue;
        }
        if (r.onComplete) {
            r.delay -= step;
            if (r.delay > 0.0f) {
                ++i;
                continue;
            }
        }
        SetTarget(r, r.to);
        // The callback may append to this very list, so take it out of the
        // record and retire the record before running it.
        std::function<void()> callback = std::move(r.onComplete);
        if (i + 1 != list.size())
            list[i] = std::move(list.back());
        list.pop_back();
        if (callback)
            callback();
        // The same index now holds the former last record: examine it next.
    }
}

template void UpdateTweenList<1>(TweenList<1>&, float, float);
template void UpdateTweenList<2>(TweenList<2>&, float, float);
template void UpdateTweenList<4>(TweenList<4>&, float, float);

void UpdateTweens(float dt, float timeScale) {
    UpdateTweenList(FloatTweens(), dt, timeScale);
    UpdateTweenList(Vec2Tweens(), dt, timeScale);
    UpdateTweenList(ColorTweens(), dt, timeScale);
}

void ClearTweens() {
    FloatTweens().clear();
    Vec2Tweens().clear();
    ColorTweens().clear();
}
