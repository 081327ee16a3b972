// Characters -- Blade, the soldiers, the Commander, the dummy, NPCs and portraits.
//
// Each character is a small skeleton (hips, chest, head, two arms, two legs and
// a weapon) posed per frame; limbs are rasterised as capsules with dome relief
// on a 48 x 48 art canvas, shaded and outlined, then doubled to 96 x 96.
#include "Output.h"

#include <cmath>
#include <functional>

namespace {

constexpr float kPi = 3.14159265f;
constexpr int kArt = 48; // art cells per 96-texel frame

float Rad(float degrees) {
    return degrees * kPi / 180.0f;
}
float Lerp(float a, float b, float t) {
    return a + (b - a) * t;
}
float Smooth(float t) {
    return t * t * (3 - 2 * t);
}

enum class Head { Hair, Helmet, Hood, Cap, Bald };
enum class Weapon { None, Sword, Rifle, Cleaver, Sabre, Launcher };

struct Style {
    Rgba skin, hair, torso, legs, boots, arms, accent, steel;
    Rgba coat = Rgba{};  // long coat tail (alpha 0: none)
    float torsoR = 3.2f; // chest half-width in cells
    float limbR = 1.3f;
    float headR = 3.6f;
    float bulk = 1.0f; // broadens the heavy
    Head head = Head::Hair;
    Weapon weapon = Weapon::None;
    bool glowWeapon = false;
};

// Joint angles in degrees: 0 points straight down, positive turns forward.
struct Pose {
    float x = 0, y = 0; // body offset in cells (y down)
    float lean = 0;     // torso
    float headTilt = 0;
    float hipF = 0, kneeF = 0, hipB = 0, kneeB = 0;
    float shF = 10, elF = 20, shB = -10, elB = 20;
    float weapon = 0;      // weapon angle relative to the front forearm
    float fall = 0;        // whole body tipped backwards (death)
    float fallForward = 0; // whole body tipped forwards
    float flash = 0;       // hurt flash
    float muzzle = 0;      // muzzle flash size
    bool weaponDropped = false;
    float dissolve = 0; // violet sparks eating the body (Commander)
};

struct P2 {
    float x, y;
};
P2 Dir(float degrees) {
    return P2{std::sin(Rad(degrees)), std::cos(Rad(degrees))};
}
P2 Add(P2 a, P2 b, float s = 1) {
    return P2{a.x + b.x * s, a.y + b.y * s};
}

// Draws one posed character onto a fresh canvas; art faces right.
class Figure {
public:
    Figure(const Style& style, const Pose& pose) : s_(style), p_(pose) {}

    // `trail` is a list of (hand, tip) pairs of earlier weapon positions this
    // frame swept through, drawn as the blade's glowing arc.
    Canvas Draw(const std::vector<std::pair<P2, P2>>& trail = {}) const {
        Canvas c(kArt, kArt);
        Joints j = Solve();
        for (size_t k = 0; k + 1 < trail.size(); ++k) {
            const float a = 0.1f + 0.55f * static_cast<float>(k + 1) / trail.size();
            SweepGlow(c, trail[k].first, trail[k].second, trail[k + 1].first, trail[k + 1].second,
                      a);
        }
        const Rgba dark = RgbaOf(0, 0, 0);
        auto shade = [&](const Rgba& col) { return Mix(col, dark, 0.28f); };
        const float lr = s_.limbR;
        // Back arm and back leg sit behind the body.
        Limb(c, j.shB, j.elbowB, j.handB, shade(s_.arms), shade(s_.skin), lr, 0.0f);
        Limb(c, j.hipB, j.kneeB, j.footB, shade(s_.legs), shade(s_.boots), lr * 1.15f, 0.0f);
        if (s_.coat.a > 0) {
            const float swing = std::sin(Rad(p_.hipF)) * 3.0f;
            // Coat tails from the shoulders to the knees, flaring behind.
            std::vector<float> tail = {j.neck.x - s_.torsoR * 0.9f,       j.neck.y + 3,
                                       j.neck.x + s_.torsoR * 0.7f,       j.neck.y + 3,
                                       j.hip.x + 3.0f - swing * 0.3f,     j.hip.y + 7.5f,
                                       j.hip.x - 4.5f - std::fabs(swing), j.hip.y + 8.5f};
            c.Polygon(tail, s_.coat, 1.0f, 1.5f);
        }
        // Torso: a tapering capsule from the hips to the neck.
        c.Capsule(j.hip.x, j.hip.y, j.neck.x, j.neck.y + 1, s_.torsoR * 0.8f * s_.bulk,
                  s_.torsoR * s_.bulk, s_.torso, 1.5f);
        const P2 belt = Add(j.hip, P2{j.neck.x - j.hip.x, j.neck.y - j.hip.y}, 0.15f);
        c.Capsule(belt.x - s_.torsoR * 0.7f * s_.bulk, belt.y, belt.x + s_.torsoR * 0.7f * s_.bulk,
                  belt.y, 0.8f, 0.8f, s_.accent, 2.5f);
        Limb(c, j.hipF, j.kneeF, j.footF, s_.legs, s_.boots, lr * 1.15f, 2.0f);
        DrawHead(c, j);
        if (!p_.weaponDropped)
            DrawWeapon(c, j.handF, p_.shF + p_.elF + p_.weapon, j);
        Limb(c, j.shF, j.elbowF, j.handF, s_.arms, s_.skin, lr, 4.0f);
        if (p_.weaponDropped && s_.weapon != Weapon::None)
            DrawWeapon(c, P2{24 - 9.0f, 44.0f}, 88.0f, j);
        if (p_.muzzle > 0)
            Muzzle(c, j);
        if (p_.flash > 0)
            Flash(c);
        if (p_.dissolve > 0)
            Dissolve(c);
        return c;
    }

    struct Joints {
        P2 hip, neck, head, shF, shB, elbowF, elbowB, handF, handB, hipF, hipB, kneeF, kneeB, footF,
            footB;
    };

    Joints Solve() const {
        Joints j;
        const float legScale = 1.0f;
        const float thigh = 7.0f * legScale, shin = 6.5f * legScale, torso = 10.5f;
        const float upper = 5.5f, fore = 5.5f;
        j.hip = P2{p_.x, -13.0f + p_.y};
        j.neck = Add(j.hip, P2{std::sin(Rad(p_.lean)), -std::cos(Rad(p_.lean))}, torso);
        j.head = Add(
            j.neck, P2{std::sin(Rad(p_.lean + p_.headTilt)), -std::cos(Rad(p_.lean + p_.headTilt))},
            s_.headR + 0.6f);
        const P2 along{std::sin(Rad(p_.lean)), -std::cos(Rad(p_.lean))};
        j.shF = Add(Add(j.neck, along, -1.5f), P2{0.8f, 0});
        j.shB = Add(Add(j.neck, along, -1.5f), P2{-1.0f, 0});
        j.elbowF = Add(j.shF, Dir(p_.shF), upper);
        j.handF = Add(j.elbowF, Dir(p_.shF + p_.elF), fore);
        j.elbowB = Add(j.shB, Dir(p_.shB), upper);
        j.handB = Add(j.elbowB, Dir(p_.shB + p_.elB), fore);
        j.hipF = Add(j.hip, P2{0.8f, 0});
        j.hipB = Add(j.hip, P2{-0.8f, 0});
        j.kneeF = Add(j.hipF, Dir(p_.hipF), thigh);
        j.footF = Add(j.kneeF, Dir(p_.hipF - p_.kneeF), shin);
        j.kneeB = Add(j.hipB, Dir(p_.hipB), thigh);
        j.footB = Add(j.kneeB, Dir(p_.hipB - p_.kneeB), shin);
        // Tip the whole body about the feet, then put it on the canvas.
        P2* all[] = {&j.hip,   &j.neck, &j.head, &j.shF,   &j.shB,   &j.elbowF, &j.elbowB, &j.handF,
                     &j.handB, &j.hipF, &j.hipB, &j.kneeF, &j.kneeB, &j.footF,  &j.footB};
        for (P2* q : all)
            *q = Place(*q);
        return j;
    }

    // Local (forward x, down y, origin on the ground) to canvas cells.
    P2 Place(P2 q) const {
        const float back = Rad(p_.fall), fwd = Rad(p_.fallForward);
        const float a = fwd - back; // positive tips forward (clockwise on screen)
        const float cs = std::cos(a), sn = std::sin(a);
        P2 r{q.x * cs - q.y * sn, q.x * sn + q.y * cs};
        // A body lying down slides so it stays on the canvas.
        r.x += std::sin(back) * 12.0f - std::sin(fwd) * 12.0f;
        r.y += (std::sin(back) + std::sin(fwd)) * -2.0f;
        return P2{24.0f + r.x, 44.0f + r.y};
    }

private:
    void Limb(Canvas& c, P2 a, P2 b, P2 e, const Rgba& col, const Rgba& end, float r,
              float base) const {
        c.Capsule(a.x, a.y, b.x, b.y, r * 1.1f, r, col, base);
        c.Capsule(b.x, b.y, e.x, e.y, r, r * 0.9f, col, base + 0.3f);
        c.Ellipse(e.x, e.y, r * 1.05f, r * 0.95f, end, base + 0.6f);
    }

    void DrawHead(Canvas& c, const Joints& j) const {
        const float r = s_.headR;
        const P2 h = j.head;
        const P2 face = Add(h,
                            P2{std::cos(Rad(p_.lean - p_.fall + p_.fallForward)),
                               std::sin(Rad(p_.lean - p_.fall + p_.fallForward))},
                            r * 0.35f);
        switch (s_.head) {
        case Head::Hair:
            c.Ellipse(h.x, h.y, r, r, s_.skin, 3.0f);
            // Hair swept back over the crown and down the nape.
            c.Ellipse(h.x - r * 0.35f, h.y - r * 0.35f, r * 0.9f, r * 0.7f, s_.hair, 3.5f);
            c.Capsule(h.x - r * 0.6f, h.y - r * 0.2f, h.x - r * 1.3f, h.y + r * 0.9f, r * 0.5f,
                      r * 0.3f, s_.hair, 3.0f);
            c.Set(static_cast<int>(face.x + r * 0.35f), static_cast<int>(h.y - 0.2f),
                  RgbaOf(20, 20, 30), 3.0f);
            break;
        case Head::Helmet:
            c.Ellipse(h.x, h.y, r, r, s_.torso, 3.0f);
            c.Rect(h.x - r * 0.1f, h.y - r * 0.35f, h.x + r * 1.05f, h.y + r * 0.15f, s_.accent,
                   4.0f, 0.0f, kCellEmissive);
            c.Rect(h.x - r * 1.1f, h.y + r * 0.3f, h.x + r * 0.6f, h.y + r * 0.75f,
                   Scale(s_.torso, 0.8f), 3.5f, 0.5f);
            break;
        case Head::Hood:
            c.Ellipse(h.x, h.y, r * 1.1f, r * 1.05f, s_.torso, 3.0f);
            c.Ellipse(face.x + r * 0.2f, h.y, r * 0.6f, r * 0.55f, s_.accent, 4.0f);
            c.Capsule(h.x - r * 0.8f, h.y + r * 0.6f, h.x - r * 1.2f, h.y + r * 1.4f, 1.0f, 1.0f,
                      s_.legs, 3.5f);
            break;
        case Head::Cap:
            c.Ellipse(h.x, h.y + 0.4f, r, r * 0.95f, s_.skin, 3.0f);
            c.Rect(h.x - r * 1.1f, h.y - r * 1.05f, h.x + r * 1.0f, h.y - r * 0.2f, s_.torso, 4.0f,
                   0.6f);
            c.Rect(h.x + r * 0.2f, h.y - r * 0.35f, h.x + r * 1.5f, h.y - r * 0.05f, s_.boots, 4.2f,
                   0.0f);
            c.Set(static_cast<int>(face.x + r * 0.4f), static_cast<int>(h.y + 0.3f),
                  RgbaOf(20, 20, 30), 3.0f);
            c.Rect(h.x - r * 0.4f, h.y - r * 0.9f, h.x + r * 0.3f, h.y - r * 0.55f, s_.accent, 4.5f,
                   0.0f, kCellEmissive);
            break;
        case Head::Bald:
            c.Ellipse(h.x, h.y, r, r, s_.skin, 3.0f);
            break;
        }
    }

    // The weapon from the hand along `angle` (degrees, 0 down, + forward).
    void DrawWeapon(Canvas& c, P2 hand, float angle, const Joints& j) const {
        const P2 d = Dir(angle);
        const P2 side{d.y, -d.x};
        (void)j;
        switch (s_.weapon) {
        case Weapon::None:
            break;
        case Weapon::Sword: {
            const P2 tip = Add(hand, d, 13.0f);
            c.Capsule(hand.x - d.x * 1.5f, hand.y - d.y * 1.5f, hand.x + d.x, hand.y + d.y, 0.7f,
                      0.7f, RgbaOf(60, 50, 70), 4.0f);
            const P2 g = Add(hand, d, 1.2f);
            c.Capsule(g.x - side.x * 1.8f, g.y - side.y * 1.8f, g.x + side.x * 1.8f,
                      g.y + side.y * 1.8f, 0.6f, 0.6f, RgbaOf(170, 160, 190), 4.2f);
            c.Capsule(g.x, g.y, tip.x, tip.y, 0.9f, 0.5f, s_.steel, 4.5f,
                      s_.glowWeapon ? kCellEmissive : 0);
            break;
        }
        case Weapon::Sabre: {
            const P2 mid = Add(Add(hand, d, 8.0f), side, -0.8f);
            const P2 tip = Add(Add(hand, d, 15.0f), side, -2.2f);
            c.Capsule(hand.x, hand.y, mid.x, mid.y, 0.6f, 0.55f, s_.steel, 4.5f);
            c.Capsule(mid.x, mid.y, tip.x, tip.y, 0.55f, 0.4f, s_.steel, 4.5f);
            c.Capsule(hand.x - side.x * 1.4f, hand.y - side.y * 1.4f, hand.x + side.x * 1.4f,
                      hand.y + side.y * 1.4f, 0.6f, 0.6f, RgbaOf(210, 170, 60), 4.6f);
            break;
        }
        case Weapon::Cleaver: {
            const P2 base = Add(hand, d, 3.0f);
            const P2 tip = Add(hand, d, 15.0f);
            c.Capsule(hand.x - d.x, hand.y - d.y, base.x, base.y, 0.7f, 0.7f, RgbaOf(70, 50, 40),
                      4.0f);
            c.Polygon({base.x - side.x * 1.0f, base.y - side.y * 1.0f, tip.x - side.x * 1.0f,
                       tip.y - side.y * 1.0f, tip.x + side.x * 3.5f, tip.y + side.y * 3.5f,
                       base.x + side.x * 2.5f, base.y + side.y * 2.5f},
                      s_.steel, 4.0f, 1.0f);
            break;
        }
        case Weapon::Rifle:
        case Weapon::Launcher: {
            const bool launcher = s_.weapon == Weapon::Launcher;
            const P2 back = Add(hand, d, -4.0f);
            const P2 tip = Add(hand, d, launcher ? 9.0f : 11.0f);
            c.Capsule(back.x, back.y, tip.x, tip.y, launcher ? 1.5f : 1.0f, launcher ? 1.7f : 0.8f,
                      s_.steel, 4.0f);
            const P2 mag = Add(Add(hand, d, 2.0f), side, -1.8f);
            c.Capsule(Add(hand, d, 1.5f).x, Add(hand, d, 1.5f).y, mag.x, mag.y, 0.7f, 0.7f,
                      Scale(s_.steel, 0.7f), 3.8f);
            const P2 light = Add(hand, d, launcher ? 6.0f : 8.0f);
            c.Set(static_cast<int>(light.x), static_cast<int>(light.y), s_.accent, 5.0f,
                  kCellEmissive);
            break;
        }
        }
    }

    P2 WeaponTip(const Joints& j) const {
        const float length = s_.weapon == Weapon::Launcher ? 10.0f : 12.0f;
        return Add(j.handF, Dir(p_.shF + p_.elF + p_.weapon), length);
    }

    void Muzzle(Canvas& c, const Joints& j) const {
        const P2 t = WeaponTip(j);
        const float r = p_.muzzle;
        const Rgba core = RgbaOf(255, 240, 220, 1.0f);
        const Rgba hot = s_.weapon == Weapon::Launcher ? RgbaOf(150, 255, 90, 0.85f)
                                                       : RgbaOf(255, 70, 50, 0.85f);
        for (int y = -6; y <= 6; ++y)
            for (int x = -6; x <= 6; ++x) {
                const float d = std::sqrt(static_cast<float>(x * x + y * y));
                const bool spike = (x == 0 || y == 0 || x == y || x == -y) && d <= r * 1.6f;
                if (d <= r * 0.5f)
                    c.Glow(static_cast<int>(t.x) + x, static_cast<int>(t.y) + y, core);
                else if (d <= r || spike)
                    c.Glow(static_cast<int>(t.x) + x, static_cast<int>(t.y) + y, hot);
            }
    }

    void Flash(Canvas& c) const {
        for (int y = 0; y < kArt; ++y)
            for (int x = 0; x < kArt; ++x)
                if (c.Opaque(x, y) && ((x + y) % 2 == 0))
                    c.Glow(x, y, RgbaOf(255, 255, 255, 0.45f * p_.flash));
    }

    void Dissolve(Canvas& c) const {
        for (int y = 0; y < kArt; ++y)
            for (int x = 0; x < kArt; ++x) {
                const float n = Hash01(x, y, 77);
                if (c.Opaque(x, y) && n < p_.dissolve * 0.9f)
                    c.Set(x, y, Rgba{}, 0);
                else if (c.Opaque(x, y) && n < p_.dissolve)
                    c.Glow(x, y, RgbaOf(190, 110, 255, 0.9f));
            }
        // Sparks drifting up out of the body.
        for (int k = 0; k < 18; ++k) {
            const int x = 12 + static_cast<int>(Hash01(k, 1, 91) * 24);
            const int y = 10 + static_cast<int>(Hash01(k, 2, 91) * 30 * (1 - p_.dissolve * 0.5f));
            if (Hash01(k, 3, 91) < p_.dissolve + 0.2f)
                c.Glow(x, y, RgbaOf(220, 160, 255, 0.9f));
        }
    }

    // Fills the band the blade swept between two of its positions.
    void SweepGlow(Canvas& c, P2 hand, P2 tip, P2 hand2, P2 tip2, float alpha) const {
        Rgba col = s_.glowWeapon ? RgbaOf(200, 245, 255, alpha) : RgbaOf(255, 255, 255, alpha);
        const P2 a = Add(hand, P2{tip.x - hand.x, tip.y - hand.y}, 0.45f);
        const P2 b = Add(hand2, P2{tip2.x - hand2.x, tip2.y - hand2.y}, 0.45f);
        c.GlowPolygon({a.x, a.y, tip.x, tip.y, tip2.x, tip2.y, b.x, b.y}, col);
    }

    const Style& s_;
    Pose p_;
};

// A strip of `n` frames from a pose function of (frame, n).
using PoseFn = std::function<Pose(int, int)>;

struct Strip {
    std::string file;
    int frames;
    PoseFn pose;
    bool trail = false; // sweep the weapon's trail between frames
};

std::vector<Canvas> Render(const Style& style, const Strip& strip, bool facesLeft) {
    std::vector<Canvas> out;
    for (int i = 0; i < strip.frames; ++i) {
        const Pose pose = strip.pose(i, strip.frames);
        std::vector<std::pair<P2, P2>> trail;
        if (strip.trail && i > 0 && style.weapon != Weapon::None) {
            // Sample poses between the previous frame and this one; the swept
            // weapon leaves its arc when it moved far enough.
            const Pose prev = strip.pose(i - 1, strip.frames);
            Figure now(style, pose), before(style, prev);
            const auto jn = now.Solve(), jb = before.Solve();
            const P2 tn = Add(jn.handF, Dir(pose.shF + pose.elF + pose.weapon), 13.0f);
            const P2 tb = Add(jb.handF, Dir(prev.shF + prev.elF + prev.weapon), 13.0f);
            const float moved = std::hypot(tn.x - tb.x, tn.y - tb.y);
            if (moved > 6.0f) {
                for (int k = 0; k <= 10; ++k) {
                    const float t = k / 10.0f;
                    Pose mid = pose;
                    mid.shF = Lerp(prev.shF, pose.shF, t);
                    mid.elF = Lerp(prev.elF, pose.elF, t);
                    mid.weapon = Lerp(prev.weapon, pose.weapon, t);
                    mid.lean = Lerp(prev.lean, pose.lean, t);
                    mid.x = Lerp(prev.x, pose.x, t);
                    mid.y = Lerp(prev.y, pose.y, t);
                    Figure f(style, mid);
                    const auto jm = f.Solve();
                    trail.push_back(
                        {jm.handF, Add(jm.handF, Dir(mid.shF + mid.elF + mid.weapon), 13.0f)});
                }
            }
        }
        Canvas c = Figure(style, pose).Draw(trail);
        if (facesLeft)
            c.MirrorX();
        out.push_back(std::move(c));
    }
    return out;
}

// ---- Shared motions --------------------------------------------------------

Pose Stand(float armRest = 10) {
    Pose p;
    p.hipF = 6;
    p.hipB = -6;
    p.kneeF = 4;
    p.kneeB = 4;
    p.shF = armRest;
    p.shB = -armRest;
    return p;
}

Pose Idle(int i, int n, const Pose& rest) {
    Pose p = rest;
    const float breath = std::sin(2 * kPi * i / n);
    p.y += i % 2 == 1 ? 0.6f : 0.0f;
    p.shF += breath * 3;
    p.shB -= breath * 3;
    p.kneeF += i % 2 ? 5 : 0;
    p.kneeB += i % 2 ? 5 : 0;
    return p;
}

Pose Run(int i, int n, const Pose& carry, float stride = 38) {
    Pose p = carry;
    const float ph = 2 * kPi * i / n;
    p.lean = carry.lean + 12;
    p.hipF = stride * std::sin(ph);
    p.hipB = -stride * std::sin(ph);
    p.kneeF = 12 + 50 * std::max(0.0f, -std::cos(ph));
    p.kneeB = 12 + 50 * std::max(0.0f, std::cos(ph));
    p.y = -1.2f * std::fabs(std::cos(ph)) + 0.6f;
    p.shB = carry.shB + 30 * std::sin(ph);
    p.elB = carry.elB + 20;
    if (carry.shF < 30) // a free front arm swings too
        p.shF = carry.shF - 30 * std::sin(ph);
    return p;
}

Pose Hurt(int i, int n, const Pose& rest) {
    Pose p = rest;
    const float k[] = {1.0f, 0.75f, 0.35f};
    const float t = k[std::min(i, 2)];
    (void)n;
    p.lean = -22 * t;
    p.headTilt = -15 * t;
    p.x = -2.5f * t;
    p.shB = -60 * t;
    p.elB = 50;
    p.shF = rest.shF - 25 * t;
    p.kneeF = 20 * t;
    p.kneeB = 25 * t;
    p.flash = i == 0 ? 1.0f : 0.0f;
    return p;
}

// Falls backwards over the first `fallFrames` frames and rests on the last.
Pose Death(int i, int n, const Pose& rest, int fallFrames) {
    Pose p = rest;
    const float t = std::min(1.0f, static_cast<float>(i) / fallFrames);
    const float e = t * t;
    p.fall = 90 * e;
    p.kneeF = 40 * (1 - e) + 10 * e;
    p.kneeB = 55 * (1 - e) + 5 * e;
    p.lean = -10 * t;
    p.headTilt = -20 * t;
    p.shF = rest.shF + 100 * t;
    p.shB = rest.shB - 40 * t;
    p.elF = 10;
    p.flash = i == 0 ? 0.6f : 0.0f;
    p.weaponDropped = i >= fallFrames - 1;
    if (i == fallFrames) { // a small bounce as it hits the floor
        p.fall = 84;
        p.shF = rest.shF + 50;
    }
    if (i > fallFrames) { // at rest: arms slack along the body
        p.fall = 90;
        p.shF = rest.shF - 10;
        p.shB = rest.shB + 10;
    }
    (void)n;
    return p;
}

// A weapon swing through keyed arm angles: each key is
// (time 0..1, shoulder, elbow, weapon, lean, step forward).
struct Key {
    float t, sh, el, weapon, lean, step;
};
Pose Swing(int i, int n, const std::vector<Key>& keys, const Pose& rest) {
    const float t = n > 1 ? static_cast<float>(i) / (n - 1) : 0.0f;
    size_t k = 0;
    while (k + 2 < keys.size() && keys[k + 1].t < t)
        ++k;
    const Key& a = keys[k];
    const Key& b = keys[std::min(k + 1, keys.size() - 1)];
    const float u =
        b.t > a.t ? Smooth(std::min(1.0f, std::max(0.0f, (t - a.t) / (b.t - a.t)))) : 0.0f;
    Pose p = rest;
    p.shF = Lerp(a.sh, b.sh, u);
    p.elF = Lerp(a.el, b.el, u);
    p.weapon = Lerp(a.weapon, b.weapon, u);
    p.lean = Lerp(a.lean, b.lean, u);
    p.x = Lerp(a.step, b.step, u);
    // Lunging steps spread the legs.
    p.hipF = 10 + p.x * 6;
    p.hipB = -10 - p.x * 4;
    p.kneeF = 15 + p.x * 3;
    p.kneeB = 10;
    p.shB = -30 - p.lean;
    p.elB = 40;
    return p;
}

// ---- Characters ------------------------------------------------------------

Style BladeStyle() {
    Style s;
    s.skin = RgbaOf(232, 196, 170);
    s.hair = RgbaOf(40, 36, 52);
    s.torso = RgbaOf(64, 62, 90);
    s.legs = RgbaOf(40, 38, 52);
    s.boots = RgbaOf(30, 24, 26);
    s.arms = RgbaOf(56, 54, 78);
    s.accent = RgbaOf(150, 40, 50);
    s.steel = RgbaOf(200, 245, 255);
    s.coat = RgbaOf(58, 56, 84);
    s.glowWeapon = true;
    s.head = Head::Hair;
    s.weapon = Weapon::Sword;
    s.torsoR = 2.9f;
    return s;
}

void MakeBlade(Output& out) {
    const Style s = BladeStyle();
    Pose rest = Stand(14);
    rest.elF = 35;
    rest.weapon = 20; // sword held low, pointing forward and down
    std::vector<Strip> strips;
    strips.push_back({"blade_leftidle.png", 2, [=](int i, int n) { return Idle(i, n, rest); }});
    strips.push_back({"blade_leftidlerand.png", 8, [=](int i, int n) {
                          // A flourish: the sword turns a full circle in the hand.
                          Pose p = Idle(i % 2, 2, rest);
                          p.shF = 40 + 20 * std::sin(2 * kPi * i / n);
                          p.elF = 50;
                          p.weapon = 45 + 360.0f * i / n;
                          p.headTilt = 8 * std::sin(2 * kPi * i / n);
                          return p;
                      }});
    strips.push_back({"blade_leftrun.png", 8, [=](int i, int n) {
                          Pose carry = rest;
                          carry.shF = 30;
                          carry.elF = 10;
                          carry.weapon = -150; // sword trailing low behind
                          return Run(i, n, carry);
                      }});
    // Light slashes: quick arcs; heavy slashes: wind-ups, big arcs, follow-through.
    const std::vector<Key> slashl = {{0, 140, 30, 30, -5, 0},
                                     {0.3f, 150, 20, 20, -8, 0},
                                     {0.5f, 60, 10, 0, 12, 2},
                                     {0.7f, 10, 20, 10, 15, 3},
                                     {1, 20, 30, 40, 5, 1}};
    const std::vector<Key> slashll = {{0, 10, 20, 30, 10, 1},
                                      {0.25f, -10, 30, 10, 5, 1},
                                      {0.5f, 110, 10, 0, -5, 3},
                                      {0.7f, 160, 20, 10, -10, 3},
                                      {1, 100, 30, 30, 0, 1}};
    const std::vector<Key> slashlll = {{0, 170, 10, 10, -12, 0},
                                       {0.35f, 175, 10, 0, -15, 0},
                                       {0.55f, 90, 0, 0, 10, 3},
                                       {0.8f, 30, 10, 0, 20, 4},
                                       {1, 25, 30, 40, 10, 2}};
    const std::vector<Key> slashlrl = {{0, 40, 80, -40, -5, -1},
                                       {0.3f, 60, 90, -60, -8, -1},
                                       {0.5f, 85, 5, 0, 15, 5},
                                       {0.75f, 88, 0, 0, 18, 6},
                                       {1, 40, 40, 30, 5, 2}};
    const std::vector<Key> slashr = {{0, 100, 60, 60, -10, -1},
                                     {0.3f, 190, 20, 10, -18, -1},
                                     {0.5f, 100, 0, 0, 15, 3},
                                     {0.65f, 20, 10, 0, 25, 5},
                                     {1, 10, 20, 30, 15, 3}};
    const std::vector<Key> slashrr = {{0, 20, 40, 20, 5, 0},
                                      {0.3f, -30, 40, 20, -10, -1},
                                      {0.5f, 80, 0, 0, 10, 3},
                                      {0.7f, 170, 10, 0, -5, 4},
                                      {1, 140, 30, 20, -5, 2}};
    const std::vector<Key> slashrrr = {{0, 60, 40, 40, 0, 0},
                                       {0.3f, -20, 30, 30, 20, -1},
                                       {0.5f, 90, 0, 0, -10, 2},
                                       {0.7f, 200, 0, 0, -20, 3},
                                       {1, 180, 20, 10, -10, 2}};
    const std::vector<Key> slashrlr = {{0, 150, 20, 20, -10, 0},
                                       {0.2f, 60, 10, 0, 10, 2},
                                       {0.45f, 10, 20, 10, 15, 3},
                                       {0.7f, 140, 10, 0, -8, 4},
                                       {1, 40, 30, 40, 5, 2}};
    auto slash = [&](const char* file, int n, const std::vector<Key>& keys) {
        strips.push_back({file, n, [=](int i, int m) { return Swing(i, m, keys, rest); }, true});
    };
    slash("blade_slashl.png", 7, slashl);
    slash("blade_slashll.png", 8, slashll);
    slash("blade_slashlll.png", 6, slashlll);
    slash("blade_slashlrl.png", 7, slashlrl);
    slash("blade_slashr.png", 8, slashr);
    slash("blade_slashrr.png", 8, slashrr);
    slash("blade_slashrrr.png", 8, slashrrr);
    slash("blade_slashrlr.png", 8, slashrlr);
    strips.push_back({"blade_leftdash.png", 8, [=](int i, int n) {
                          // Crouch, burst forward low with the sword swept back, recover.
                          Pose p = rest;
                          const float lean[] = {-5, 25, 45, 48, 48, 40, 20, 5};
                          const float step[] = {-1, 2, 6, 7, 7, 6, 3, 1};
                          p.lean = lean[i];
                          p.x = step[i] - 3;
                          p.hipF = 20 + lean[i] * 0.8f;
                          p.hipB = -30 - lean[i] * 0.5f;
                          p.kneeF = 50;
                          p.kneeB = 20;
                          p.y = i == 0 ? 2.0f : 1.0f;
                          // The sword is swept back level behind him while he flies.
                          p.shF = i < 6 ? -40 : 60;
                          p.elF = i < 6 ? 10 : 20;
                          p.weapon = i < 6 ? -60 : 20;
                          p.shB = -70;
                          (void)n;
                          return p;
                      }});
    strips.push_back({"blade_leftdead.png", 8, [=](int i, int n) { return Death(i, n, rest, 5); }});
    for (const Strip& strip : strips) {
        std::vector<Canvas> frames = Render(s, strip, true);
        if (strip.file == "blade_leftdash.png")
            for (size_t i = 2; i < 6; ++i) // speed streaks behind the dash
                for (int k = 0; k < 6; ++k) {
                    const int y = 18 + k * 4 + static_cast<int>(i % 2);
                    for (int x = 30; x < 46 - k % 3 * 3; ++x)
                        frames[i].Glow(x, y, RgbaOf(190, 235, 255, 0.5f * (x - 30) / 16.0f));
                }
        out.LitStrip(strip.file, frames, 2);
    }
}

// The soldiers share one set of motions; their styles differ.
void MakeSoldier(Output& out, const std::string& stem, const Style& s, int deadFrames, bool heavy) {
    Pose rest = Stand(10);
    rest.shF = 30;
    rest.elF = 60;
    rest.weapon = 0;
    rest.shB = 40;
    rest.elB = 50;
    if (s.weapon == Weapon::Cleaver) {
        rest.shF = 20;
        rest.elF = 40;
        rest.weapon = 60;
        rest.shB = -10;
    }
    auto aim = [=](float angle, int i) {
        // Frame 0 aims, 1 fires with recoil, 2 settles, 3 aims again.
        Pose p = rest;
        const float kick[] = {0, 1, 0.5f, 0};
        p.shF = angle - 5 - 12 * kick[i];
        p.elF = 5;
        p.weapon = 0;
        p.shB = angle - 25 - 8 * kick[i];
        p.elB = 35;
        p.lean = -6 * kick[i] + (angle - 90) * 0.1f;
        p.x = -1.0f * kick[i];
        p.muzzle = i == 1 ? 3.0f : i == 2 ? 1.5f : 0.0f;
        return p;
    };
    std::vector<Strip> strips;
    strips.push_back({stem + "_idle.png", 2, [=](int i, int n) { return Idle(i, n, rest); }});
    strips.push_back({stem + "_run.png", 8,
                      [=](int i, int n) { return Run(i, n, rest, heavy ? 28.0f : 38.0f); }});
    strips.push_back({stem + "_shoot.png", 4, [=](int i, int) { return aim(90, i); }});
    strips.push_back({stem + "_shootup.png", 4, [=](int i, int) { return aim(135, i); }});
    strips.push_back({stem + "_shootdown.png", 4, [=](int i, int) { return aim(50, i); }});
    if (stem == "bioenemy")
        strips.push_back({stem + "_throw.png", 4, [=](int i, int) {
                              // Canister drawn back over the shoulder, then hurled.
                              Pose p = rest;
                              const float sh[] = {170, 200, 110, 40};
                              const float lean[] = {-8, -14, 12, 16};
                              p.shB = sh[i];
                              p.elB = i < 2 ? 40 : 5;
                              p.lean = lean[i];
                              p.x = i >= 2 ? 2.0f : 0.0f;
                              return p;
                          }});
    strips.push_back({stem + "_hurt.png", 3, [=](int i, int n) { return Hurt(i, n, rest); }});
    if (heavy)
        strips.push_back({stem + "_slash.png", 6,
                          [=](int i, int n) {
                              const std::vector<Key> chop = {{0, 60, 40, 40, 0, 0},
                                                             {0.3f, 190, 20, 20, -15, -1},
                                                             {0.55f, 110, 0, 0, 12, 2},
                                                             {0.75f, 30, 10, 10, 22, 3},
                                                             {1, 20, 40, 60, 5, 1}};
                              return Swing(i, n, chop, rest);
                          },
                          true});
    strips.push_back({stem + "_dead.png", deadFrames,
                      [=](int i, int n) { return Death(i, n, rest, deadFrames - 3); }});
    for (const Strip& strip : strips) {
        std::vector<Canvas> frames = Render(s, strip, false);
        if (strip.file == "bioenemy_throw.png") {
            // The canister rides in the back hand until it leaves it.
            for (int i = 0; i < 3; ++i) {
                Figure f(s, strip.pose(i, 4));
                const auto j = f.Solve();
                frames[i].Capsule(j.handB.x, j.handB.y - 1.5f, j.handB.x, j.handB.y + 1.5f, 1.6f,
                                  1.6f, RgbaOf(150, 170, 60), 5.0f);
            }
        }
        out.LitStrip(strip.file, frames, 2);
    }
}

Style CommanderStyle() {
    Style s;
    s.skin = RgbaOf(214, 180, 150);
    s.hair = RgbaOf(200, 200, 210);
    s.torso = RgbaOf(70, 40, 64);
    s.legs = RgbaOf(36, 30, 40);
    s.boots = RgbaOf(22, 18, 20);
    s.arms = RgbaOf(76, 44, 70);
    s.accent = RgbaOf(220, 180, 70);
    s.steel = RgbaOf(215, 215, 230);
    s.coat = RgbaOf(62, 34, 56);
    s.head = Head::Cap;
    s.weapon = Weapon::Sabre;
    s.torsoR = 3.2f;
    return s;
}

void MakeCommander(Output& out) {
    const Style s = CommanderStyle();
    Pose rest = Stand(12);
    rest.elF = 30;
    rest.weapon = 40;
    rest.shB = -20;
    rest.elB = 60; // hand behind the back, an officer's stance
    const std::vector<Key> cut = {{0, 60, 30, 40, 0, 0},      {0.25f, 170, 20, 10, -12, -1},
                                  {0.45f, 120, 0, 0, 8, 2},   {0.65f, 40, 10, 0, 20, 4},
                                  {0.85f, 15, 20, 20, 12, 3}, {1, 20, 30, 40, 4, 1}};
    std::vector<Strip> strips = {
        {"commander_idle.png", 2, [=](int i, int n) { return Idle(i, n, rest); }},
        {"commander_run.png", 8, [=](int i, int n) { return Run(i, n, rest); }},
        {"commander_slash.png", 6, [=](int i, int n) { return Swing(i, n, cut, rest); }, true},
        {"commander_hurt.png", 3, [=](int i, int n) { return Hurt(i, n, rest); }},
        // Beaten: he staggers and sinks to one knee, leaning on nothing.
        {"commander_dead.png", 4,
         [=](int i, int) {
             Pose p = rest;
             const float t = i / 3.0f;
             p.y = 4.5f * t;
             p.hipF = 70 * t;
             p.kneeF = 80 * t;
             p.hipB = -20 * t;
             p.kneeB = 110 * t;
             p.lean = 25 * t;
             p.headTilt = 20 * t;
             p.shF = 20 - 10 * t;
             p.elF = 10;
             p.weapon = 40 + 50 * t;
             p.flash = i == 0 ? 0.8f : 0.0f;
             return p;
         }},
        // The final collapse: he topples forward and vanishes in violet sparks.
        {"commander_reallydead.png", 5, [=](int i, int) {
             Pose p = rest;
             const float t = std::min(1.0f, i / 2.0f);
             p.y = 4.5f;
             p.hipF = 70;
             p.kneeF = 80;
             p.hipB = -20;
             p.kneeB = 110;
             p.lean = 25 + 30 * t;
             p.fallForward = 70 * t * t;
             p.headTilt = 20;
             p.shF = 10 + 60 * t;
             p.weaponDropped = i >= 1;
             p.dissolve = i >= 2 ? (i - 1) / 3.5f : 0.0f;
             return p;
         }}};
    for (const Strip& strip : strips)
        out.LitStrip(strip.file, Render(s, strip, false), 2);
}

void MakeSoldiers(Output& out) {
    Style soldier;
    soldier.skin = RgbaOf(200, 170, 150);
    soldier.torso = RgbaOf(150, 156, 168);
    soldier.legs = RgbaOf(100, 104, 116);
    soldier.boots = RgbaOf(40, 38, 44);
    soldier.arms = RgbaOf(136, 142, 154);
    soldier.accent = RgbaOf(235, 60, 50);
    soldier.steel = RgbaOf(70, 72, 82);
    soldier.head = Head::Helmet;
    soldier.weapon = Weapon::Rifle;
    MakeSoldier(out, "enemy", soldier, 7, false);

    Style heavy = soldier;
    heavy.torso = RgbaOf(132, 126, 136);
    heavy.arms = RgbaOf(140, 134, 144);
    heavy.legs = RgbaOf(96, 92, 100);
    heavy.accent = RgbaOf(255, 140, 40);
    heavy.steel = RgbaOf(170, 170, 180);
    heavy.torsoR = 4.4f;
    heavy.limbR = 1.9f;
    heavy.headR = 3.5f;
    heavy.bulk = 1.15f;
    heavy.weapon = Weapon::Cleaver;
    MakeSoldier(out, "heavyenemy", heavy, 7, true);

    Style bio = soldier;
    bio.torso = RgbaOf(92, 150, 60);
    bio.arms = RgbaOf(84, 140, 56);
    bio.legs = RgbaOf(70, 110, 48);
    bio.boots = RgbaOf(40, 44, 30);
    bio.accent = RgbaOf(190, 240, 120);
    bio.steel = RgbaOf(70, 80, 60);
    bio.head = Head::Hood;
    bio.weapon = Weapon::Launcher;
    bio.torsoR = 3.4f;
    MakeSoldier(out, "bioenemy", bio, 8, false);
}

// The straw dummy on its post, tipped by `angle` degrees about its base.
Canvas Dummy(float angle, bool gun, float muzzle) {
    Canvas c(kArt, kArt);
    const float a = Rad(angle);
    auto at = [&](float x, float y) { // local: x right, y up from the base
        return P2{24 + x * std::cos(a) + y * std::sin(a), 44 + x * std::sin(a) - y * std::cos(a)};
    };
    c.Ellipse(24, 44, 7, 2.2f, RgbaOf(80, 64, 50), 0.5f); // stand
    const P2 b = at(0, 0), t = at(0, 22);
    c.Capsule(b.x, b.y, t.x, t.y, 1.3f, 1.2f, RgbaOf(120, 84, 52), 1.0f);
    const P2 l = at(-10, 21), r = at(10, 21);
    c.Capsule(l.x, l.y, r.x, r.y, 1.2f, 1.2f, RgbaOf(120, 84, 52), 2.0f);
    const P2 body = at(0, 18);
    c.Ellipse(body.x, body.y, 5.5f, 7.0f, RgbaOf(196, 168, 106), 2.0f);
    const P2 rope = at(0, 16);
    c.Capsule(rope.x - 5, rope.y, rope.x + 5, rope.y, 0.7f, 0.7f, RgbaOf(120, 90, 60), 3.0f);
    const P2 head = at(0, 29);
    c.Ellipse(head.x, head.y, 4.2f, 4.0f, RgbaOf(206, 180, 120), 3.0f);
    // Painted target on the chest and stitched eyes.
    c.Ellipse(body.x, body.y + 1, 2.6f, 2.6f, RgbaOf(190, 40, 40), 3.5f);
    c.Ellipse(body.x, body.y + 1, 1.2f, 1.2f, RgbaOf(240, 230, 210), 4.0f);
    c.Set(static_cast<int>(head.x - 2), static_cast<int>(head.y - 1), RgbaOf(40, 30, 20), 3);
    c.Set(static_cast<int>(head.x + 1), static_cast<int>(head.y - 1), RgbaOf(40, 30, 20), 3);
    if (gun) {
        // A little practice blaster strapped to the arm, aimed left.
        const P2 g = at(-11, 21);
        c.Capsule(g.x + 2, g.y, g.x - 5, g.y, 1.3f, 1.0f, RgbaOf(70, 72, 82), 4.0f);
        c.Set(static_cast<int>(g.x - 1), static_cast<int>(g.y - 1), RgbaOf(255, 120, 60), 5,
              kCellEmissive);
        if (muzzle > 0)
            for (int y = -3; y <= 3; ++y)
                for (int x = -4; x <= 1; ++x)
                    if (x * x + y * y * 2 <= muzzle * muzzle * 2)
                        c.Glow(static_cast<int>(g.x - 6) + x, static_cast<int>(g.y) + y,
                               RgbaOf(255, 200, 120, 0.9f));
    }
    return c;
}

void MakeDummy(Output& out) {
    // Hit: it rocks back and settles in a damped wobble.
    const float wobble[] = {0, 16, -11, 7, -4, 2, 0};
    std::vector<Canvas> hit;
    for (float w : wobble)
        hit.push_back(Dummy(w, false, 0));
    out.LitStrip("trainingdummy.png", hit, 2);
    // Shooting: it leans into the shot; frame 2 fires.
    const float lean[] = {0, -4, 5, 3, 1, 0};
    const float flash[] = {0, 0, 3.5f, 1.5f, 0, 0};
    std::vector<Canvas> shoot;
    for (int i = 0; i < 6; ++i)
        shoot.push_back(Dummy(lean[i], true, flash[i]));
    out.LitStrip("trainingdummy_shoot.png", shoot, 2);
}

struct NpcLook {
    const char* body;
    const char* portrait;
    Style style;
};

std::vector<NpcLook> Npcs() {
    Style qm; // the quartermaster: leather apron, bald, broad
    qm.skin = RgbaOf(200, 150, 120);
    qm.torso = RgbaOf(120, 80, 50);
    qm.legs = RgbaOf(70, 60, 54);
    qm.boots = RgbaOf(40, 30, 26);
    qm.arms = RgbaOf(200, 150, 120);
    qm.accent = RgbaOf(200, 170, 90);
    qm.head = Head::Bald;
    qm.torsoR = 3.8f;
    qm.bulk = 1.1f;
    Style prisoner; // ragged grey clothes, shaggy hair
    prisoner.skin = RgbaOf(210, 184, 160);
    prisoner.hair = RgbaOf(120, 90, 60);
    prisoner.torso = RgbaOf(150, 140, 120);
    prisoner.legs = RgbaOf(110, 100, 90);
    prisoner.boots = RgbaOf(70, 60, 50);
    prisoner.arms = RgbaOf(150, 140, 120);
    prisoner.accent = RgbaOf(90, 80, 70);
    Style scout; // a rebel scout in a blue cloak
    scout.skin = RgbaOf(180, 140, 110);
    scout.torso = RgbaOf(50, 90, 140);
    scout.legs = RgbaOf(60, 60, 70);
    scout.boots = RgbaOf(40, 34, 30);
    scout.arms = RgbaOf(50, 90, 140);
    scout.accent = RgbaOf(230, 200, 80);
    scout.coat = RgbaOf(40, 70, 120);
    scout.head = Head::Hood;
    Style smith; // a forge worker from the valley: leather apron, red hair
    smith.skin = RgbaOf(224, 180, 150);
    smith.hair = RgbaOf(170, 70, 40);
    smith.torso = RgbaOf(110, 74, 50);
    smith.legs = RgbaOf(80, 66, 56);
    smith.boots = RgbaOf(44, 34, 28);
    smith.arms = RgbaOf(224, 180, 150);
    smith.accent = RgbaOf(190, 150, 80);
    Style deserter; // a soldier who has taken off his helmet for good
    deserter.skin = RgbaOf(206, 172, 150);
    deserter.hair = RgbaOf(70, 56, 44);
    deserter.torso = RgbaOf(150, 156, 168);
    deserter.legs = RgbaOf(100, 104, 116);
    deserter.boots = RgbaOf(40, 38, 44);
    deserter.arms = RgbaOf(136, 142, 154);
    deserter.accent = RgbaOf(235, 60, 50);
    deserter.steel = RgbaOf(70, 72, 82);
    return {{"npc_quartermaster.png", "portrait_quartermaster.png", qm},
            {"npc_prisoner.png", "portrait_prisoner.png", prisoner},
            {"npc_scout.png", "portrait_scout.png", scout},
            {"npc_smith.png", "portrait_smith.png", smith},
            {"npc_deserter.png", "portrait_deserter.png", deserter}};
}

void MakeNpcs(Output& out) {
    for (const NpcLook& npc : Npcs()) {
        Strip strip{npc.body, 4, [](int i, int n) {
                        Pose p = Stand(12);
                        p.y = (i == 1 || i == 2) ? 0.6f : 0.0f;
                        p.shF = 12 + 6 * std::sin(2 * kPi * i / n);
                        p.headTilt = i == 2 ? 8.0f : 0.0f;
                        return p;
                    }};
        out.LitStrip(npc.body, Render(npc.style, strip, false), 2);
    }
}

// A bust: head and shoulders large. `frame` is the face: 0 at rest, 1 a
// blink, 2 the mouth open, 3 half open.
Image Portrait(const Style& s, int frame, const Rgba& back) {
    Canvas c(kArt, kArt);
    c.drawOutline = true;
    c.Rect(2, 2, 46, 46, back, 0, 3);
    c.Ellipse(24, 50, 19, 14, s.torso, 2);      // shoulders
    c.Capsule(24, 38, 24, 32, 4, 4, s.skin, 3); // neck
    const float r = 11;
    const float hx = 24, hy = 22;
    switch (s.head) {
    case Head::Helmet:
    case Head::Hood:
        c.Ellipse(hx, hy, r + 2, r + 1.5f, s.torso, 4);
        c.Ellipse(hx + 2, hy + 1, r * 0.75f, r * 0.6f, s.accent, 5);
        break;
    case Head::Cap:
        c.Ellipse(hx, hy + 1, r, r * 1.05f, s.skin, 4);
        c.Rect(hx - r - 1, hy - r - 2, hx + r + 1, hy - r * 0.35f, s.torso, 6, 1);
        c.Rect(hx - r, hy - r * 0.5f, hx + r + 3, hy - r * 0.25f, s.boots, 6.5f, 0);
        c.Ellipse(hx, hy - r * 0.8f, 2, 1.5f, s.accent, 7, kCellEmissive);
        break;
    case Head::Bald:
        c.Ellipse(hx, hy, r, r * 1.1f, s.skin, 4);
        break;
    case Head::Hair:
        c.Ellipse(hx, hy, r, r * 1.1f, s.skin, 4);
        c.Ellipse(hx - 3, hy - 6, r, r * 0.6f, s.hair, 5);
        c.Capsule(hx - 9, hy - 4, hx - 10, hy + 8, 3, 2, s.hair, 4.5f);
        break;
    }
    if (s.head != Head::Helmet && s.head != Head::Hood) {
        const bool blink = frame == 1;
        for (int e = -1; e <= 1; e += 2) {
            const int ex = static_cast<int>(hx + 1 + e * 4), ey = static_cast<int>(hy);
            if (blink)
                c.Rect(ex - 1.5f, ey, ex + 2.5f, ey + 1, RgbaOf(60, 40, 40), 5, 0);
            else {
                c.Rect(ex - 1, ey - 1, ex + 2, ey + 2, RgbaOf(240, 240, 240), 5, 0);
                c.Set(ex, ey, RgbaOf(30, 30, 40), 5);
            }
        }
        const float mouth = frame == 2 ? 2.5f : frame == 3 ? 1.3f : 0.6f;
        c.Rect(hx - 2, hy + 6, hx + 4, hy + 6 + mouth, RgbaOf(90, 40, 40), 5, 0);
    } else {
        // A voice light on the mask pulses as they speak.
        const float glow = frame >= 2 ? 1.0f : 0.4f;
        c.Ellipse(hx + 2, hy + 8, 2, 1, Mix(s.steel, s.accent, glow), 6, kCellEmissive);
    }
    Image d, n;
    c.Finish(2, d, n);
    return d;
}

void MakePortraits(Output& out) {
    Style blade = BladeStyle();
    const Style commander = CommanderStyle();
    struct Entry {
        const char* file;
        Style style;
        Rgba back;
    };
    std::vector<Entry> entries = {{"portrait_blade.png", blade, RgbaOf(40, 50, 70)},
                                  {"portrait_commander.png", commander, RgbaOf(70, 30, 40)}};
    for (const NpcLook& npc : Npcs())
        entries.push_back({npc.portrait, npc.style, RgbaOf(50, 46, 40)});
    // The strip loops through a conversation: mostly at rest, a few words,
    // one blink, so neither speaker twitches.
    const int faces[] = {0, 2, 3, 0, 0, 2, 0, 1};
    for (const Entry& e : entries) {
        std::vector<Image> frames;
        for (int face : faces)
            frames.push_back(Portrait(e.style, face, e.back));
        out.FlatImage(e.file, JoinStrip(frames));
    }
}
} // namespace

void MakeCharacters(Output& out) {
    MakeBlade(out);
    MakeSoldiers(out);
    MakeCommander(out);
    MakeDummy(out);
    MakeNpcs(out);
    MakePortraits(out);
}
