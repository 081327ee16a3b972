// Props -- projectiles, stations, the gate, the torch, pickups and room props.
#include "Output.h"

#include <cmath>

namespace {

constexpr float kPi = 3.14159265f;

// A round glow with a hot core, for bolts, flames and bursts.
void Blob(Canvas& c, float cx, float cy, float r, const Rgba& core, const Rgba& rim) {
    for (int y = static_cast<int>(cy - r - 1); y <= static_cast<int>(cy + r + 1); ++y)
        for (int x = static_cast<int>(cx - r - 1); x <= static_cast<int>(cx + r + 1); ++x) {
            const float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy) / r;
            if (d > 1)
                continue;
            c.Set(x, y, Mix(core, rim, d), 1.0f, kCellEmissive);
        }
}

void MakeProjectiles(Output& out) {
    // The laser bolt, pointing right, pulsing.
    std::vector<Canvas> bolt;
    for (int i = 0; i < 3; ++i) {
        Canvas c(24, 24);
        const float len = 6.0f + i;
        c.Capsule(12 - len, 12, 12 + len * 0.6f, 12, 1.6f + 0.3f * (i == 1), 2.2f,
                  RgbaOf(255, 60, 40), 1.0f, kCellEmissive);
        c.Capsule(12 - len + 2, 12, 12 + len * 0.5f, 12, 0.7f, 1.0f, RgbaOf(255, 230, 210), 1.5f,
                  kCellEmissive);
        bolt.push_back(c);
    }
    out.LitStrip("enemy_projectile.png", bolt, 2);
    // The bolt bursting into sparks.
    std::vector<Canvas> pop;
    for (int i = 0; i < 4; ++i) {
        Canvas c(24, 24);
        const float r = 2.5f + i * 2.2f;
        if (i < 2)
            Blob(c, 12, 12, 4.0f - i, RgbaOf(255, 240, 220), RgbaOf(255, 80, 50));
        for (int k = 0; k < 8; ++k) {
            const float a = k * kPi / 4 + i * 0.2f;
            const int x = static_cast<int>(12 + std::cos(a) * r),
                      y = static_cast<int>(12 + std::sin(a) * r);
            const int tx = static_cast<int>(12 + std::cos(a) * (r - 2)),
                      ty = static_cast<int>(12 + std::sin(a) * (r - 2));
            c.Capsule(tx, ty, x, y, 0.6f, 0.9f, RgbaOf(255, 140 - i * 20, 60), 1.0f, kCellEmissive);
        }
        pop.push_back(c);
    }
    out.LitStrip("enemy_projectile_destroy.png", pop, 2);
    // The gas canister tumbling (0 to 3), then the burst (4).
    std::vector<Canvas> nade;
    for (int i = 0; i < 5; ++i) {
        Canvas c(24, 24);
        if (i < 4) {
            const float a = i * kPi / 4;
            const float dx = std::cos(a) * 3.5f, dy = std::sin(a) * 3.5f;
            c.Capsule(12 - dx, 12 - dy, 12 + dx, 12 + dy, 3.0f, 3.0f, RgbaOf(120, 160, 50), 1.0f);
            c.Capsule(12 + dx * 0.9f, 12 + dy * 0.9f, 12 + dx * 1.2f, 12 + dy * 1.2f, 2.0f, 2.0f,
                      RgbaOf(90, 90, 100), 2.0f);
            c.Set(12, 12, RgbaOf(230, 230, 60), 4.0f, kCellEmissive);
        } else {
            for (int k = 0; k < 7; ++k) {
                const float a = k * 2 * kPi / 7;
                c.Ellipse(12 + std::cos(a) * 5, 12 + std::sin(a) * 5, 4.0f, 3.5f,
                          RgbaOf(140, 200, 70), 2.0f);
            }
            Blob(c, 12, 12, 4.0f, RgbaOf(230, 255, 160), RgbaOf(140, 210, 80));
        }
        nade.push_back(c);
    }
    out.LitStrip("bioenemy_nade.png", nade, 2);
}

// A refill station: a steel cabinet holding a glass tank of light.
Canvas Station(const Rgba& liquid, float level, float pulse, float beam, int frame) {
    Canvas c(48, 48);
    const Rgba steel = RgbaOf(96, 100, 112), dark = RgbaOf(60, 62, 72);
    c.Ellipse(24, 43, 11, 3, dark, 0.5f);
    c.Rect(15, 10, 33, 43, steel, 1.0f, 2.0f);
    c.Rect(13, 6, 35, 11, dark, 2.0f, 1.0f);
    c.Rect(13, 38, 35, 44, dark, 2.0f, 1.0f);
    // Tank.
    c.Rect(18, 13, 30, 36, RgbaOf(30, 34, 44), 2.5f, 0.0f);
    const float top = 35 - 21 * level;
    if (level > 0)
        c.Rect(18, top, 30, 36, Mix(liquid, RgbaOf(255, 255, 255), 0.15f * pulse), 2.5f, 0.0f,
               kCellEmissive);
    // Bubbles rise through the tank.
    for (int k = 0; k < 3 && level > 0.1f; ++k) {
        const int bx = 20 + k * 4;
        const int by = 34 - (frame * 3 + k * 7) % 20;
        if (by > top)
            c.Set(bx, by, Mix(liquid, RgbaOf(255, 255, 255), 0.6f), 3.0f, kCellEmissive);
    }
    // Glass glint and a status lamp.
    c.Rect(19, 14, 20, 30, RgbaOf(200, 220, 240, 1.0f), 3.0f, 0.0f);
    c.Ellipse(24, 8.5f, 1.6f, 1.3f, level > 0 ? liquid : RgbaOf(50, 50, 50), 3.0f,
              level > 0 ? kCellEmissive : 0);
    if (beam > 0)
        for (int y = 2; y < 44; ++y)
            for (int x = 10; x < 38; ++x) {
                const float d = std::fabs(x + 0.5f - 24) / 14.0f;
                Rgba g = Mix(liquid, RgbaOf(255, 255, 255), 0.4f);
                g.a = beam * (1 - d) * 0.55f * (0.6f + 0.4f * Hash01(x, y + frame, 5));
                if (g.a > 0.02f)
                    c.Glow(x, y, g);
            }
    return c;
}

void MakeStations(Output& out) {
    const struct {
        const char* stem;
        Rgba liquid;
    } kinds[] = {{"hpstation", RgbaOf(235, 50, 60)}, {"mpstation", RgbaOf(60, 120, 255)}};
    for (const auto& k : kinds) {
        const std::string stem = k.stem;
        std::vector<Canvas> idle, action, empty;
        for (int i = 0; i < 4; ++i)
            idle.push_back(Station(k.liquid, 0.85f, 0.5f + 0.5f * std::sin(i * kPi / 2), 0, i));
        for (int i = 0; i < 8; ++i) {
            const float t = i / 7.0f;
            action.push_back(Station(k.liquid, 0.85f * (1 - 0.6f * t), 1.0f, std::sin(t * kPi), i));
        }
        for (int i = 0; i < 2; ++i)
            empty.push_back(Station(k.liquid, 0, 0, 0, i));
        out.LitStrip(stem + "_idle.png", idle, 2);
        out.LitStrip(stem + "_action.png", action, 2);
        out.LitStrip(stem + "_empty.png", empty, 2);
    }
}

void MakeGate(Output& out) {
    // Iron bars sliding up into the lintel: frame 0 shut, frame 3 open.
    std::vector<Canvas> frames;
    for (int i = 0; i < 4; ++i) {
        Canvas c(48, 32);
        const float lift = i * 9.0f;
        for (int b = 0; b < 7; ++b) {
            const float x = 4 + b * 6.7f;
            const float y1 = 31 - lift;
            if (y1 > 6)
                c.Capsule(x, 4, x, y1, 1.2f, 1.2f, RgbaOf(110, 110, 124), 1.0f);
            if (y1 > 8)
                c.Polygon({x - 1.5f, y1 - 1, x + 1.5f, y1 - 1, x, y1 + 1.5f}, RgbaOf(150, 150, 160),
                          2.0f, 0.5f);
        }
        for (float cross : {12.0f, 24.0f})
            if (cross < 31 - lift)
                c.Rect(2, cross - lift, 46, cross + 1.5f - lift, RgbaOf(90, 88, 98), 2.0f, 0.5f);
        c.Rect(0, 0, 48, 5, RgbaOf(70, 66, 74), 3.0f, 1.0f);
        frames.push_back(c);
    }
    out.LitStrip("prop_gate.png", frames, 2);
}

void MakeTorch(Output& out) {
    std::vector<Canvas> frames;
    for (int i = 0; i < 3; ++i) {
        Canvas c(16, 16);
        c.Capsule(8, 15, 8, 9, 1.0f, 1.2f, RgbaOf(110, 76, 48), 1.0f);
        c.Rect(5.5f, 8, 10.5f, 10, RgbaOf(90, 90, 100), 2.0f, 0.5f);
        const float sway = (i - 1) * 0.8f;
        const float h = 5.5f + (i == 1 ? 1.0f : 0.0f);
        c.Polygon({5, 8, 11, 8, 8 + sway * 1.5f, 8 - h}, RgbaOf(255, 140, 40), 2.0f, 0.0f,
                  kCellEmissive);
        c.Polygon({6.5f, 8, 9.5f, 8, 8 + sway, 8 - h * 0.6f}, RgbaOf(255, 230, 140), 2.5f, 0.0f,
                  kCellEmissive);
        frames.push_back(c);
    }
    out.LitStrip("prop_torch.png", frames, 2);
}

void MakePickup(Output& out) {
    Canvas c(7, 10);
    c.drawOutline = false;
    c.Rect(2.5f, 0, 4.5f, 1, RgbaOf(140, 100, 60), 2.0f, 0.0f);
    c.Rect(2.5f, 1, 4.5f, 3, RgbaOf(160, 200, 230), 2.0f, 0.0f);
    c.Ellipse(3.5f, 6.3f, 3.4f, 3.6f, RgbaOf(60, 120, 255), 1.0f);
    c.Ellipse(3.5f, 7.0f, 2.2f, 2.2f, RgbaOf(140, 190, 255), 2.0f, kCellEmissive);
    c.Set(2, 5, RgbaOf(230, 240, 255), 3.0f, kCellEmissive);
    out.LitStrip("pickup_mana.png", {c}, 2);
}

void MakeRoomProps(Output& out) {
    const Rgba wood = RgbaOf(140, 96, 56), woodDark = RgbaOf(96, 64, 40);
    const Rgba iron = RgbaOf(100, 104, 116), stone = RgbaOf(120, 116, 110);
    { // crate
        Canvas c(24, 24);
        c.Rect(3, 5, 21, 22, wood, 0.0f, 1.5f);
        c.Rect(3, 5, 21, 8, woodDark, 2.0f, 0.5f);
        c.Polygon({4, 21, 6, 21, 20, 9, 18, 9}, woodDark, 2.5f, 0.5f);
        c.Rect(3, 13, 21, 14, woodDark, 2.5f, 0.3f);
        out.LitStrip("prop_crate.png", {c}, 2);
    }
    { // barrel
        Canvas c(24, 24);
        c.Ellipse(12, 14, 7.5f, 9, wood, 0.0f);
        c.Rect(5, 8, 19, 9, iron, 6.0f, 0.3f);
        c.Rect(5, 19, 19, 20, iron, 6.0f, 0.3f);
        c.Ellipse(12, 6, 6.5f, 2.2f, woodDark, 7.0f);
        out.LitStrip("prop_barrel.png", {c}, 2);
    }
    { // urn
        Canvas c(24, 24);
        c.Ellipse(12, 15, 7, 7.5f, RgbaOf(170, 100, 70), 0.0f);
        c.Rect(9, 4, 15, 9, RgbaOf(150, 86, 60), 3.0f, 1.0f);
        c.Ellipse(12, 4, 4, 1.5f, RgbaOf(110, 60, 40), 5.0f);
        c.Rect(6, 13, 18, 14, RgbaOf(220, 180, 90), 6.0f, 0.2f);
        out.LitStrip("prop_urn.png", {c}, 2);
    }
    { // ammunition box
        Canvas c(24, 24);
        c.Rect(2, 9, 22, 21, RgbaOf(80, 100, 70), 0.0f, 1.5f);
        c.Rect(2, 9, 22, 11, RgbaOf(60, 76, 54), 2.0f, 0.4f);
        c.Rect(9, 13, 15, 17, RgbaOf(230, 200, 60), 2.5f, 0.4f);
        c.Rect(10, 6, 14, 9, iron, 2.0f, 0.4f);
        out.LitStrip("prop_ammo_box.png", {c}, 2);
    }
    { // pillar
        Canvas c(24, 48);
        c.Rect(5, 4, 19, 44, stone, 0.0f, 3.0f);
        c.Rect(3, 1, 21, 6, Scale(stone, 0.85f), 3.0f, 1.0f);
        c.Rect(3, 42, 21, 47, Scale(stone, 0.85f), 3.0f, 1.0f);
        for (int y = 12; y < 42; y += 9)
            c.Rect(5, y, 19, y + 1, Scale(stone, 0.7f), 1.0f, 0.0f);
        out.LitStrip("prop_pillar.png", {c}, 2);
    }
    { // rubble
        Canvas c(24, 24);
        for (int k = 0; k < 9; ++k)
            c.Ellipse(4 + Hash01(k, 0, 3) * 16, 10 + Hash01(k, 1, 3) * 10, 2 + Hash01(k, 2, 3) * 3,
                      1.5f + Hash01(k, 3, 3) * 2, Scale(stone, 0.7f + 0.4f * Hash01(k, 4, 3)),
                      0.0f);
        out.LitStrip("prop_rubble.png", {c}, 2);
    }
    { // weapon rack with spears
        Canvas c(32, 24);
        c.Rect(2, 18, 30, 21, woodDark, 0.0f, 0.5f);
        c.Rect(2, 6, 30, 8, woodDark, 1.0f, 0.5f);
        for (int k = 0; k < 5; ++k) {
            const float x = 5 + k * 5.5f;
            c.Capsule(x, 20, x + 1, 3, 0.6f, 0.6f, wood, 2.0f);
            c.Polygon({x, 3, x + 2, 3, x + 1, -1}, iron, 3.0f, 0.5f);
        }
        out.LitStrip("prop_weapon_rack.png", {c}, 2);
    }
    { // the army's banner
        Canvas c(16, 32);
        c.Capsule(1, 2, 15, 2, 0.8f, 0.8f, iron, 2.0f);
        c.Polygon({2, 3, 14, 3, 14, 29, 8, 25, 2, 29}, RgbaOf(140, 30, 40), 0.0f, 1.0f);
        c.Polygon({8, 8, 11, 13, 8, 18, 5, 13}, RgbaOf(220, 180, 70), 1.5f, 0.5f);
        out.LitStrip("prop_banner.png", {c}, 2);
    }
}

// Props of the story's rooms: scenery for the cells, the forges, the gas
// works, the barracks and the Commander's hall, and the brazier's flame.
void MakeStoryProps(Output& out) {
    const Rgba wood = RgbaOf(140, 96, 56), woodDark = RgbaOf(96, 64, 40);
    const Rgba iron = RgbaOf(100, 104, 116), bone = RgbaOf(214, 204, 178);
    { // bones of someone the cells forgot
        Canvas c(24, 24);
        c.Ellipse(8, 9, 3.5f, 3, bone, 1.0f); // skull
        c.Set(7, 9, RgbaOf(40, 30, 30), 2.0f);
        c.Set(9, 9, RgbaOf(40, 30, 30), 2.0f);
        c.Capsule(11, 12, 20, 18, 0.9f, 0.9f, bone, 0.5f);
        c.Capsule(13, 19, 21, 13, 0.8f, 0.8f, Scale(bone, 0.9f), 0.8f);
        for (int k = 0; k < 4; ++k)
            c.Capsule(4 + k * 1.5f, 15 + k * 1.2f, 8 + k * 1.5f, 14 + k * 1.2f, 0.6f, 0.6f,
                      Scale(bone, 0.85f), 0.4f);
        out.LitStrip("prop_bones.png", {c}, 2);
    }
    { // a grain sack, tied at the neck
        Canvas c(24, 24);
        const Rgba burlap = RgbaOf(170, 146, 100);
        c.Ellipse(12, 15, 8, 7.5f, burlap, 0.0f);
        c.Ellipse(12, 7, 4, 3, Scale(burlap, 0.9f), 3.0f);
        c.Rect(9, 8.5f, 15, 10, RgbaOf(110, 80, 50), 5.0f, 0.3f);
        for (int k = 0; k < 3; ++k)
            c.Rect(7 + k * 4, 14, 8 + k * 4, 15, Scale(burlap, 0.75f), 4.0f, 0.0f);
        out.LitStrip("prop_sack.png", {c}, 2);
    }
    { // an anvil on its block
        Canvas c(24, 24);
        c.Rect(7, 14, 17, 22, woodDark, 0.0f, 1.0f);
        c.Polygon({3, 8, 19, 8, 22, 10, 19, 13, 15, 13, 15, 15, 9, 15, 9, 13, 6, 13}, iron, 2.0f,
                  1.0f);
        c.Rect(6, 8, 19, 9.5f, Scale(iron, 1.3f), 4.5f, 0.3f);
        out.LitStrip("prop_anvil.png", {c}, 2);
    }
    { // a gas vat: a riveted tank with a glowing gauge
        Canvas c(24, 48);
        const Rgba tank = RgbaOf(90, 110, 96);
        c.Ellipse(12, 43, 10, 3, RgbaOf(40, 46, 44), 0.0f);
        c.Rect(3, 10, 21, 43, tank, 0.0f, 4.0f);
        c.Ellipse(12, 10, 9, 4, Scale(tank, 1.15f), 4.0f);
        for (float y : {18.0f, 32.0f})
            c.Rect(3, y, 21, y + 1.2f, Scale(tank, 0.7f), 5.0f, 0.2f);
        c.Ellipse(12, 25, 3, 3, RgbaOf(30, 34, 30), 5.0f);
        c.Ellipse(12, 25, 2, 2, RgbaOf(150, 230, 70), 6.0f, kCellEmissive);
        c.Capsule(12, 6, 12, 1, 1.2f, 1.2f, iron, 6.0f);
        c.Rect(2, 40, 6, 44, RgbaOf(220, 190, 40), 3.0f, 0.3f); // hazard stripe
        c.Rect(18, 40, 22, 44, RgbaOf(220, 190, 40), 3.0f, 0.3f);
        out.LitStrip("prop_vat.png", {c}, 2);
    }
    { // a soldier's bunk seen from above
        Canvas c(24, 48);
        c.Rect(2, 4, 22, 46, woodDark, 0.0f, 1.0f);
        c.Rect(4, 6, 20, 44, RgbaOf(120, 120, 110), 2.0f, 1.5f); // mattress
        c.Rect(5, 7, 19, 14, RgbaOf(200, 196, 180), 4.0f, 1.5f); // pillow
        c.Rect(4, 22, 20, 43, RgbaOf(70, 80, 60), 3.5f, 1.0f);   // blanket
        c.Rect(4, 22, 20, 24, RgbaOf(90, 100, 76), 4.0f, 0.3f);
        out.LitStrip("prop_bunk.png", {c}, 2);
    }
    { // a long table with a tankard and a map
        Canvas c(48, 24);
        c.Rect(2, 5, 46, 21, wood, 0.0f, 1.0f);
        for (int k = 1; k < 4; ++k)
            c.Rect(2, 5 + k * 4.0f, 46, 5.5f + k * 4.0f, woodDark, 1.5f, 0.0f);
        c.Rect(26, 8, 40, 17, RgbaOf(210, 196, 160), 2.5f, 0.3f);
        c.Capsule(29, 11, 36, 14, 0.4f, 0.4f, RgbaOf(140, 40, 40), 3.0f);
        c.Ellipse(12, 12, 2.5f, 2.5f, iron, 3.0f);
        c.Ellipse(12, 12, 1.5f, 1.5f, RgbaOf(90, 60, 30), 4.0f);
        out.LitStrip("prop_table.png", {c}, 2);
    }
    { // chains hanging from a wall ring
        Canvas c(16, 32);
        c.Ellipse(8, 3, 3, 2, iron, 1.0f);
        for (int k = 0; k < 8; ++k) {
            const float y = 5 + k * 3.2f;
            if (k % 2 == 0)
                c.Ellipse(6 + k * 0.3f, y, 1.2f, 1.8f, iron, 2.0f);
            else
                c.Ellipse(6 + k * 0.3f, y, 0.7f, 1.8f, Scale(iron, 0.8f), 2.5f);
        }
        c.Capsule(9, 28, 13, 29, 1.4f, 1.4f, Scale(iron, 0.9f), 2.0f); // the cuff
        out.LitStrip("prop_chains.png", {c}, 2);
    }
    { // the Commander's chair of state
        Canvas c(32, 48);
        const Rgba gold = RgbaOf(210, 170, 80), velvet = RgbaOf(120, 20, 32);
        c.Rect(4, 2, 28, 44, RgbaOf(50, 40, 44), 0.0f, 2.0f);
        c.Polygon({4, 8, 16, 0, 28, 8}, gold, 1.0f, 1.0f);
        c.Rect(7, 8, 25, 30, velvet, 2.0f, 1.5f);
        c.Rect(7, 30, 25, 42, Scale(velvet, 0.85f), 3.0f, 1.5f);
        c.Rect(2, 26, 7, 44, gold, 3.5f, 1.0f);
        c.Rect(25, 26, 30, 44, gold, 3.5f, 1.0f);
        c.Ellipse(16, 5, 2, 2, RgbaOf(200, 40, 60), 3.0f, kCellEmissive);
        out.LitStrip("prop_throne.png", {c}, 2);
    }
    // The brazier: an iron bowl of coals, its flames in three frames.
    std::vector<Canvas> brazier;
    for (int i = 0; i < 3; ++i) {
        Canvas c(24, 24);
        c.Capsule(6, 22, 9, 14, 0.8f, 0.8f, iron, 0.5f);
        c.Capsule(18, 22, 15, 14, 0.8f, 0.8f, iron, 0.5f);
        c.Polygon({3, 12, 21, 12, 18, 17, 6, 17}, Scale(iron, 0.9f), 1.5f, 1.0f);
        for (int k = 0; k < 6; ++k)
            c.Ellipse(6 + k * 2.4f, 12, 1.5f, 1.0f, RgbaOf(255, 120 + 20 * ((k + i) % 3), 40), 2.5f,
                      kCellEmissive);
        const float sway = (i - 1) * 1.0f;
        c.Polygon({5, 12, 19, 12, 12 + sway * 1.5f, 2.0f + (i == 1 ? 0.0f : 1.5f)},
                  RgbaOf(255, 140, 40), 3.0f, 0.0f, kCellEmissive);
        c.Polygon({8, 12, 16, 12, 12 + sway, 6.0f}, RgbaOf(255, 230, 140), 3.5f, 0.0f,
                  kCellEmissive);
        brazier.push_back(c);
    }
    out.LitStrip("prop_brazier.png", brazier, 2);
}

} // namespace

void MakeProps(Output& out) {
    MakeProjectiles(out);
    MakeStations(out);
    MakeGate(out);
    MakeTorch(out);
    MakePickup(out);
    MakeRoomProps(out);
    MakeStoryProps(out);
}
