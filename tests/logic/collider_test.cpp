// Collision shapes: every pair test with its strict and inclusive edges,
// the push-outs and the first-contact queries.
#include "core/AABB.h"
#include "core/Circle2D.h"
#include "core/GameObject.h"
#include "core/Line2D.h"
#include "core/OrientedBox.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {
AABB Box(Vec2 centre, Vec2 size) {
    AABB box(size);
    box.UpdateTransform(centre, 0.0f, {1.0f, 1.0f});
    return box;
}
Circle2D Circle(Vec2 centre, float radius) {
    Circle2D circle(radius);
    circle.UpdateTransform(centre, 0.0f, {1.0f, 1.0f});
    return circle;
}
Collider2D Point(Vec2 p) {
    Collider2D point;
    point.centre = p;
    return point;
}
} // namespace

struct PairCase {
    const char* what;
    bool expected;
};

TEST(ColliderPairs, BoxAgainstEveryShape) {
    const AABB box = Box({0, 0}, {4, 2}); // half extents 2 x 1
    const struct {
        const char* what;
        const Collider2D* other;
        bool expected;
    } cases[] = {
        {"point inside", new Collider2D(Point({1.9f, 0.9f})), true},
        {"point on the edge is outside", new Collider2D(Point({2.0f, 0.0f})), false},
        {"box edge to edge", new AABB(Box({4.0f, 0.0f}, {4, 2})), false},
        {"box overlapping", new AABB(Box({3.9f, 0.0f}, {4, 2})), true},
        {"circle touching the corner exactly", new Circle2D(Circle({5.0f, 5.0f}, 5.0f)), true},
        {"circle short of the corner", new Circle2D(Circle({5.0f, 5.0f}, 4.99f)), false},
        {"circle beside the side", new Circle2D(Circle({2.5f, 0.0f}, 0.6f)), true},
        {"line crossing", new Line2D({-5, 0.5f}, {5, 0.5f}), true},
        {"line passing above", new Line2D({-5, 1.0f}, {5, 1.0f}), false},
        // The projection is not clamped to the segment's ends.
        {"line ending before the box", new Line2D({10, 0.5f}, {20, 0.5f}), true},
        {"oriented box overlapping", new OrientedBox({1, 1}, {-1, 1}), true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(box.Collides(*c.other), c.expected) << c.what;
        delete c.other;
    }
    OrientedBox far({1, 1}, {-1, 1});
    far.centre = {4.1f, 0.0f}; // its corner reaches x = 4.1 - 1.41
    EXPECT_FALSE(box.Collides(far));
    far.centre = {3.3f, 0.0f};
    EXPECT_TRUE(box.Collides(far));
}

TEST(ColliderPairs, CircleAgainstEveryShape) {
    const Circle2D circle = Circle({0, 0}, 2.0f);
    EXPECT_TRUE(circle.Collides(Point({1.9f, 0.0f})));
    EXPECT_FALSE(circle.Collides(Point({2.0f, 0.0f})));
    EXPECT_FALSE(circle.Collides(Circle({4.0f, 0.0f}, 2.0f))) << "touching circles";
    EXPECT_TRUE(circle.Collides(Circle({3.9f, 0.0f}, 2.0f)));
    EXPECT_TRUE(circle.Collides(Box({3.0f, 0.0f}, {2, 2})));
    EXPECT_FALSE(circle.Collides(Box({3.0f, 3.0f}, {2, 2}))) << "corner beyond the radius";
    Line2D line({-5, 1.5f}, {5, 1.5f});
    line.margin = 0.5f;
    EXPECT_FALSE(circle.Collides(line)) << "radius equals distance plus margin";
    line.margin = 0.49f;
    EXPECT_TRUE(circle.Collides(line));
    EXPECT_FALSE(circle.Collides(OrientedBox({1, 0}, {0, 1})));
}

TEST(ColliderPairs, LineAgainstEveryShape) {
    const Line2D line({0, 0}, {10, 0});
    EXPECT_TRUE(line.Collides(Point({5, 0})));
    EXPECT_TRUE(line.Collides(Point({10, 0}))) << "the end belongs to the segment";
    EXPECT_FALSE(line.Collides(Point({10.5f, 0})));
    EXPECT_FALSE(line.Collides(Point({5, 0.1f})));
    EXPECT_FALSE(line.Collides(Line2D({5, -5}, {5, 5}))) << "segments never test each other";
    EXPECT_TRUE(line.Collides(Circle({5, 1}, 1.5f)));
    EXPECT_TRUE(line.Collides(Box({11, 0}, {2, 2}))) << "touching the end: clipping is inclusive";
    EXPECT_FALSE(line.Collides(Box({12, 0}, {2, 2})));
    EXPECT_FALSE(line.Collides(OrientedBox({1, 0}, {0, 1})));
    // A vertical segment clips against the x slab without dividing by zero.
    const Line2D vertical({0, -5}, {0, 5});
    EXPECT_TRUE(vertical.Collides(Box({0.5f, 0}, {2, 2})));
    EXPECT_FALSE(vertical.Collides(Box({3, 0}, {2, 2})));
}

TEST(ColliderPairs, DisabledCollidersTouchNothing) {
    AABB box = Box({0, 0}, {2, 2});
    Circle2D circle = Circle({0, 0}, 1.0f);
    EXPECT_TRUE(box.Collides(circle));
    circle.enabled = false;
    EXPECT_FALSE(box.Collides(circle));
    EXPECT_FALSE(circle.Collides(box));
    EXPECT_FALSE(box.Resolve(circle).hit);
    circle.enabled = true;
    box.enabled = false;
    EXPECT_FALSE(circle.Collides(box));
    EXPECT_FALSE(box.Resolve(circle).hit);
}

TEST(ColliderShapes, RefitFollowsTheOwner) {
    GameObject owner;
    owner.SetCollider(new Circle2D(10.0f, {0.0f, 5.0f}));
    owner.SetPosition(100.0f, 50.0f);
    owner.SetScale(-2.0f, 3.0f); // mirrored
    owner.Update(0.0f, nullptr);
    const auto* circle = static_cast<const Circle2D*>(owner.GetCollider());
    EXPECT_FLOAT_EQ(circle->radius, 20.0f);
    EXPECT_FLOAT_EQ(circle->centre.x, 100.0f);
    EXPECT_FLOAT_EQ(circle->centre.y, 55.0f);

    AABB box({1, 1});
    box.UpdateTransform({3, 4}, 1.0f, {-20.0f, 10.0f});
    EXPECT_FLOAT_EQ(box.halfExtents.x, 10.0f);
    EXPECT_FLOAT_EQ(box.halfExtents.y, 5.0f);

    Line2D line({0, 0}, {90, 0});
    line.UpdateTransform({500, 500}, 0.0f, {2, 2});
    EXPECT_FLOAT_EQ(line.start.x, 0.0f);
    EXPECT_FLOAT_EQ(line.normal.y, 1.0f) << "left-hand perpendicular of the direction";
    const Line2D given({0, 0}, {90, 0}, {0, -1});
    EXPECT_FLOAT_EQ(given.normal.y, -1.0f);
}

TEST(ColliderResolve, CircleLeavesBoxesAndCircles) {
    const AABB box = Box({0, 0}, {10, 10});
    const CollisionResult side = box.Resolve(Circle({7, 0}, 3.0f));
    ASSERT_TRUE(side.hit);
    EXPECT_FLOAT_EQ(side.dx, 1.0f);
    EXPECT_FLOAT_EQ(side.dy, 0.0f);
    EXPECT_FALSE(box.Resolve(Circle({8, 0}, 3.0f)).hit);
    EXPECT_FALSE(box.Resolve(Box({1, 1}, {1, 1})).hit) << "only circles are pushed";
    // A centre inside the box leaves through the nearest side, finitely.
    const CollisionResult inside = box.Resolve(Circle({4, 1}, 2.0f));
    ASSERT_TRUE(inside.hit);
    EXPECT_FLOAT_EQ(inside.dx, 3.0f);
    EXPECT_FLOAT_EQ(inside.dy, 0.0f);

    const Circle2D circle = Circle({0, 0}, 2.0f);
    const CollisionResult apart = circle.Resolve(Circle({3, 0}, 2.0f));
    ASSERT_TRUE(apart.hit);
    EXPECT_FLOAT_EQ(apart.dx, 1.0f);
    const CollisionResult same = circle.Resolve(Circle({0, 0}, 2.0f));
    EXPECT_TRUE(same.hit);
    EXPECT_TRUE(std::isfinite(same.dx) && std::isfinite(same.dy));
}

TEST(ColliderResolve, WallSegmentPushesBackUpToTwentyUnits) {
    const Line2D wall({-50, 0}, {50, 0}); // normal (0, 1)
    const struct {
        float centreY;
        bool hit;
        float dy;
    } cases[] = {
        {5.0f, false, 0.0f},   // in front, clear of the face
        {3.0f, true, 2.0f},    // radius 5 reaches 2 units past the face
        {-15.0f, true, 20.0f}, // 20 units behind: still pushed out
        {-15.5f, false, 0.0f}, // 20.5 units behind: left alone
    };
    for (const auto& c : cases) {
        const CollisionResult r = wall.Resolve(Circle({0, c.centreY}, 5.0f));
        EXPECT_EQ(r.hit, c.hit) << c.centreY;
        EXPECT_FLOAT_EQ(r.dy, c.dy) << c.centreY;
    }
    EXPECT_FALSE(wall.Resolve(Circle({60, 0}, 5.0f)).hit) << "beyond the ends";
}

TEST(ColliderContacts, SegmentFirstContacts) {
    const Line2D ray({0, 0}, {10, 0});
    const ContactPoint cross = ray.IntersectLine(Line2D({4, -1}, {4, 1}));
    ASSERT_TRUE(cross.hit) << "perpendicular crossings count";
    EXPECT_FLOAT_EQ(cross.x, 4.0f);
    EXPECT_FALSE(ray.IntersectLine(Line2D({0, 1}, {10, 1})).hit) << "parallel";
    EXPECT_FALSE(ray.IntersectLine(Line2D({12, -1}, {12, 1})).hit) << "beyond the end";

    const ContactPoint enter = ray.IntersectCircle(Circle({6, 0}, 2.0f));
    ASSERT_TRUE(enter.hit);
    EXPECT_FLOAT_EQ(enter.x, 4.0f);
    const ContactPoint tangent = ray.IntersectCircle(Circle({5, 2}, 2.0f));
    ASSERT_TRUE(tangent.hit);
    EXPECT_FLOAT_EQ(tangent.x, 5.0f);
    EXPECT_FALSE(ray.IntersectCircle(Circle({-5, 0}, 2.0f)).hit) << "behind the start";
    EXPECT_FALSE(ray.IntersectCircle(Circle({5, 3}, 2.0f)).hit) << "passes beside";
    // The segment ends inside a circle whose centre lies past its end.
    const ContactPoint late = ray.IntersectCircle(Circle({11, 0}, 2.0f));
    ASSERT_TRUE(late.hit);
    EXPECT_FLOAT_EQ(late.x, 9.0f);
    EXPECT_FALSE(ray.IntersectCircle(Circle({13, 0}, 2.0f)).hit) << "never reached";
    const ContactPoint inside = ray.IntersectCircle(Circle({1, 0}, 2.0f));
    ASSERT_TRUE(inside.hit);
    EXPECT_FLOAT_EQ(inside.x, 0.0f) << "a start inside meets at the start";

    const ContactPoint box = ray.IntersectBox(Box({8, 0}, {2, 2}));
    ASSERT_TRUE(box.hit);
    EXPECT_FLOAT_EQ(box.x, 7.0f);
    const ContactPoint from = ray.IntersectBox(Box({0, 0}, {2, 2}));
    ASSERT_TRUE(from.hit);
    EXPECT_FLOAT_EQ(from.x, 0.0f) << "entry clamped to the start";
    EXPECT_FALSE(ray.IntersectBox(Box({8, 3}, {2, 2})).hit);
}

TEST(ColliderShapes, PolylineFromAMap) {
    Line2D line;
    ASSERT_TRUE(Line2D::FromPolyline("0,0 90,0 90,90", {100, -48}, line));
    EXPECT_FLOAT_EQ(line.start.x, 100.0f);
    EXPECT_FLOAT_EQ(line.end.x, 190.0f);
    EXPECT_FLOAT_EQ(line.end.y, -48.0f);
    EXPECT_FLOAT_EQ(line.centre.x, 145.0f);
    EXPECT_FLOAT_EQ(line.margin, 1.0f);
    ASSERT_TRUE(Line2D::FromPolyline("0,0 0,-96", {48, -200}, line));
    EXPECT_FLOAT_EQ(line.end.y, -104.0f) << "map y is negated";
    for (const char* bad : {"", "0,0", "0,0 5", "a,b c,d"})
        EXPECT_FALSE(Line2D::FromPolyline(bad, {0, 0}, line)) << bad;
    EXPECT_FALSE(Line2D::FromPolyline(nullptr, {0, 0}, line));
}
