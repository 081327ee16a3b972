// CollisionMath.h -- the geometry shared by the collision shapes: box
// against circle, distance to a segment, a segment clipped by a box.
#pragma once

#include "core/Vec2.h"

// Box (centre, half extents) against circle; touching at a corner counts.
bool BoxOverlapsCircle(Vec2 boxCentre, Vec2 half, Vec2 circleCentre, float radius);
// Distance from p to the segment a-b.
float DistanceToSegment(Vec2 p, Vec2 a, Vec2 b);
// Clips the parameter range [0, 1] of the segment a-b to the box's x and y
// slabs; false when nothing is left, else the range in t0..t1.
bool ClipSegmentToBox(Vec2 a, Vec2 b, Vec2 boxCentre, Vec2 half, float& t0, float& t1);
// True when p lies between the perpendiculars through a and b.
bool BetweenEnds(Vec2 a, Vec2 b, Vec2 p);
