// OrientedBox -- a rotated box collider.
#include "core/OrientedBox.h"

OrientedBox::OrientedBox(Vec2 axisA, Vec2 axisB, float scale)
    : halfAxisA(axisA), halfAxisB(axisB), boxScale(scale) {
    type = ColliderOrientedBox;
}
