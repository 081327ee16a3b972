// Terrain -- the 48 x 48 tile atlas of floors, walls, corners and the void.
//
// Each wall piece is drawn from which of its eight neighbours are floor: the
// wall's top is dark stone with a lit rim where it meets the floor, and a wall
// with floor below it shows its brick face, so the pieces join seamlessly.
#include "Output.h"

#include "core/AssetManifest.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kCell = kAssetTileSize / 2; // art cells per tile

// Floor neighbours: bit order N, NE, E, SE, S, SW, W, NW.
enum : int { N = 1, NE = 2, E = 4, SE = 8, S = 16, SW = 32, W = 64, NW = 128 };

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

void Floor(Canvas& c, int seed) {
    // Four flagstones per tile, each its own shade, with worn speckle.
    for (int y = 0; y < kCell; ++y)
        for (int x = 0; x < kCell; ++x) {
            const int sx = x / 12, sy = y / 12;
            const int lx = x % 12, ly = y % 12;
            const bool grout = lx == 0 || ly == 0;
            const float slab = Hash01(sx, sy, seed);
            const float n = ValueNoise(x * 0.35f, y * 0.35f, seed + 7);
            Rgba stone = Mix(RgbaOf(78, 74, 80), RgbaOf(98, 92, 96), slab);
            stone = Scale(stone, 0.85f + 0.3f * n);
            if (Hash01(x, y, seed + 3) > 0.94f)
                stone = Scale(stone, 0.8f);
            const float edge = std::min({lx, ly, 11 - lx, 11 - ly}) / 2.0f;
            if (grout)
                c.Set(x, y, RgbaOf(40, 36, 42), 0.0f);
            else
                c.Set(x, y, stone, 1.0f + std::min(1.0f, edge) + 0.3f * n);
        }
}

void Wall(Canvas& c, int id) {
    const int floor = FloorAround(id);
    const bool face = (floor & S) != 0;
    const int faceTop = kCell - 13; // the brick face of a wall seen from the south
    for (int y = 0; y < kCell; ++y)
        for (int x = 0; x < kCell; ++x) {
            const float px = x + 0.5f, py = y + 0.5f;
            if (face && y >= faceTop) {
                // Bricks in courses of 4, offset every other course.
                const int course = (y - faceTop) / 4;
                const int bx = (x + (course % 2) * 4) % 8;
                const bool mortar = (y - faceTop) % 4 == 0 || bx == 0;
                const float fade = static_cast<float>(y - faceTop) / (kCell - faceTop);
                Rgba brick = Mix(RgbaOf(92, 82, 84), RgbaOf(64, 56, 62), fade);
                brick = Scale(brick, 0.9f + 0.2f * Hash01(x / 8 + course * 7, course, 11));
                if (y == faceTop)
                    c.Set(x, y, RgbaOf(150, 140, 130), 7.0f); // lit top edge
                else
                    c.Set(x, y, mortar ? RgbaOf(40, 34, 40) : brick,
                          mortar ? 3.0f : 4.0f - fade * 2);
                continue;
            }
            const float d = FloorDistance(px, py, floor);
            // The wall's top: dressed stone blocks, lit along the floor edge,
            // darkening towards the rock behind.
            const float deep = std::min(1.0f, d / 12.0f);
            const bool joint = (x + (y / 8 % 2) * 4) % 8 == 0 || y % 8 == 0;
            Rgba cap = Mix(RgbaOf(82, 78, 88), RgbaOf(42, 40, 50), deep);
            cap = Scale(cap, 0.92f + 0.16f * ValueNoise(x * 0.5f, y * 0.5f, 21 + id));
            if (joint)
                cap = Scale(cap, 0.7f);
            if (d < 1.0f)
                cap = RgbaOf(150, 140, 132);
            else if (d < 2.0f)
                cap = RgbaOf(110, 104, 104);
            c.Set(x, y, cap, 8.0f - std::max(0.0f, 2.0f - d) - (joint ? 0.6f : 0.0f));
        }
}

} // namespace

void MakeTerrain(Output& out) {
    const int columns = kAssetTerrainColumns, rows = 2;
    Image atlas(columns * kAssetTileSize, rows * kAssetTileSize);
    Image normals(atlas.width, atlas.height);
    for (int id = 1; id <= kAssetTerrainTiles; ++id) {
        Canvas c(kCell, kCell);
        c.drawOutline = false;
        c.clampEdges = true;
        if (id == kTerrainFloor)
            Floor(c, 5);
        else if (id == kTerrainVoid)
            c.Rect(0, 0, kCell, kCell, RgbaOf(0, 0, 0), 0.0f, 0.0f, kCellEmissive);
        else
            Wall(c, id);
        Image d, n;
        c.Finish(2, d, n);
        const int k = id - 1;
        atlas.Paste(d, (k % columns) * kAssetTileSize, (k / columns) * kAssetTileSize);
        normals.Paste(n, (k % columns) * kAssetTileSize, (k / columns) * kAssetTileSize);
    }
    out.LitImage("core_terrain.png", atlas, normals);
}
