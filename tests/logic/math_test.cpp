// The engine's exported math library: vectors, scalars, distances, overlap
// and swept tests.
#include "engine/QNMath.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

QNVec2 V(float x, float y) {
    return {x, y};
}

QNLineSegment2D Segment(QNVec2 p0, QNVec2 p1) {
    // Normal pointing left of P0 -> P1.
    const float dx = p1.x - p0.x, dy = p1.y - p0.y;
    const float len = std::sqrt(dx * dx + dy * dy);
    QNLineSegment2D s{p0, p1, {-dy / len, dx / len}, 0.0f};
    s.NdotP0 = s.N.x * p0.x + s.N.y * p0.y;
    return s;
}

TEST(MathVectorTest, BasicOperations) {
    QNVec2 r;
    const QNVec2 a = V(3, 4), b = V(1, -2);
    EXPECT_EQ(QNVec2Add(&r, &a, &b)->x, 4);
    EXPECT_EQ(r.y, 2);
    QNVec2Sub(&r, &a, &b);
    EXPECT_EQ(r.x, 2);
    EXPECT_EQ(r.y, 6);
    QNVec2ScaleAdd(&r, &a, &b, 2);
    EXPECT_EQ(r.x, 7);
    EXPECT_EQ(r.y, 6);
    QNVec2ScaleSub(&r, &a, &b, 2);
    EXPECT_EQ(r.x, 5);
    EXPECT_EQ(r.y, 10);
    QNVec2Normalize(&r, &a);
    EXPECT_FLOAT_EQ(r.x, 0.6f);
    EXPECT_FLOAT_EQ(r.y, 0.8f);
    EXPECT_FLOAT_EQ(QNVec2Length(&a), 5);
    EXPECT_FLOAT_EQ(QNVec2SquareDistance(&a, &b), 4 + 36);
    EXPECT_FLOAT_EQ(QNVec2DotProduct(&a, &b), -5);
    EXPECT_FLOAT_EQ(QNVec2CrossProductMag(&a, &b), -10);
    const QNVec2 axis = V(2, 0);
    QNVec2Project(&r, &a, &axis);
    EXPECT_FLOAT_EQ(r.x, 3);
    EXPECT_FLOAT_EQ(r.y, 0);
    QNVec2ProjectPerp(&r, &a, &axis);
    EXPECT_FLOAT_EQ(r.x, 0);
    EXPECT_FLOAT_EQ(r.y, 4);
    QNVec2Lerp(&r, &a, &b, 1.5f);
    EXPECT_FLOAT_EQ(r.x, 0);
    EXPECT_FLOAT_EQ(r.y, -5);
    QNVec2FromAngle(&r, 3.14159265f / 2);
    EXPECT_NEAR(r.x, 0, 1e-6f);
    EXPECT_NEAR(r.y, 1, 1e-6f);
    EXPECT_EQ(QNVec2Test(2, 3), 5);
}

TEST(MathScalarTest, BitAndRangeUtilities) {
    struct Case {
        uint32_t x, isPow, next, log;
    } cases[] = {{0, 0, 1, 0},   {1, 1, 2, 0},   {2, 1, 4, 1},           {3, 0, 4, 1},
                 {16, 1, 32, 4}, {17, 0, 32, 4}, {0x80000000u, 1, 0, 31}};
    for (const Case& c : cases) {
        EXPECT_EQ(QNIsPowOf2(c.x), c.isPow) << c.x;
        EXPECT_EQ(QNNextPowOf2(c.x), c.next) << c.x;
        EXPECT_EQ(QNLogBase2(c.x), c.log) << c.x;
    }
    EXPECT_EQ(QNWrap(11, 0, 10), 1);
    EXPECT_EQ(QNWrap(25, 0, 10), 15); // one wrap only
    EXPECT_EQ(QNWrap(-3, 0, 10), 7);
    EXPECT_EQ(QNClamp(5, 0, 3), 3);
    EXPECT_EQ(QNClamp(-1, 0, 3), 0);
    EXPECT_EQ(QNInRange(3, 0, 3), 1);
    EXPECT_EQ(QNInRange(3.01f, 0, 3), 0);
    EXPECT_NEAR(QNDegToRad(180), 3.14159265f, 1e-5f);
    EXPECT_NEAR(QNRadToDeg(3.14159265f), 180, 1e-3f);
    // For equal values QNMin answers the second and QNMax the first; -0 and
    // +0 tell them apart.
    EXPECT_TRUE(std::signbit(QNMin(0.0f, -0.0f)));
    EXPECT_FALSE(std::signbit(QNMax(0.0f, -0.0f)));
}

TEST(MathDistanceTest, PointsCirclesRectsAndSegments) {
    const QNVec2 c = V(0, 0);
    QNVec2 p = V(0, 0);
    EXPECT_FLOAT_EQ(QNCalcDistPointToRect(&p, &c, 4, 2), -1); // -min(w, h)/2
    p = V(5, 5);
    EXPECT_FLOAT_EQ(QNCalcDistPointToRect(&p, &c, 4, 2), 5); // corner (2, 1) is 3-4-5 away
    p = V(0, 3);
    EXPECT_FLOAT_EQ(QNCalcDistPointToCircle(&p, &c, 1), 2);
    const QNVec2 a = V(0, 0), b = V(10, 0);
    struct Case {
        QNVec2 p;
        float d;
    } seg[] = {{V(5, 3), 3}, {V(-3, 4), 5}, {V(13, 4), 5}, {V(5, 0), 0}};
    for (const Case& s : seg)
        EXPECT_FLOAT_EQ(QNCalcDistPointToLineSeg(&s.p, &a, &b), s.d) << s.p.x << "," << s.p.y;
    EXPECT_FLOAT_EQ(QNCalcDistPointToLineSeg(&p, &a, &a), 3); // degenerate segment
    const QNVec2 c1 = V(5, 0);
    EXPECT_FLOAT_EQ(QNCalcDistCircleToCircle(&c, 1, &c1, 2), 2);
    EXPECT_FLOAT_EQ(QNCalcDistCircleToRect(&c1, 1, &c, 4, 2), 2);
    EXPECT_EQ(QNCalcDistPointToConvexPoly(&p, &c, 0), -1.0f);
}

TEST(MathDistanceTest, RectToRectDepthAndNormal) {
    const QNVec2 left = V(0, 0), right = V(1.5f, 0), above = V(0, 1.5f), far = V(3, 0);
    QNVec2 n = V(9, 9);
    EXPECT_FLOAT_EQ(QNCalcDistRectToRect(&left, 2, 2, &right, 2, 2, &n), -0.5f);
    EXPECT_EQ(n.x, -1);
    EXPECT_EQ(n.y, 0);
    EXPECT_FLOAT_EQ(QNCalcDistRectToRect(&left, 2, 2, &above, 2, 2, &n), -0.5f);
    EXPECT_EQ(n.x, 0);
    EXPECT_EQ(n.y, -1);
    n = V(9, 9);
    EXPECT_EQ(QNCalcDistRectToRect(&left, 2, 2, &far, 2, 2, &n), 0);
    EXPECT_EQ(n.x, 9) << "normal untouched when apart";
    EXPECT_FLOAT_EQ(QNCalcDistRectToRect(&right, 2, 2, &left, 2, 2, nullptr), -0.5f);
}

TEST(MathTestsTest, OverlapEdgesAreInclusiveExceptCircleToRect) {
    const QNVec2 c = V(0, 0);
    QNVec2 p = V(1, 0);
    EXPECT_TRUE(QNTestPointToCircle(&p, &c, 1));
    EXPECT_TRUE(QNTestPointToRect(&p, &c, 2, 2));
    p = V(1.01f, 0);
    EXPECT_FALSE(QNTestPointToRect(&p, &c, 2, 2));
    const QNVec2 c2 = V(3, 0);
    EXPECT_TRUE(QNTestCircleToCircle(&c, 1, &c2, 2));
    EXPECT_FALSE(QNTestCircleToRect(&c2, 2, &c, 2, 2)) << "touching is not overlapping";
    EXPECT_TRUE(QNTestCircleToRect(&c2, 2.01f, &c, 2, 2));
    const QNVec2 up3 = V(0, 3);
    EXPECT_FALSE(QNTestRectToRect(&c, 4, 1, &up3, 4, 1));
    const QNVec2 up1 = V(0, 1);
    EXPECT_TRUE(QNTestRectToRect(&c, 4, 1, &up1, 4, 1));
    const QNLineSegment2D s = Segment(V(0, 0), V(10, 0)); // normal (0, 1)
    EXPECT_FLOAT_EQ(QNStaticPointToStaticLineSegment(&up3, &s), 3);
}

TEST(MathSweptTest, PointAndCircleAgainstASegment) {
    const QNLineSegment2D s = Segment(V(0, 0), V(10, 0));
    QNVec2 pi = V(0, 0);
    const QNVec2 start = V(5, 4), end = V(5, -4);
    EXPECT_FLOAT_EQ(QNAnimatedPointToStaticLineSegment(&start, &end, &s, &pi), 0.5f);
    EXPECT_FLOAT_EQ(pi.x, 5);
    EXPECT_FLOAT_EQ(pi.y, 0);
    const QNVec2 above = V(5, 1);
    EXPECT_EQ(QNAnimatedPointToStaticLineSegment(&start, &above, &s, &pi), -1.0f) << "no crossing";
    const QNVec2 side = V(20, 4), sideEnd = V(20, -4);
    EXPECT_EQ(QNAnimatedPointToStaticLineSegment(&side, &sideEnd, &s, &pi), -1.0f)
        << "past the end";
    const QNVec2 parallel = V(0, 0), parallelEnd = V(10, 0);
    EXPECT_EQ(QNAnimatedPointToStaticLineSegment(&parallel, &parallelEnd, &s, &pi), -1.0f);
    // A circle of radius 2 touches the line two units early.
    EXPECT_FLOAT_EQ(QNAnimatedCircleToStaticLineSegment(&start, &end, 2, &s, &pi), 0.25f);
    EXPECT_FLOAT_EQ(pi.y, 2);
    QNVec2 reflected;
    EXPECT_FLOAT_EQ(QNReflectAnimatedPointOnStaticLineSegment(&start, &end, &s, &pi, &reflected),
                    0.5f);
    EXPECT_FLOAT_EQ(reflected.x, 0);
    EXPECT_FLOAT_EQ(reflected.y, 4);
    const QNVec2 slanted = V(1, 4), slantedEnd = V(5, -4);
    QNReflectAnimatedCircleOnStaticLineSegment(&slanted, &slantedEnd, 2, &s, &pi, &reflected);
    EXPECT_FLOAT_EQ(reflected.x, 3);
    EXPECT_FLOAT_EQ(reflected.y, 6);
}

TEST(MathSweptTest, PointAndCircleAgainstACircle) {
    const QNVec2 centre = V(10, 0), start = V(0, 0), end = V(20, 0);
    QNVec2 pi;
    EXPECT_FLOAT_EQ(QNAnimatedPointToStaticCircle(&start, &end, &centre, 2, &pi), 0.4f);
    EXPECT_FLOAT_EQ(pi.x, 8);
    const QNVec2 miss = V(0, 5), missEnd = V(20, 5);
    EXPECT_EQ(QNAnimatedPointToStaticCircle(&miss, &missEnd, &centre, 2, &pi), -1.0f);
    const QNVec2 inside = V(9.5f, 0), away = V(0, 0);
    EXPECT_EQ(QNAnimatedPointToStaticCircle(&inside, &away, &centre, 2, &pi), -1.0f)
        << "starting inside and moving away";
    const QNVec2 shortEnd = V(5, 0);
    EXPECT_EQ(QNAnimatedPointToStaticCircle(&start, &shortEnd, &centre, 2, &pi), -1.0f)
        << "stops before reaching it";
    EXPECT_FLOAT_EQ(QNAnimatedCircleToStaticCircle(&start, &end, 1, &centre, 1, &pi), 0.4f);
    QNVec2 reflected;
    EXPECT_FLOAT_EQ(QNReflectAnimatedPointOnStaticCircle(&start, &end, &centre, 2, &pi, &reflected),
                    0.4f);
    EXPECT_FLOAT_EQ(reflected.x, -8); // head-on: straight back
    EXPECT_NEAR(reflected.y, 0, 1e-5f);
    EXPECT_FLOAT_EQ(
        QNReflectAnimatedCircleOnStaticCircle(&start, &end, 1, &centre, 1, &pi, &reflected), 0.4f);
}

} // namespace
