// Terrain -- the 48 x 48 tile atlases of floors, walls, corners and the void.
//
// Each wall piece is drawn from which of its eight neighbours are floor: the
// wall's top is dark stone with a lit rim where it meets the floor, and a wall
// with floor below it shows its brick face, so the pieces join seamlessly.
//
// The core atlas holds the 14 pieces. Each themed atlas of the story holds
// the same pieces in its own materials, then floor variations (cracks,
// growth, stains, a grate, a puddle, the nine pieces of a rug) and top walls
// with cracks, growth, pipes or a grille, so rooms do not all look alike.
#include "Output.h"

#include "core/AssetManifest.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kCell = kAssetTileSize / 2; // art cells per tile
constexpr int kFaceTop = kCell - 13;      // the brick face of a wall seen from the south

// Floor neighbours: bit order N, NE, E, SE, S, SW, W, NW.
enum : int { N = 1, NE = 2, E = 4, SE = 8, S = 16, SW = 32, W = 64, NW = 128 };

enum class FloorKind { Flagstones, Plates, Planks, Marble, Diamond };

// The materials of one atlas.
struct Theme {
    const char* name; // "core" or the story theme (terrain_<name>.png)
    FloorKind floor;
    Rgba floorDark, floorLight, grout;
    Rgba brickTop, brickBottom, mortar, faceEdge; // the wall's face
    Rgba capNear, capFar, rim, rimInner;          // the wall's top
    Rgba growth;                                  // moss, soot or sludge
    Rgba stain;                                   // blood
    Rgba rugField, rugBorder, rugTrim;
    Rgba metal; // grates, pipes, grilles
    int seed;
};

const Theme kCore = {"core",
                     FloorKind::Flagstones,
                     RgbaOf(78, 74, 80),
                     RgbaOf(98, 92, 96),
                     RgbaOf(40, 36, 42),
                     RgbaOf(92, 82, 84),
                     RgbaOf(64, 56, 62),
                     RgbaOf(40, 34, 40),
                     RgbaOf(150, 140, 130),
                     RgbaOf(82, 78, 88),
                     RgbaOf(42, 40, 50),
                     RgbaOf(150, 140, 132),
                     RgbaOf(110, 104, 104),
                     RgbaOf(70, 110, 50),
                     RgbaOf(110, 16, 20),
                     RgbaOf(120, 30, 36),
                     RgbaOf(70, 20, 26),
                     RgbaOf(210, 170, 80),
                     RgbaOf(96, 100, 112),
                     5};

// The story's themes, in the order the story meets them.
std::vector<Theme> StoryThemes() {
    std::vector<Theme> themes;
    Theme cells = kCore; // cold wet stone, moss in the joints
    cells.name = "cells";
    cells.floorDark = RgbaOf(66, 72, 82);
    cells.floorLight = RgbaOf(86, 92, 102);
    cells.grout = RgbaOf(32, 36, 44);
    cells.brickTop = RgbaOf(84, 88, 98);
    cells.brickBottom = RgbaOf(54, 58, 68);
    cells.capNear = RgbaOf(76, 80, 92);
    cells.capFar = RgbaOf(36, 40, 50);
    cells.growth = RgbaOf(72, 118, 58);
    cells.rugField = RgbaOf(90, 70, 50); // straw matting
    cells.rugBorder = RgbaOf(70, 54, 38);
    cells.rugTrim = RgbaOf(140, 120, 80);
    cells.seed = 11;
    themes.push_back(cells);

    Theme forge = kCore; // iron plates, soot and rust
    forge.name = "forge";
    forge.floor = FloorKind::Plates;
    forge.floorDark = RgbaOf(70, 62, 58);
    forge.floorLight = RgbaOf(96, 84, 76);
    forge.grout = RgbaOf(34, 28, 26);
    forge.brickTop = RgbaOf(110, 70, 56);
    forge.brickBottom = RgbaOf(70, 44, 38);
    forge.mortar = RgbaOf(36, 26, 24);
    forge.faceEdge = RgbaOf(170, 130, 100);
    forge.capNear = RgbaOf(80, 70, 66);
    forge.capFar = RgbaOf(40, 34, 34);
    forge.rim = RgbaOf(170, 140, 110);
    forge.rimInner = RgbaOf(120, 100, 86);
    forge.growth = RgbaOf(28, 24, 24);    // soot
    forge.rugField = RgbaOf(100, 60, 40); // a leather mat
    forge.rugBorder = RgbaOf(70, 40, 28);
    forge.rugTrim = RgbaOf(180, 130, 60);
    forge.metal = RgbaOf(120, 106, 96);
    forge.seed = 23;
    themes.push_back(forge);

    Theme vents = kCore; // tread plate, green sludge
    vents.name = "vents";
    vents.floor = FloorKind::Diamond;
    vents.floorDark = RgbaOf(70, 80, 76);
    vents.floorLight = RgbaOf(92, 104, 98);
    vents.grout = RgbaOf(30, 38, 36);
    vents.brickTop = RgbaOf(84, 96, 92);
    vents.brickBottom = RgbaOf(52, 62, 60);
    vents.mortar = RgbaOf(30, 38, 36);
    vents.faceEdge = RgbaOf(150, 170, 150);
    vents.capNear = RgbaOf(74, 86, 84);
    vents.capFar = RgbaOf(34, 44, 44);
    vents.rim = RgbaOf(140, 160, 146);
    vents.rimInner = RgbaOf(100, 116, 106);
    vents.growth = RgbaOf(120, 170, 50); // sludge
    vents.stain = RgbaOf(100, 20, 22);
    vents.rugField = RgbaOf(150, 130, 40); // hazard matting
    vents.rugBorder = RgbaOf(40, 40, 40);
    vents.rugTrim = RgbaOf(200, 180, 50);
    vents.metal = RgbaOf(110, 124, 120);
    vents.seed = 37;
    themes.push_back(vents);

    Theme barracks = kCore; // plank floors on warm stone
    barracks.name = "barracks";
    barracks.floor = FloorKind::Planks;
    barracks.floorDark = RgbaOf(92, 66, 46);
    barracks.floorLight = RgbaOf(118, 86, 58);
    barracks.grout = RgbaOf(44, 30, 22);
    barracks.brickTop = RgbaOf(104, 90, 76);
    barracks.brickBottom = RgbaOf(70, 58, 50);
    barracks.capNear = RgbaOf(88, 80, 74);
    barracks.capFar = RgbaOf(44, 38, 36);
    barracks.growth = RgbaOf(60, 54, 40); // mud
    barracks.rugField = RgbaOf(120, 36, 40);
    barracks.rugBorder = RgbaOf(60, 40, 30);
    barracks.rugTrim = RgbaOf(200, 160, 80);
    barracks.seed = 41;
    themes.push_back(barracks);

    Theme keep = kCore; // granite slabs, the army's red
    keep.name = "keep";
    keep.floor = FloorKind::Marble;
    keep.floorDark = RgbaOf(70, 70, 76);
    keep.floorLight = RgbaOf(92, 90, 98);
    keep.grout = RgbaOf(30, 30, 36);
    keep.brickTop = RgbaOf(96, 94, 104);
    keep.brickBottom = RgbaOf(58, 56, 66);
    keep.capNear = RgbaOf(84, 82, 94);
    keep.capFar = RgbaOf(38, 36, 46);
    keep.growth = RgbaOf(64, 90, 60);
    keep.rugField = RgbaOf(130, 26, 32);
    keep.rugBorder = RgbaOf(70, 16, 22);
    keep.rugTrim = RgbaOf(220, 180, 80);
    keep.seed = 53;
    themes.push_back(keep);

    Theme hall = kCore; // black marble and gold
    hall.name = "hall";
    hall.floor = FloorKind::Marble;
    hall.floorDark = RgbaOf(44, 40, 50);
    hall.floorLight = RgbaOf(66, 60, 72);
    hall.grout = RgbaOf(150, 120, 60); // gilded joints
    hall.brickTop = RgbaOf(70, 60, 70);
    hall.brickBottom = RgbaOf(40, 34, 44);
    hall.mortar = RgbaOf(24, 20, 28);
    hall.faceEdge = RgbaOf(210, 170, 90);
    hall.capNear = RgbaOf(66, 58, 70);
    hall.capFar = RgbaOf(28, 24, 32);
    hall.rim = RgbaOf(200, 160, 90);
    hall.rimInner = RgbaOf(130, 104, 70);
    hall.growth = RgbaOf(50, 40, 56); // dust and ash
    hall.rugField = RgbaOf(110, 20, 30);
    hall.rugBorder = RgbaOf(40, 10, 16);
    hall.rugTrim = RgbaOf(230, 190, 90);
    hall.metal = RgbaOf(150, 130, 90);
    hall.seed = 67;
    themes.push_back(hall);
    return themes;
}

int FloorAround(int id) {
    switch (id) {
    case kTerrainLeftWall:
        return NE | E | SE;
    case kTerrainRightWall:
        return NW | W | SW;
    case kTerrainTopWall:
        return SW | S | SE;
    case kTerrainBottomWall:
        return NW | N | NE;
    case kTerrainOuterTopLeft:
        return SE;
    case kTerrainOuterTopRight:
        return SW;
    case kTerrainOuterBottomLeft:
        return NE;
    case kTerrainOuterBottomRight:
        return NW;
    case kTerrainInnerFloorUpLeft:
        return N | NW | W | NE | SW;
    case kTerrainInnerFloorUpRight:
        return N | NE | E | NW | SE;
    case kTerrainInnerFloorDownLeft:
        return S | SW | W | SE | NW;
    case kTerrainInnerFloorDownRight:
        return S | SE | E | SW | NE;
    default:
        return 0;
    }
}

// Distance from a point of the tile (cells) to the nearest floor neighbour.
float FloorDistance(float x, float y, int floor) {
    const int bits[8] = {N, NE, E, SE, S, SW, W, NW};
    const int ox[8] = {0, 1, 1, 1, 0, -1, -1, -1}, oy[8] = {-1, -1, 0, 1, 1, 1, 0, -1};
    float best = 1e9f;
    for (int k = 0; k < 8; ++k) {
        if (!(floor & bits[k]))
            continue;
        const float x0 = ox[k] * kCell, y0 = oy[k] * kCell;
        const float dx = std::max({x0 - x, 0.0f, x - (x0 + kCell)});
        const float dy = std::max({y0 - y, 0.0f, y - (y0 + kCell)});
        best = std::min(best, std::sqrt(dx * dx + dy * dy));
    }
    return best;
}

// Four flagstones per tile, each its own shade, with worn speckle.
void Flagstones(Canvas& c, const Theme& t, int seed) {
    for (int y = 0; y < kCell; ++y)
        for (int x = 0; x < kCell; ++x) {
            const int sx = x / 12, sy = y / 12;
            const int lx = x % 12, ly = y % 12;
            const bool grout = lx == 0 || ly == 0;
            const float slab = Hash01(sx, sy, seed);
            const float n = ValueNoise(x * 0.35f, y * 0.35f, seed + 7);
            Rgba stone = Mix(t.floorDark, t.floorLight, slab);
            stone = Scale(stone, 0.85f + 0.3f * n);
            if (Hash01(x, y, seed + 3) > 0.94f)
                stone = Scale(stone, 0.8f);
            const float edge = std::min({lx, ly, 11 - lx, 11 - ly}) / 2.0f;
            if (grout)
                c.Set(x, y, t.grout, 0.0f);
            else
                c.Set(x, y, stone, 1.0f + std::min(1.0f, edge) + 0.3f * n);
        }
}

// Four riveted plates, scratched and stained.
void Plates(Canvas& c, const Theme& t, int seed) {
    for (int y = 0; y < kCell; ++y)
        for (int x = 0; x < kCell; ++x) {
            const int lx = x % 12, ly = y % 12;
            const float plate = Hash01(x / 12, y / 12, seed);
            const float n = ValueNoise(x * 0.2f, y * 0.2f, seed + 5);
            Rgba steel = Scale(Mix(t.floorDark, t.floorLight, plate), 0.9f + 0.2f * n);
            const bool seam = lx == 0 || ly == 0;
            const bool rivet = (lx == 2 || lx == 10) && (ly == 2 || ly == 10);
            const bool scratch = Hash01(x + y, y - x, seed + 9) > 0.985f;
            const float edge = std::min({lx, ly, 11 - lx, 11 - ly}) / 1.5f;
            if (seam)
                c.Set(x, y, t.grout, 0.0f);
            else if (rivet)
                c.Set(x, y, Scale(t.floorLight, 1.25f), 3.0f);
            else
                c.Set(x, y, scratch ? Scale(steel, 1.25f) : steel,
                      1.0f + std::min(1.0f, edge) + 0.15f * n);
        }
}

// Planks four cells wide running across, their joints staggered.
void Planks(Canvas& c, const Theme& t, int seed) {
    for (int y = 0; y < kCell; ++y)
        for (int x = 0; x < kCell; ++x) {
            const int row = y / 4, ly = y % 4;
            const int offset = static_cast<int>(Hash01(row, 0, seed) * 16);
            const int lx = (x + offset) % 16;
            const float board = Hash01((x + offset) / 16, row, seed + 1);
            const float grain = ValueNoise(x * 0.6f, y * 3.0f, seed + 3);
            Rgba wood = Scale(Mix(t.floorDark, t.floorLight, board), 0.85f + 0.3f * grain);
            if (ly == 0 || lx == 0)
                c.Set(x, y, t.grout, 0.0f);
            else
                c.Set(x, y, wood, 1.5f + (ly == 1 || ly == 3 ? -0.3f : 0.0f) + 0.2f * grain);
            if (lx == 3 && (ly == 2))
                c.Set(x, y, Scale(t.floorDark, 0.5f), 1.0f); // a nail
        }
}

// One polished slab per tile, veined, with a thin joint.
void Marble(Canvas& c, const Theme& t, int seed) {
    for (int y = 0; y < kCell; ++y)
        for (int x = 0; x < kCell; ++x) {
            const float n = ValueNoise(x * 0.18f, y * 0.18f, seed);
            const float vein = std::fabs(std::sin((x + y * 0.6f) * 0.35f + n * 6.0f));
            Rgba stone = Mix(t.floorDark, t.floorLight, 0.35f + 0.5f * n);
            if (vein < 0.12f)
                stone = Mix(stone, t.floorLight, 0.8f);
            const bool joint = x == 0 || y == 0;
            const float edge = std::min({x, y, kCell - 1 - x, kCell - 1 - y}) / 2.0f;
            if (joint)
                c.Set(x, y, t.grout, 0.5f);
            else
                c.Set(x, y, stone, 1.5f + std::min(1.0f, edge));
        }
}

// Tread plate: raised diamonds on a steel sheet, seams at the tile's edge.
void Diamond(Canvas& c, const Theme& t, int seed) {
    for (int y = 0; y < kCell; ++y)
        for (int x = 0; x < kCell; ++x) {
            const float n = ValueNoise(x * 0.25f, y * 0.25f, seed);
            Rgba steel = Scale(Mix(t.floorDark, t.floorLight, 0.5f), 0.9f + 0.2f * n);
            const int dx = (x + ((y / 4) % 2) * 2) % 4, dy = y % 4;
            const bool bump = (dx == 1 && dy == 1) || (dx == 2 && dy == 2);
            if (x == 0 || y == 0)
                c.Set(x, y, t.grout, 0.0f);
            else
                c.Set(x, y, bump ? Scale(steel, 1.15f) : steel, bump ? 2.6f : 1.5f);
        }
}

void Floor(Canvas& c, const Theme& t, int seed) {
    switch (t.floor) {
    case FloorKind::Flagstones:
        Flagstones(c, t, seed);
        break;
    case FloorKind::Plates:
        Plates(c, t, seed);
        break;
    case FloorKind::Planks:
        Planks(c, t, seed);
        break;
    case FloorKind::Marble:
        Marble(c, t, seed);
        break;
    case FloorKind::Diamond:
        Diamond(c, t, seed);
        break;
    }
}

void Wall(Canvas& c, const Theme& t, int id) {
    const int floor = FloorAround(id);
    const bool face = (floor & S) != 0;
    for (int y = 0; y < kCell; ++y)
        for (int x = 0; x < kCell; ++x) {
            const float px = x + 0.5f, py = y + 0.5f;
            if (face && y >= kFaceTop) {
                // Bricks in courses of 4, offset every other course.
                const int course = (y - kFaceTop) / 4;
                const int bx = (x + (course % 2) * 4) % 8;
                const bool mortar = (y - kFaceTop) % 4 == 0 || bx == 0;
                const float fade = static_cast<float>(y - kFaceTop) / (kCell - kFaceTop);
                Rgba brick = Mix(t.brickTop, t.brickBottom, fade);
                brick = Scale(brick, 0.9f + 0.2f * Hash01(x / 8 + course * 7, course, 11));
                if (y == kFaceTop)
                    c.Set(x, y, t.faceEdge, 7.0f); // lit top edge
                else
                    c.Set(x, y, mortar ? t.mortar : brick, mortar ? 3.0f : 4.0f - fade * 2);
                continue;
            }
            const float d = FloorDistance(px, py, floor);
            // The wall's top: dressed stone blocks, lit along the floor edge,
            // darkening towards the rock behind.
            const float deep = std::min(1.0f, d / 12.0f);
            const bool joint = (x + (y / 8 % 2) * 4) % 8 == 0 || y % 8 == 0;
            Rgba cap = Mix(t.capNear, t.capFar, deep);
            cap = Scale(cap, 0.92f + 0.16f * ValueNoise(x * 0.5f, y * 0.5f, 21 + id));
            if (joint)
                cap = Scale(cap, 0.7f);
            if (d < 1.0f)
                cap = t.rim;
            else if (d < 2.0f)
                cap = t.rimInner;
            c.Set(x, y, cap, 8.0f - std::max(0.0f, 2.0f - d) - (joint ? 0.6f : 0.0f));
        }
}

// Darkens cells along a jagged line from one edge to another, with a branch.
void Cracks(Canvas& c, const Theme& t, int seed, int yMin = 0) {
    const auto walk = [&](float x, float y, float angle, int steps, int salt) {
        for (int i = 0; i < steps; ++i) {
            const int cx = static_cast<int>(x), cy = static_cast<int>(y);
            if (cy >= yMin)
                c.Set(cx, cy, Scale(t.grout, 0.8f), std::max(0.0f, c.HeightAt(cx, cy) - 1.2f));
            angle += (Hash01(i, salt, seed) - 0.5f) * 1.2f;
            x += std::cos(angle);
            y += std::sin(angle);
        }
    };
    const float x0 = 2 + Hash01(1, 2, seed) * 8, y0 = yMin + Hash01(3, 4, seed) * 6;
    walk(x0, y0, 0.5f + Hash01(5, 6, seed), 30, 1);
    walk(x0 + 8, y0 + 6, 2.0f + Hash01(7, 8, seed), 10, 2);
}

// Patches of growth spreading from one corner.
void Growth(Canvas& c, const Rgba& colour, int seed, int yMin = 0) {
    const float cx = Hash01(1, 1, seed) > 0.5f ? 4.0f : 20.0f;
    const float cy = yMin + (Hash01(2, 2, seed) > 0.5f ? 4.0f : kCell - yMin - 4.0f);
    for (int y = yMin; y < kCell; ++y)
        for (int x = 0; x < kCell; ++x) {
            const float d = std::hypot(x - cx, y - cy) / 14.0f;
            const float n = ValueNoise(x * 0.3f, y * 0.3f, seed);
            if (n - d * 0.7f < 0.15f || Hash01(x, y, seed + 1) > 0.9f)
                continue;
            c.Set(x, y, Scale(colour, 0.8f + 0.4f * n), c.HeightAt(x, y) + 0.6f);
        }
}

// A splash dragged into a smear, with droplets, flat on the floor.
void Stain(Canvas& c, const Rgba& colour, int seed) {
    const float cx = 7 + Hash01(1, 1, seed) * 6, cy = 7 + Hash01(2, 2, seed) * 6;
    const float angle = Hash01(3, 3, seed) * 6.2832f;
    const float ux = std::cos(angle), uy = std::sin(angle);
    for (int y = 0; y < kCell; ++y)
        for (int x = 0; x < kCell; ++x) {
            const float dx = x - cx, dy = y - cy;
            const float along = dx * ux + dy * uy, across = -dx * uy + dy * ux;
            const float d = std::hypot(dx, dy);
            const float edge = 2.5f + 2.5f * ValueNoise(x * 0.6f, y * 0.6f, seed);
            // The smear thins as it runs away from the splash.
            const bool smear = along > 0 && along < 11 && std::fabs(across) < 2.2f - along * 0.18f;
            const bool drop = Hash01(x, y, seed + 5) > 0.965f && d < 10;
            if (d < edge || smear || drop)
                c.Set(x, y,
                      Scale(colour,
                            (smear && d >= edge ? 0.65f : 0.8f) + 0.25f * Hash01(x, y, seed + 2)),
                      c.HeightAt(x, y) + 0.1f);
        }
}

// A drain grate set into the floor.
void Grate(Canvas& c, const Theme& t) {
    c.Rect(5, 5, 19, 19, Scale(t.metal, 0.8f), 1.0f, 1.0f);
    for (int k = 0; k < 5; ++k) {
        const float x = 7.5f + k * 2.2f;
        c.Rect(x, 7, x + 1, 17, RgbaOf(8, 8, 10), -1.0f, 0.0f);
    }
}

// Standing water: flat, dark, with a glint.
void Puddle(Canvas& c, int seed) {
    for (int y = 0; y < kCell; ++y)
        for (int x = 0; x < kCell; ++x) {
            const float d = std::hypot((x - 12.0f) / 9.0f, (y - 13.0f) / 6.0f);
            if (d + 0.25f * ValueNoise(x * 0.4f, y * 0.4f, seed) > 1.0f)
                continue;
            const bool glint = (x + y) % 9 == 0 && d < 0.6f;
            c.Set(x, y, glint ? RgbaOf(120, 140, 160) : RgbaOf(24, 34, 48), 0.8f);
        }
}

// One piece of a rug: `edges` says which sides carry the border.
void Rug(Canvas& c, const Theme& t, int edges) {
    for (int y = 0; y < kCell; ++y)
        for (int x = 0; x < kCell; ++x) {
            int border = 99; // distance into the rug from a bordered side
            if (edges & N)
                border = std::min(border, y);
            if (edges & S)
                border = std::min(border, kCell - 1 - y);
            if (edges & W)
                border = std::min(border, x);
            if (edges & E)
                border = std::min(border, kCell - 1 - x);
            const bool weave = ((x + y) % 4 == 0) || ((x - y + 96) % 6 == 0);
            Rgba col = weave ? Scale(t.rugField, 0.85f) : t.rugField;
            float h = 2.0f;
            if (border <= 1) {
                col = t.rugBorder; // the rug's hem
                h = 1.6f;
            } else if (border <= 4) {
                col = border == 3 ? t.rugTrim : t.rugBorder;
            } else if ((x / 6 + y / 6) % 2 == 0 && (x % 6 == 3) && (y % 6 == 3)) {
                col = t.rugTrim; // a pattern of small lozenges
            }
            c.Set(x, y, col, h);
        }
}

// Extra fittings on a plain top wall's face.
void WallPipes(Canvas& c, const Theme& t) {
    c.Capsule(-2, kFaceTop + 5.5f, kCell + 2, kFaceTop + 5.5f, 1.8f, 1.8f, t.metal, 4.0f);
    c.Rect(10, kFaceTop + 2.5f, 13, kFaceTop + 8.5f, Scale(t.metal, 0.8f), 5.5f, 0.5f);
    c.Capsule(17, kFaceTop + 7, 17, kCell + 1, 1.2f, 1.2f, Scale(t.metal, 0.9f), 4.0f);
}

void WallGrille(Canvas& c, const Theme& t) {
    c.Rect(6, kFaceTop + 3, 18, kCell - 1, Scale(t.metal, 0.7f), 4.0f, 0.5f);
    c.Rect(7.5f, kFaceTop + 4.5f, 16.5f, kCell - 2.5f, RgbaOf(6, 6, 8), 1.0f, 0.0f);
    for (int k = 0; k < 4; ++k) {
        const float x = 8.5f + k * 2.2f;
        c.Rect(x, kFaceTop + 4.5f, x + 1, kCell - 2.5f, t.metal, 5.0f, 0.3f);
    }
}

// One tile of an atlas; `id` is its global id.
Canvas Tile(const Theme& t, int id) {
    Canvas c(kCell, kCell);
    c.drawOutline = false;
    c.clampEdges = true;
    if (id == kTerrainFloor) {
        Floor(c, t, t.seed);
    } else if (id == kTerrainVoid) {
        c.Rect(0, 0, kCell, kCell, RgbaOf(0, 0, 0), 0.0f, 0.0f, kCellEmissive);
    } else if (id <= kAssetTerrainTiles) {
        Wall(c, t, id);
    } else if (id >= kThemedWallCracked) {
        Wall(c, t, kTerrainTopWall);
        if (id == kThemedWallCracked)
            Cracks(c, t, t.seed + id, kFaceTop + 1);
        else if (id == kThemedWallGrowth)
            Growth(c, t.growth, t.seed + id, kFaceTop - 3);
        else if (id == kThemedWallPipes)
            WallPipes(c, t);
        else
            WallGrille(c, t);
    } else {
        // Floor variations keep the theme's floor underneath.
        Floor(c, t, t.seed);
        switch (id) {
        case kThemedCrackedA:
        case kThemedCrackedB:
            Cracks(c, t, t.seed * 3 + id);
            break;
        case kThemedGrowthA:
        case kThemedGrowthB:
            Growth(c, t.growth, t.seed * 5 + id);
            break;
        case kThemedStainA:
        case kThemedStainB:
            Stain(c, t.stain, t.seed * 7 + id);
            break;
        case kThemedGrate:
            Grate(c, t);
            break;
        case kThemedPuddle:
            Puddle(c, t.seed + id);
            break;
        case kThemedRugTopLeft:
            Rug(c, t, N | W);
            break;
        case kThemedRugTop:
            Rug(c, t, N);
            break;
        case kThemedRugTopRight:
            Rug(c, t, N | E);
            break;
        case kThemedRugLeft:
            Rug(c, t, W);
            break;
        case kThemedRugField:
            Rug(c, t, 0);
            break;
        case kThemedRugRight:
            Rug(c, t, E);
            break;
        case kThemedRugBottomLeft:
            Rug(c, t, S | W);
            break;
        case kThemedRugBottom:
            Rug(c, t, S);
            break;
        case kThemedRugBottomRight:
            Rug(c, t, S | E);
            break;
        default:
            break;
        }
    }
    return c;
}

void MakeAtlas(Output& out, const std::string& file, const Theme& t, int tiles, int rows) {
    const int columns = kAssetTerrainColumns;
    Image atlas(columns * kAssetTileSize, rows * kAssetTileSize);
    Image normals(atlas.width, atlas.height);
    for (int id = 1; id <= tiles; ++id) {
        Image d, n;
        Tile(t, id).Finish(2, d, n);
        const int k = id - 1;
        atlas.Paste(d, (k % columns) * kAssetTileSize, (k / columns) * kAssetTileSize);
        normals.Paste(n, (k % columns) * kAssetTileSize, (k / columns) * kAssetTileSize);
    }
    out.LitImage(file, atlas, normals);
}

} // namespace

void MakeTerrain(Output& out) {
    MakeAtlas(out, "core_terrain.png", kCore, kAssetTerrainTiles, 2);
    for (const Theme& theme : StoryThemes())
        MakeAtlas(out, std::string("terrain_") + theme.name + ".png", theme,
                  kAssetThemedTerrainTiles, kAssetThemedTerrainRows);
}
