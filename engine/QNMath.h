// QNMath.h -- the engine's exported 2-D math library: vectors, scalar and
// angle utilities, distances and overlap tests between points, circles,
// rectangles and segments, swept tests with a time of impact, reflections.
//
// Every function is pure: it reads its inputs and writes only through its
// output pointers. Angles are radians unless a name says degrees.
#pragma once

#include <cstdint>

struct QNVec2 {
    float x, y;
};

// A segment with its caller-supplied unit normal N and N . P0.
struct QNLineSegment2D {
    QNVec2 P0;
    QNVec2 P1;
    QNVec2 N;
    float NdotP0;
};

// ---------------------------------------------------------------------------
// 2-vectors (result pointer first; each also returns it)
// ---------------------------------------------------------------------------
QNVec2* QNVec2Zero(QNVec2* r);
QNVec2* QNVec2Set(QNVec2* r, float x, float y);
QNVec2* QNVec2Neg(QNVec2* r, const QNVec2* a);
QNVec2* QNVec2Add(QNVec2* r, const QNVec2* a, const QNVec2* b);
QNVec2* QNVec2Sub(QNVec2* r, const QNVec2* a, const QNVec2* b);
// a / |a|; a zero vector gives non-finite components.
QNVec2* QNVec2Normalize(QNVec2* r, const QNVec2* a);
QNVec2* QNVec2Scale(QNVec2* r, const QNVec2* a, float s);
// a s + b
QNVec2* QNVec2ScaleAdd(QNVec2* r, const QNVec2* a, const QNVec2* b, float s);
// a s - b
QNVec2* QNVec2ScaleSub(QNVec2* r, const QNVec2* a, const QNVec2* b, float s);
// The part of a along b.
QNVec2* QNVec2Project(QNVec2* r, const QNVec2* a, const QNVec2* b);
// The part of a across b.
QNVec2* QNVec2ProjectPerp(QNVec2* r, const QNVec2* a, const QNVec2* b);
// a + (b - a) t, t not clamped.
QNVec2* QNVec2Lerp(QNVec2* r, const QNVec2* a, const QNVec2* b, float t);
float QNVec2Length(const QNVec2* a);
float QNVec2SquareLength(const QNVec2* a);
float QNVec2Distance(const QNVec2* a, const QNVec2* b);
float QNVec2SquareDistance(const QNVec2* a, const QNVec2* b);
float QNVec2DotProduct(const QNVec2* a, const QNVec2* b);
float QNVec2CrossProductMag(const QNVec2* a, const QNVec2* b);
// (cos angle, sin angle)
QNVec2* QNVec2FromAngle(QNVec2* r, float angle);
// A smoke-test entry: the integer sum.
int QNVec2Test(int a, int b);

// ---------------------------------------------------------------------------
// Scalars and angles
// ---------------------------------------------------------------------------
float QNDegToRad(float d);
float QNRadToDeg(float r);
float QNSin(float a);
float QNCos(float a);
float QNTan(float a);
float QNASin(float a);
float QNACos(float a);
float QNATan(float a);
uint32_t QNIsPowOf2(uint32_t x);
// The smallest power of two strictly greater than x.
uint32_t QNNextPowOf2(uint32_t x);
// Index of the highest set bit; 0 below 2.
uint32_t QNLogBase2(uint32_t x);
float QNClamp(float x, float lo, float hi);
// Wraps once into [lo, hi].
float QNWrap(float x, float lo, float hi);
float QNMin(float a, float b);
float QNMax(float a, float b);
int QNInRange(float x, float lo, float hi);

// ---------------------------------------------------------------------------
// Static distances (negative means overlap depth)
// ---------------------------------------------------------------------------
float QNCalcDistPointToCircle(const QNVec2* p, const QNVec2* c, float r);
float QNCalcDistPointToRect(const QNVec2* p, const QNVec2* c, float w, float h);
float QNCalcDistPointToLineSeg(const QNVec2* p, const QNVec2* a, const QNVec2* b);
// Not provided: always -1.
float QNCalcDistPointToConvexPoly(const QNVec2* p, const QNVec2* vertices, uint32_t count);
float QNCalcDistCircleToCircle(const QNVec2* c0, float r0, const QNVec2* c1, float r1);
float QNCalcDistCircleToRect(const QNVec2* c, float r, const QNVec2* rc, float w, float h);
// Overlap depth of two rectangles (0 when apart); the normal points from
// rectangle 1 toward rectangle 0 and is written when normalOut is not null.
float QNCalcDistRectToRect(const QNVec2* c0, float w0, float h0, const QNVec2* c1, float w1,
                           float h1, QNVec2* normalOut);

// ---------------------------------------------------------------------------
// Static tests (1 for contact)
// ---------------------------------------------------------------------------
int QNTestPointToCircle(const QNVec2* p, const QNVec2* c, float r);
int QNTestPointToRect(const QNVec2* p, const QNVec2* c, float w, float h);
int QNTestCircleToCircle(const QNVec2* c0, float r0, const QNVec2* c1, float r1);
int QNTestCircleToRect(const QNVec2* c, float r, const QNVec2* rc, float w, float h);
int QNTestRectToRect(const QNVec2* c0, float w0, float h0, const QNVec2* c1, float w1, float h1);
// Signed distance of p to the segment's line, positive on the normal's side.
float QNStaticPointToStaticLineSegment(const QNVec2* p, const QNLineSegment2D* seg);

// ---------------------------------------------------------------------------
// Swept tests: time of impact as a fraction of the move Ps -> Pe, or -1.
// ---------------------------------------------------------------------------
float QNAnimatedPointToStaticLineSegment(const QNVec2* Ps, const QNVec2* Pe,
                                         const QNLineSegment2D* seg, QNVec2* Pi);
float QNAnimatedCircleToStaticLineSegment(const QNVec2* Ps, const QNVec2* Pe, float R,
                                          const QNLineSegment2D* seg, QNVec2* Pi);
float QNReflectAnimatedPointOnStaticLineSegment(const QNVec2* Ps, const QNVec2* Pe,
                                                const QNLineSegment2D* seg, QNVec2* Pi,
                                                QNVec2* Rout);
float QNReflectAnimatedCircleOnStaticLineSegment(const QNVec2* Ps, const QNVec2* Pe, float R,
                                                 const QNLineSegment2D* seg, QNVec2* Pi,
                                                 QNVec2* Rout);
float QNAnimatedPointToStaticCircle(const QNVec2* Ps, const QNVec2* Pe, const QNVec2* C, float R,
                                    QNVec2* Pi);
float QNReflectAnimatedPointOnStaticCircle(const QNVec2* Ps, const QNVec2* Pe, const QNVec2* C,
                                           float R, QNVec2* Pi, QNVec2* Rout);
float QNAnimatedCircleToStaticCircle(const QNVec2* Ps, const QNVec2* Pe, float R, const QNVec2* C,
                                     float R2, QNVec2* Pi);
float QNReflectAnimatedCircleOnStaticCircle(const QNVec2* Ps, const QNVec2* Pe, float R,
                                            const QNVec2* C, float R2, QNVec2* Pi, QNVec2* Rout);
