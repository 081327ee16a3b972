// RoomPathing -- walkability, wall push-back, ray casts, path finding and
// occupancy over a room's tile grid.
#include "world/RoomPathing.h"

#include "core/AABB.h"
#include "core/Circle2D.h"
#include "core/DataFile.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace LevelMap {

namespace {
float Jitter(float j) {
    if (j <= 0.0f)
        return 0.0f;
    return std::uniform_real_distribution<float>(-j, j)(RoomPathing::Random().engine);
}

// How far a door's entry line reaches into the room, and how far in front
// of a door the floor must be free.
constexpr float kEntryLength = 45.0f;
constexpr float kEntryProbe = 40.0f;

// Cell index of a coordinate, kept in int range for points far off the map.
int32_t CellIndex(float units) {
    if (!std::isfinite(units))
        return -(1 << 30);
    return static_cast<int32_t>(std::clamp(std::floor(units), -1.0e9f, 1.0e9f));
}
} // namespace

RandomSource& RoomPathing::Random() {
    static RandomSource source;
    return source;
}

int32_t RoomPathing::ColumnOf(float x) const {
    return CellIndex(x / static_cast<float>(tileWidth));
}

int32_t RoomPathing::RowOf(float y) const {
    return -1 - CellIndex(y / static_cast<float>(tileHeight));
}

Vec2 RoomPathing::CellCentre(int32_t column, int32_t row) const {
    return {static_cast<float>(column * tileWidth + tileWidth / 2),
            static_cast<float>(-(row * tileHeight) - tileHeight / 2)};
}

bool RoomPathing::IsWalkable(Vec2 point) const {
    if (!std::isfinite(point.x) || !std::isfinite(point.y))
        return false;
    return IsWalkableCell(ColumnOf(point.x), RowOf(point.y));
}

PathNode RoomPathing::NodeAt(int32_t column, int32_t row) const {
    PathNode node;
    node.column = column;
    node.row = row;
    node.occupancy = grid.IsOccupied(column, row) ? occupiedCost : 0;
    node.occupant = grid.OccupantAt(column, row);
    return node;
}

size_t RoomPathing::CellCount() const {
    return static_cast<size_t>(grid.Width()) * static_cast<size_t>(grid.Height());
}

void RoomPathing::Init() {
    grid.Reset(width, height);
    for (int32_t r = 0; r < height; ++r) {
        for (int32_t c = 0; c < width; ++c)
            grid.SetFloor(c, r, IsWalkableCell(c, r));
    }
    BuildEntryLines();
}

// The entry line leaves the door's centre on whichever side has floor.
void RoomPathing::BuildEntryLines() {
    for (Door& door : doors) {
        const Vec2 along = door.end - door.start;
        const float length = Length(along);
        const Vec2 n = length > 0.0f ? Vec2{-along.y, along.x} / length : Vec2{0.0f, 0.0f};
        const Vec2 m = door.centre;
        const std::string invalid = "Map " + std::to_string(id) + "'s door to " +
                                    std::to_string(door.target) + " is invalid: ";
        if (length <= 0.0f)
            throw std::runtime_error(invalid + "the door line in " + file + " has no length");
        if (!Raycast(m, m + n * kEntryProbe).hit)
            door.entryLine = Line2D(m, m + n * kEntryLength);
        else if (!Raycast(m, m - n * kEntryProbe).hit)
            door.entryLine = Line2D(m, m - n * kEntryLength);
        else
            throw std::runtime_error(
                invalid + "the door at (" + FormatNumber(m.x) + ", " + FormatNumber(-m.y) +
                ") in " + file + " has floor on neither side (the tile layer is " +
                std::to_string(width) + " x " + std::to_string(height) + " cells)");
    }
}

WallHit RoomPathing::ResolveWalls(const Circle2D& circle) const {
    const float x = circle.centre.x;
    const float y = circle.centre.y;
    const float r = circle.radius;
    const Vec2 probes[8] = {{x - r / 2, y + r}, {x + r / 2, y + r}, {x + r, y + r / 2},
                            {x + r, y - r / 2}, {x - r / 2, y - r}, {x + r / 2, y - r},
                            {x - r, y + r / 2}, {x - r, y - r / 2}};
    WallHit result;
    const float halfW = static_cast<float>(tileWidth) / 2.0f;
    const float halfH = static_cast<float>(tileHeight) / 2.0f;
    for (uint32_t i = 0; i < 8; ++i) {
        const Vec2 probe = probes[i];
        const int32_t column = ColumnOf(probe.x);
        const int32_t row = RowOf(probe.y);
        if (IsWalkableCell(column, row))
            continue;
        result.hit = true;
        const Vec2 cell = CellCentre(column, row);
        const uint32_t bit = 1u << i;
        if (bit & topProbes)
            result.point.y = (cell.y - halfH) - probe.y;
        if (bit & rightProbes)
            result.point.x = (cell.x - halfW) - probe.x;
        if (bit & bottomProbes)
            result.point.y = (cell.y + halfH) - probe.y;
        if (bit & leftProbes)
            result.point.x = (cell.x + halfW) - probe.x;
    }
    return result;
}

// Each overlapped wall cell pushes the centre away from its nearest point
// (the normal of a face, or the diagonal of a corner); a centre inside a
// cell leaves by the shortest way. A few passes settle corners where two
// cells push.
WallHit RoomPathing::SlideOutOfWalls(const Circle2D& circle) const {
    constexpr int kPasses = 4;
    constexpr int32_t kMostCells = 16; // a body spans a few cells at most
    const float r = circle.radius;
    const float w = static_cast<float>(tileWidth);
    const float h = static_cast<float>(tileHeight);
    Vec2 c = circle.centre;
    bool hit = false;
    for (int pass = 0; pass < kPasses; ++pass) {
        const int32_t c0 = ColumnOf(c.x - r), c1 = ColumnOf(c.x + r);
        const int32_t r0 = RowOf(c.y + r), r1 = RowOf(c.y - r);
        if (!(r > 0.0f) || c1 - c0 > kMostCells || r1 - r0 > kMostCells)
            break;
        bool pushed = false;
        for (int32_t row = r0; row <= r1; ++row) {
            for (int32_t column = c0; column <= c1; ++column) {
                if (IsWalkableCell(column, row))
                    continue;
                const Vec2 lo{static_cast<float>(column) * w, -static_cast<float>(row + 1) * h};
                const Vec2 hi{lo.x + w, lo.y + h};
                const Vec2 nearest{std::clamp(c.x, lo.x, hi.x), std::clamp(c.y, lo.y, hi.y)};
                const Vec2 away = c - nearest;
                const float distanceSq = LengthSq(away);
                if (distanceSq >= r * r)
                    continue;
                if (distanceSq > 1e-8f) {
                    const float distance = std::sqrt(distanceSq);
                    c += away * ((r - distance) / distance);
                } else {
                    const float left = c.x - lo.x + r, right = hi.x - c.x + r;
                    const float down = c.y - lo.y + r, up = hi.y - c.y + r;
                    const float least = std::min({left, right, down, up});
                    if (least == left)
                        c.x -= left;
                    else if (least == right)
                        c.x += right;
                    else if (least == down)
                        c.y -= down;
                    else
                        c.y += up;
                }
                hit = pushed = true;
            }
        }
        if (!pushed)
            break;
    }
    return {c - circle.centre, hit};
}

// Marches towards the end; at the first wall sample the segment is clipped
// to that wall cell's border and the march repeats up to the new end, until
// the border point no longer moves.
WallHit RoomPathing::Raycast(Vec2 a, Vec2 b) const {
    WallHit result;
    result.point = b;
    Vec2 e = b;
    const float step = static_cast<float>(rayStep);
    const Vec2 half{static_cast<float>(tileWidth) / 2.0f, static_cast<float>(tileHeight) / 2.0f};
    for (;;) {
        const float length = Length(e - a);
        const int32_t steps = static_cast<int32_t>(length / step);
        const Vec2 dir = length > 0.0f ? (e - a) / length * step : Vec2{0.0f, 0.0f};
        int32_t wallColumn = 0;
        int32_t wallRow = 0;
        bool wall = false;
        for (int32_t i = 0; i <= steps && !wall; ++i) {
            const Vec2 sample = a + dir * static_cast<float>(i);
            wallColumn = ColumnOf(sample.x);
            wallRow = RowOf(sample.y);
            wall = !IsWalkableCell(wallColumn, wallRow);
        }
        if (!wall)
            return result;
        AABB cell;
        cell.centre = CellCentre(wallColumn, wallRow);
        cell.halfExtents = half;
        const ContactPoint contact = Line2D(a, e).IntersectBox(cell);
        if (!contact.hit)
            return result;
        if (result.hit && NearlyEqual(contact.x, result.point.x) &&
            NearlyEqual(contact.y, result.point.y))
            return result;
        result.point = {contact.x, contact.y};
        result.hit = true;
        e = result.point;
    }
}

void RoomPathing::FindPath(std::deque<Vec2>& path, const Collider2D* mover, Vec2 start, Vec2 goal) {
    const int32_t goalColumn = ColumnOf(goal.x);
    const int32_t goalRow = RowOf(goal.y);
    float j = 0.0f;
    if (mover && mover->type == ColliderCircle) {
        const float r = static_cast<const Circle2D*>(mover)->radius;
        if (r > 0.0f) {
            j = std::min(static_cast<float>(tileHeight / 2) - r,
                         static_cast<float>(tileWidth / 2) - r) *
                0.5f / jitterDivisor;
            goal.x += Jitter(j);
            goal.y += Jitter(j);
        }
    }
    const int32_t startColumn = ColumnOf(start.x);
    const int32_t startRow = RowOf(start.y);
    if (!grid.IsFloor(goalColumn, goalRow))
        return;
    const PathCosts costs{static_cast<uint32_t>(straightCost), static_cast<uint32_t>(diagonalCost),
                          occupiedCost};
    if (!grid.Search(startColumn, startRow, goalColumn, goalRow, mover, costs))
        return;
    const Vec2 goalCentre = CellCentre(goalColumn, goalRow);
    if (!Raycast(goalCentre, goal).hit)
        path.push_front(goal);
    grid.WalkBack([&](int32_t column, int32_t row, bool parentIsStart) {
        Vec2 point = CellCentre(column, row);
        if (!parentIsStart)
            point += Vec2{Jitter(j), Jitter(j)};
        path.push_front(point);
    });
    const Vec2 startCentre = CellCentre(startColumn, startRow);
    if (path.empty())
        path.push_front(startCentre);
    else if (Raycast(start, path.front()).hit)
        path.push_front(startCentre);
}

void RoomPathing::ClearOccupancy() {
    grid.ClearOccupancy();
}

void RoomPathing::MarkOccupied(const Collider2D& body, bool isEnemy) {
    Vec2 extent;
    if (body.type == ColliderCircle) {
        const float r = static_cast<const Circle2D&>(body).radius;
        extent = {r, r};
    } else if (body.type == ColliderBox) {
        extent = static_cast<const AABB&>(body).halfExtents;
    } else {
        return;
    }
    const Vec2 lo = body.centre - extent;
    const Vec2 hi = body.centre + extent;
    // y up: the low corner's row is the larger one.
    const int32_t c0 = std::max(ColumnOf(lo.x), 0);
    const int32_t c1 = std::min(ColumnOf(hi.x), grid.Width() - 1);
    const int32_t r0 = std::max(RowOf(hi.y), 0);
    const int32_t r1 = std::min(RowOf(lo.y), grid.Height() - 1);
    for (int32_t r = r0; r <= r1; ++r) {
        for (int32_t c = c0; c <= c1; ++c)
            grid.Occupy(c, r, &body, isEnemy);
    }
}

WallHit RoomPathing::PushOutOfPlayer(const Collider2D& body, const Collider2D& player,
                                     Vec2 bodyPosition) const {
    const CollisionResult push = player.Resolve(body);
    const Vec2 moved = bodyPosition + Vec2{push.dx, push.dy};
    if (push.hit && IsWalkable(moved))
        return {moved, true};
    return {bodyPosition, false};
}

} // namespace LevelMap
