// PathGrid -- cell bytes, occupancy and the path search over a room's grid.
#include "world/PathGrid.h"

#include <algorithm>

namespace LevelMap {

namespace {
// Marks at or past this make the next generation overflow.
constexpr uint32_t kLastGeneration = 0xFFFFFFFFu - 4u;
constexpr uint64_t kNoEntry = ~uint64_t(0);

// A binary min-heap of search entries in a vector, moved through a hole
// rather than by swaps.
void HeapPush(std::vector<uint64_t>& heap, uint64_t entry) {
    size_t hole = heap.size();
    heap.push_back(entry);
    while (hole > 0) {
        const size_t parent = (hole - 1) / 2;
        if (heap[parent] <= entry)
            break;
        heap[hole] = heap[parent];
        hole = parent;
    }
    heap[hole] = entry;
}

// Lets `entry` sink from the root's hole to its place.
void HeapSiftDown(std::vector<uint64_t>& heap, uint64_t entry) {
    uint64_t* const data = heap.data();
    const size_t size = heap.size();
    size_t hole = 0;
    for (size_t child = 1; child < size; child = 2 * hole + 1) {
        if (child + 1 < size)
            child += data[child + 1] < data[child] ? 1 : 0;
        if (entry <= data[child])
            break;
        data[hole] = data[child];
        hole = child;
    }
    data[hole] = entry;
}

// Takes the smallest entry; the heap is not empty.
uint64_t HeapPop(std::vector<uint64_t>& heap) {
    const uint64_t top = heap.front();
    const uint64_t last = heap.back();
    heap.pop_back();
    if (!heap.empty())
        HeapSiftDown(heap, last);
    return top;
}

// Takes the smallest entry and puts `entry` in, in one pass; the heap is not
// empty and its smallest entry is below `entry`.
uint64_t HeapReplaceTop(std::vector<uint64_t>& heap, uint64_t entry) {
    const uint64_t top = heap.front();
    HeapSiftDown(heap, entry);
    return top;
}
} // namespace

void PathGrid::Reset(int32_t width, int32_t height) {
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    if (width_ == 0 || height_ == 0)
        width_ = height_ = 0;
    stride_ = width_ + 2;
    const size_t count = static_cast<size_t>(stride_) * static_cast<size_t>(height_ + 2);
    cells_.assign(count, 0);
    occupants_.assign(count, nullptr);
    nodes_.assign(count, Node{});
    heap_.clear();
    heap_.reserve(count);
    generation_ = 0;
    found_ = false;
}

void PathGrid::SetFloor(int32_t column, int32_t row, bool floor) {
    if (!InGrid(column, row))
        return;
    uint8_t& cell = cells_[Index(column, row)];
    cell = floor ? static_cast<uint8_t>(cell | kFloor) : static_cast<uint8_t>(cell & ~kFloor);
}

bool PathGrid::IsFloor(int32_t column, int32_t row) const {
    return InGrid(column, row) && (cells_[Index(column, row)] & kFloor) != 0;
}

void PathGrid::ClearOccupancy() {
    for (uint8_t& cell : cells_)
        cell = static_cast<uint8_t>(cell & ~kOccupied);
    std::fill(occupants_.begin(), occupants_.end(), nullptr);
}

void PathGrid::Occupy(int32_t column, int32_t row, const Collider2D* body, bool keepOccupant) {
    if (!InGrid(column, row))
        return;
    const uint32_t i = Index(column, row);
    cells_[i] = static_cast<uint8_t>(cells_[i] | kOccupied);
    if (!(keepOccupant && occupants_[i]))
        occupants_[i] = body;
}

bool PathGrid::IsOccupied(int32_t column, int32_t row) const {
    return InGrid(column, row) && (cells_[Index(column, row)] & kOccupied) != 0;
}

const Collider2D* PathGrid::OccupantAt(int32_t column, int32_t row) const {
    return InGrid(column, row) ? occupants_[Index(column, row)] : nullptr;
}

void PathGrid::NextGeneration() {
    if (generation_ >= kLastGeneration) {
        for (Node& node : nodes_)
            node.mark = 0;
        generation_ = 0;
    }
    generation_ += 2;
}

bool PathGrid::Search(int32_t startColumn, int32_t startRow, int32_t goalColumn, int32_t goalRow,
                      const Collider2D* mover, const PathCosts& costs) {
    found_ = false;
    if (!InGrid(startColumn, startRow) || !InGrid(goalColumn, goalRow))
        return false;
    NextGeneration();
    const uint32_t open = generation_;
    const uint32_t closed = generation_ + 1;
    start_ = Index(startColumn, startRow);
    goal_ = Index(goalColumn, goalRow);
    heap_.clear();

    Node* const nodes = nodes_.data();
    const uint8_t* const cells = cells_.data();
    const Collider2D* const* const occupants = occupants_.data();
    const uint32_t stride = static_cast<uint32_t>(stride_);
    // Padded coordinates: the differences to the goal are the same.
    const int32_t goalX = goalColumn + 1;
    const int32_t goalY = goalRow + 1;

    // The start is expanded first, then the open cells lead.
    uint32_t current = start_;
    nodes[current] = Node{closed, 0, kNone};
    for (;;) {
        if (current == goal_) {
            found_ = true;
            return true;
        }
        const int32_t x = static_cast<int32_t>(current % stride);
        const int32_t y = static_cast<int32_t>(current / stride);
        const bool fromStart = nodes[current].g == 0;
        // The cheapest cell opened by this expansion waits in `best` instead
        // of the heap: most of the time it is the next one taken.
        uint64_t best = kNoEntry;
        const auto relax = [&](uint32_t next, int32_t nx, int32_t ny, uint32_t step)
            __attribute__((always_inline)) {
            Node& node = nodes[next];
            if (node.mark == closed)
                return;
            if ((cells[next] & kOccupied) && !(fromStart && occupants[next] == mover))
                step += costs.occupied;
            if (node.mark == open && step >= node.g)
                return;
            const uint32_t dx = static_cast<uint32_t>(nx > goalX ? nx - goalX : goalX - nx);
            const uint32_t dy = static_cast<uint32_t>(ny > goalY ? ny - goalY : goalY - ny);
            const uint32_t lo = std::min(dx, dy);
            const uint32_t h = (std::max(dx, dy) - lo) * costs.straight + lo * costs.diagonal;
            node.mark = open;
            node.parent = current;
            node.g = step;
            uint64_t entry = static_cast<uint64_t>(step + h) << 32 | next;
            if (entry < best)
                std::swap(entry, best);
            if (entry != kNoEntry)
                HeapPush(heap_, entry);
        };
        const uint32_t up = current - stride;
        const uint32_t down = current + stride;
        const bool upFloor = cells[up] & kFloor;
        const bool downFloor = cells[down] & kFloor;
        const bool leftFloor = cells[current - 1] & kFloor;
        const bool rightFloor = cells[current + 1] & kFloor;
        if (upFloor)
            relax(up, x, y - 1, costs.straight);
        if (downFloor)
            relax(down, x, y + 1, costs.straight);
        if (leftFloor)
            relax(current - 1, x - 1, y, costs.straight);
        if (rightFloor)
            relax(current + 1, x + 1, y, costs.straight);
        // No cutting corners: both cells beside a diagonal step are floor.
        if (upFloor && leftFloor && (cells[up - 1] & kFloor))
            relax(up - 1, x - 1, y - 1, costs.diagonal);
        if (upFloor && rightFloor && (cells[up + 1] & kFloor))
            relax(up + 1, x + 1, y - 1, costs.diagonal);
        if (downFloor && leftFloor && (cells[down - 1] & kFloor))
            relax(down - 1, x - 1, y + 1, costs.diagonal);
        if (downFloor && rightFloor && (cells[down + 1] & kFloor))
            relax(down + 1, x + 1, y + 1, costs.diagonal);

        // The next open cell. A cell re-entered more cheaply leaves its
        // older, dearer entry behind; the cheaper one comes out first and
        // closes the cell, so an entry of a closed cell is simply skipped.
        uint64_t next;
        if (best != kNoEntry)
            next = heap_.empty() || best < heap_.front() ? best : HeapReplaceTop(heap_, best);
        else if (!heap_.empty())
            next = HeapPop(heap_);
        else
            return false;
        while (nodes[static_cast<uint32_t>(next)].mark != open) {
            if (heap_.empty())
                return false;
            next = HeapPop(heap_);
        }
        current = static_cast<uint32_t>(next);
        nodes[current].mark = closed;
    }
}

} // namespace LevelMap
