// PathGrid.h -- a room's cells as the path search sees them: one byte per
// cell (floor, occupied this frame), the body covering each cell, and the
// search itself over flat arrays indexed by cell.
//
// The arrays carry a one-cell wall border, so the eight neighbours of any
// cell inside the grid can be read without bounds checks. Search state is
// never cleared between searches: each search takes a new generation and
// every mark older than it counts as unvisited.
#pragma once

#include <cstdint>
#include <vector>

class Collider2D;

namespace LevelMap {

// What a step costs.
struct PathCosts {
    uint32_t straight = 0; // horizontal or vertical step
    uint32_t diagonal = 0; // diagonal step
    uint32_t occupied = 0; // extra, into a cell another body covers
};

class PathGrid {
public:
    // width x height wall cells with nobody on them; forgets every search.
    void Reset(int32_t width, int32_t height);
    void SetFloor(int32_t column, int32_t row, bool floor);

    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    bool InGrid(int32_t column, int32_t row) const {
        return column >= 0 && row >= 0 && column < width_ && row < height_;
    }
    // False outside the grid.
    bool IsFloor(int32_t column, int32_t row) const;

    // Occupancy, redone every frame.
    void ClearOccupancy();
    // `body` covers the cell; with keepOccupant a body already marked there
    // stays the cell's occupant.
    void Occupy(int32_t column, int32_t row, const Collider2D* body, bool keepOccupant);
    bool IsOccupied(int32_t column, int32_t row) const;
    const Collider2D* OccupantAt(int32_t column, int32_t row) const;

    // Best-first search from start to goal, both inside the grid: the open
    // cell with the smallest f = step + h goes next (ties to the lowest cell
    // index, row by row), where step is the cost of the last step only and h
    // the octile distance to the goal. Diagonals never cut a wall corner. A
    // cell's occupied cost is waived on the first step when `mover` is its
    // occupant. The start is expanded even when it is a wall. False when the
    // goal cannot be reached.
    bool Search(int32_t startColumn, int32_t startRow, int32_t goalColumn, int32_t goalRow,
                const Collider2D* mover, const PathCosts& costs);
    // After a successful search: each cell of the path from the goal back to
    // the start, the start itself not included, as
    // visit(column, row, parentIsStart).
    template <typename Visit> void WalkBack(Visit&& visit) const;

    // Searches so far, counted in twos (a search marks cells open with its
    // generation and closed with generation + 1). Near the counter's end all
    // marks are cleared and counting starts again. Setting it lets tests
    // reach that point.
    uint32_t Generation() const { return generation_; }
    void SetGeneration(uint32_t generation) { generation_ = generation; }

private:
    static constexpr uint8_t kFloor = 1;
    static constexpr uint8_t kOccupied = 2;
    static constexpr uint32_t kNone = 0xFFFFFFFFu;

    struct Node {
        uint32_t mark = 0;   // generation: open; generation + 1: closed
        uint32_t g = 0;      // cost of the last step into this cell
        uint32_t parent = 0; // cell index of the cell this one was reached from
    };

    uint32_t Index(int32_t column, int32_t row) const {
        return static_cast<uint32_t>((row + 1) * stride_ + column + 1);
    }
    void NextGeneration();

    int32_t width_ = 0;
    int32_t height_ = 0;
    int32_t stride_ = 0;         // width_ + 2
    std::vector<uint8_t> cells_; // kFloor | kOccupied, border included
    std::vector<const Collider2D*> occupants_;
    std::vector<Node> nodes_;
    std::vector<uint64_t> heap_; // f << 32 | cell index, f = step cost + distance estimate
    uint32_t generation_ = 0;
    uint32_t start_ = 0;
    uint32_t goal_ = 0;
    bool found_ = false;
};

template <typename Visit> void PathGrid::WalkBack(Visit&& visit) const {
    if (!found_)
        return;
    for (uint32_t cell = goal_; cell != start_; cell = nodes_[cell].parent) {
        const int32_t column = static_cast<int32_t>(cell % static_cast<uint32_t>(stride_)) - 1;
        const int32_t row = static_cast<int32_t>(cell / static_cast<uint32_t>(stride_)) - 1;
        visit(column, row, nodes_[cell].parent == start_);
    }
}

} // namespace LevelMap
