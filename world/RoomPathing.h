// RoomPathing.h -- what a room knows about walking: which cells are floor,
// keeping circles out of walls, ray casts against walls, path finding for
// enemies over the tile grid, and which cells bodies stand on this frame.
#pragma once

#include "core/RandomSource.h"
#include "core/WallHit.h"
#include "world/PathGrid.h"
#include "world/RoomData.h"

#include <deque>
#include <random>
#include <vector>

class Collider2D;
class Circle2D;

namespace LevelMap {

// What the path search sees of one cell this frame.
struct PathNode {
    int32_t column = 0;
    int32_t row = 0;
    uint32_t occupancy = 0;               // occupiedCost while a body covers the cell
    const Collider2D* occupant = nullptr; // the body covering the cell this frame
};

class RoomPathing : public virtual RoomData {
public:
    // Builds the path grid and each door's entry line. Throws
    // "Map <n>'s door to <target> is invalid" for a door walled on both sides.
    virtual void Init();

    // Cell of a world point and the centre of a cell.
    int32_t ColumnOf(float x) const;
    int32_t RowOf(float y) const;
    Vec2 CellCentre(int32_t column, int32_t row) const;
    bool IsWalkable(Vec2 point) const;
    // The correction that moves a circle's eight edge probes out of walls.
    WallHit ResolveWalls(const Circle2D& circle) const;
    // The correction that moves a circle out of every wall cell it
    // overlaps along the wall's normal, so a body walking into a wall keeps
    // the part of its step along it and rounds the corners of doorways
    // and corridors instead of catching on them.
    WallHit SlideOutOfWalls(const Circle2D& circle) const;
    // The first point where the segment from a to b enters a wall.
    WallHit Raycast(Vec2 a, Vec2 b) const;
    // World points from start to goal for `mover`; empty when there is no
    // way. Waypoints are jittered so bodies do not walk in single file.
    void FindPath(std::deque<Vec2>& path, const Collider2D* mover, Vec2 start, Vec2 goal);
    // The waypoints' jitter (every room draws from it; tests seed it).
    static RandomSource& Random();

    // Occupancy, redone each frame for the room holding the player.
    void ClearOccupancy();
    // Marks the cells a circle or box covers; an enemy keeps the occupant
    // already marked on a cell.
    void MarkOccupied(const Collider2D& body, bool isEnemy);
    // Where a body overlapping the player is pushed to, when that is floor.
    WallHit PushOutOfPlayer(const Collider2D& body, const Collider2D& player,
                            Vec2 bodyPosition) const;

    // A cell of the grid built by Init; nobody on it outside the grid.
    PathNode NodeAt(int32_t column, int32_t row) const;
    // Cells of the path grid: width x height once Init has run.
    size_t CellCount() const;

    // Probe bits of ResolveWalls by side.
    const uint32_t topProbes = 3;
    const uint32_t rightProbes = 12;
    const uint32_t bottomProbes = 48;
    const uint32_t leftProbes = 192;
    const int32_t diagonalCost = 14;
    const int32_t straightCost = 10;
    const int32_t rayStep = 1;                 // world units
    const uint32_t occupiedCost = 1801680198u; // another body stands there
    float jitterDivisor = 1.0f;

private:
    void BuildEntryLines();

    PathGrid grid; // walkability, occupancy and search state, one entry per cell
};

} // namespace LevelMap
