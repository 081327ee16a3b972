// QNMath -- 2-D vectors, scalar utilities, distances, overlap and swept
// collision tests of the engine's exported math library.
#include "engine/QNMath.h"

#include <cmath>

// ---------------------------------------------------------------------------
// 2-vectors
// ---------------------------------------------------------------------------
QNVec2* QNVec2Zero(QNVec2* r) {
    return QNVec2Set(r, 0.0f, 0.0f);
}

QNVec2* QNVec2Set(QNVec2* r, float x, float y) {
    r->x = x;
    r->y = y;
    return r;
}

QNVec2* QNVec2Neg(QNVec2* r, const QNVec2* a) {
    return QNVec2Set(r, -a->x, -a->y);
}
QNVec2* QNVec2Add(QNVec2* r, const QNVec2* a, const QNVec2* b) {
    return QNVec2Set(r, a->x + b->x, a->y + b->y);
}
QNVec2* QNVec2Sub(QNVec2* r, const QNVec2* a, const QNVec2* b) {
    return QNVec2Set(r, a->x - b->x, a->y - b->y);
}
QNVec2* QNVec2Normalize(QNVec2* r, const QNVec2* a) {
    const float len = QNVec2Length(a);
    return QNVec2Set(r, a->x / len, a->y / len);
}
QNVec2* QNVec2Scale(QNVec2* r, const QNVec2* a, float s) {
    return QNVec2Set(r, a->x * s, a->y * s);
}
QNVec2* QNVec2ScaleAdd(QNVec2* r, const QNVec2* a, const QNVec2* b, float s) {
    return QNVec2Set(r, a->x * s + b->x, a->y * s + b->y);
}
QNVec2* QNVec2ScaleSub(QNVec2* r, const QNVec2* a, const QNVec2* b, float s) {
    return QNVec2Set(r, a->x * s - b->x, a->y * s - b->y);
}
QNVec2* QNVec2Project(QNVec2* r, const QNVec2* a, const QNVec2* b) {
    QNVec2 unit;
    QNVec2Normalize(&unit, b);
    return QNVec2Scale(r, &unit, QNVec2DotProduct(a, &unit));
}
QNVec2* QNVec2ProjectPerp(QNVec2* r, const QNVec2* a, const QNVec2* b) {
    QNVec2 along;
    QNVec2Project(&along, a, b);
    return QNVec2Sub(r, a, &along);
}
QNVec2* QNVec2Lerp(QNVec2* r, const QNVec2* a, const QNVec2* b, float t) {
    return QNVec2Set(r, a->x + (b->x - a->x) * t, a->y + (b->y - a->y) * t);
}
float QNVec2Length(const QNVec2* a) {
    return std::sqrt(QNVec2SquareLength(a));
}
float QNVec2SquareLength(const QNVec2* a) {
    return a->x * a->x + a->y * a->y;
}
float QNVec2Distance(const QNVec2* a, const QNVec2* b) {
    return std::sqrt(QNVec2SquareDistance(a, b));
}
float QNVec2SquareDistance(const QNVec2* a, const QNVec2* b) {
    const QNVec2 d = {a->x - b->x, a->y - b->y};
    return QNVec2SquareLength(&d);
}
float QNVec2DotProduct(const QNVec2* a, const QNVec2* b) {
    return a->x * b->x + a->y * b->y;
}
float QNVec2CrossProductMag(const QNVec2* a, const QNVec2* b) {
    return a->x * b->y - a->y * b->x;
}
QNVec2* QNVec2FromAngle(QNVec2* r, float angle) {
    return QNVec2Set(r, std::cos(angle), std::sin(angle));
}
int QNVec2Test(int a, int b) {
    return a + b;
}

// ---------------------------------------------------------------------------
// Scalars and angles
// ---------------------------------------------------------------------------
float QNDegToRad(float d) {
    return d * 0.017453292f;
}
float QNRadToDeg(float r) {
    return r * 57.295784f;
}
float QNSin(float a) {
    return std::sin(a);
}
float QNCos(float a) {
    return std::cos(a);
}
float QNTan(float a) {
    return std::tan(a);
}
float QNASin(float a) {
    return std::asin(a);
}
float QNACos(float a) {
    return std::acos(a);
}
float QNATan(float a) {
    return std::atan(a);
}

uint32_t QNIsPowOf2(uint32_t x) {
    return (x != 0 && (x & (x - 1)) == 0) ? 1u : 0u;
}

uint32_t QNNextPowOf2(uint32_t x) {
    x |= x >> 1;
    x |= x >> 2;
    x |= x >> 4;
    x |= x >> 8;
    x |= x >> 16;
    return x + 1;
}

uint32_t QNLogBase2(uint32_t x) {
    uint32_t index = 0;
    while (x >= 2) {
        x >>= 1;
        ++index;
    }
    return index;
}

float QNClamp(float x, float lo, float hi) {
    if (x < lo)
        return lo;
    if (x > hi)
        return hi;
    return x;
}

float QNWrap(float x, float lo, float hi) {
    if (x < lo)
        return hi - lo + x;
    if (x > hi)
        return x - (hi - lo);
    return x;
}

float QNMin(float a, float b) {
    return a < b ? a : b;
}
float QNMax(float a, float b) {
    return a >= b ? a : b;
}
int QNInRange(float x, float lo, float hi) {
    return (lo <= x && x <= hi) ? 1 : 0;
}

// ---------------------------------------------------------------------------
// Static distances
// ---------------------------------------------------------------------------
float QNCalcDistPointToCircle(const QNVec2* p, const QNVec2* c, float r) {
    return QNVec2Distance(p, c) - r;
}

float QNCalcDistPointToRect(const QNVec2* p, const QNVec2* c, float w, float h) {
    const QNVec2 d = {p->x - c->x, p->y - c->y};
    const float hw = w * 0.5f;
    const float hh = h * 0.5f;
    if (std::fabs(d.x) <= hw && std::fabs(d.y) <= hh) {
        return -std::fmin(hw - std::fabs(d.x), hh - std::fabs(d.y));
    }
    const QNVec2 q = {QNClamp(d.x, -hw, hw), QNClamp(d.y, -hh, hh)};
    return QNVec2Distance(&d, &q);
}

float QNCalcDistPointToLineSeg(const QNVec2* p, const QNVec2* a, const QNVec2* b) {
    QNVec2 v, ap;
    QNVec2Sub(&v, b, a);
    const float len = QNVec2Length(&v);
    if (len < 1e-5f)
        return QNVec2Distance(p, a);
    QNVec2Sub(&ap, p, a);
    const float s = QNVec2DotProduct(&ap, &v) / len;
    if (s <= 0.0f)
        return QNVec2Distance(p, a);
    if (s >= len)
        return QNVec2Distance(p, b);
    const float h = QNVec2SquareLength(&ap) - s * s;
    return h <= 0.0f ? 0.0f : std::sqrt(h);
}

float QNCalcDistPointToConvexPoly(const QNVec2*, const QNVec2*, uint32_t) {
    return -1.0f;
}

float QNCalcDistCircleToCircle(const QNVec2* c0, float r0, const QNVec2* c1, float r1) {
    return QNVec2Distance(c0, c1) - r0 - r1;
}

float QNCalcDistCircleToRect(const QNVec2* c, float r, const QNVec2* rc, float w, float h) {
    return QNCalcDistPointToRect(c, rc, w, h) - r;
}

float QNCalcDistRectToRect(const QNVec2* c0, float w0, float h0, const QNVec2* c1, float w1,
                           float h1, QNVec2* normalOut) {
    const QNVec2 d = {c1->x - c0->x, c1->y - c0->y};
    if (std::fabs(d.x) >= (w0 + w1) * 0.5f || std::fabs(d.y) >= (h0 + h1) * 0.5f)
        return 0.0f;
    const float px = std::fabs(d.x) - w0 * 0.5f - w1 * 0.5f;
    const float py = std::fabs(d.y) - h0 * 0.5f - h1 * 0.5f;
    float result = px;
    QNVec2 normal = {d.x < 0.0f ? 1.0f : -1.0f, 0.0f};
    if (py > px) {
        result = py;
        normal = {0.0f, d.y < 0.0f ? 1.0f : -1.0f};
    }
    if (normalOut)
        *normalOut = normal;
    return result;
}

// ---------------------------------------------------------------------------
// Static tests
// ---------------------------------------------------------------------------
int QNTestPointToCircle(const QNVec2* p, const QNVec2* c, float r) {
    return QNVec2SquareDistance(p, c) <= r * r ? 1 : 0;
}

int QNTestPointToRect(const QNVec2* p, const QNVec2* c, float w, float h) {
    const float dx = p->x - c->x;
    const float dy = p->y - c->y;
    return (QNInRange(dx, -w * 0.5f, w * 0.5f) && QNInRange(dy, -h * 0.5f, h * 0.5f)) ? 1 : 0;
}

int QNTestCircleToCircle(const QNVec2* c0, float r0, const QNVec2* c1, float r1) {
    return QNVec2SquareDistance(c0, c1) <= (r0 + r1) * (r0 + r1) ? 1 : 0;
}

int QNTestCircleToRect(const QNVec2* c, float r, const QNVec2* rc, float w, float h) {
    return QNCalcDistPointToRect(c, rc, w, h) < r ? 1 : 0;
}

int QNTestRectToRect(const QNVec2* c0, float w0, float h0, const QNVec2* c1, float w1, float h1) {
    return (std::fabs(c1->x - c0->x) <= (w0 + w1) * 0.5f &&
            std::fabs(c1->y - c0->y) <= (h0 + h1) * 0.5f)
               ? 1
               : 0;
}

float QNStaticPointToStaticLineSegment(const QNVec2* p, const QNLineSegment2D* seg) {
    return QNVec2DotProduct(&seg->N, p) - seg->NdotP0;
}

// ---------------------------------------------------------------------------
// Swept tests and reflections
// ---------------------------------------------------------------------------
namespace {

// Shared tail of the segment tests: the hit point must lie between the ends.
float FinishSegmentHit(const QNVec2* Ps, const QNVec2* v, float t, const QNLineSegment2D* seg,
                       QNVec2* Pi) {
    QNVec2 hit, e01, e10, p0i, p1i;
    QNVec2ScaleAdd(&hit, v, Ps, t);
    QNVec2Sub(&e01, &seg->P1, &seg->P0);
    QNVec2Sub(&e10, &seg->P0, &seg->P1);
    QNVec2Sub(&p0i, &hit, &seg->P0);
    QNVec2Sub(&p1i, &hit, &seg->P1);
    if (QNVec2DotProduct(&e01, &p0i) >= 0.0f && QNVec2DotProduct(&e10, &p1i) >= 0.0f) {
        *Pi = hit;
        return t;
    }
    return -1.0f;
}

// The remaining motion after the hit, mirrored on the segment's normal.
void ReflectOnSegment(const QNVec2* Pe, const QNLineSegment2D* seg, const QNVec2* Pi,
                      QNVec2* Rout) {
    QNVec2 u;
    QNVec2Sub(&u, Pe, Pi);
    const float un = QNVec2DotProduct(&u, &seg->N);
    QNVec2Set(Rout, u.x - 2.0f * un * seg->N.x, u.y - 2.0f * un * seg->N.y);
}

} // namespace

float QNAnimatedPointToStaticLineSegment(const QNVec2* Ps, const QNVec2* Pe,
                                         const QNLineSegment2D* seg, QNVec2* Pi) {
    const float ds = QNVec2DotProduct(&seg->N, Ps);
    const float de = QNVec2DotProduct(&seg->N, Pe);
    const float d = seg->NdotP0;
    if ((ds < d && de < d) || (ds > d && de > d))
        return -1.0f;
    QNVec2 v;
    QNVec2Sub(&v, Pe, Ps);
    const float nv = QNVec2DotProduct(&seg->N, &v);
    if (std::fabs(nv) < 1e-5f)
        return -1.0f;
    const float t = (QNVec2DotProduct(&seg->N, &seg->P0) - ds) / nv;
    return FinishSegmentHit(Ps, &v, t, seg, Pi);
}

float QNAnimatedCircleToStaticLineSegment(const QNVec2* Ps, const QNVec2* Pe, float R,
                                          const QNLineSegment2D* seg, QNVec2* Pi) {
    const float ds = QNVec2DotProduct(&seg->N, Ps);
    const float de = QNVec2DotProduct(&seg->N, Pe);
    const float d = seg->NdotP0;
    if ((ds - d < -R && de - d < -R) || (ds - d > R && de - d > R))
        return -1.0f;
    QNVec2 v;
    QNVec2Sub(&v, Pe, Ps);
    const float nv = QNVec2DotProduct(&seg->N, &v);
    if (std::fabs(nv) < 1e-5f)
        return -1.0f;
    const float D = (ds - d >= 0.0f) ? R : -R;
    const float t = (QNVec2DotProduct(&seg->N, &seg->P0) - ds + D) / nv;
    return FinishSegmentHit(Ps, &v, t, seg, Pi);
}

float QNReflectAnimatedPointOnStaticLineSegment(const QNVec2* Ps, const QNVec2* Pe,
                                                const QNLineSegment2D* seg, QNVec2* Pi,
                                                QNVec2* Rout) {
    const float t = QNAnimatedPointToStaticLineSegment(Ps, Pe, seg, Pi);
    if (t > 0.0f)
        ReflectOnSegment(Pe, seg, Pi, Rout);
    return t;
}

float QNReflectAnimatedCircleOnStaticLineSegment(const QNVec2* Ps, const QNVec2* Pe, float R,
                                                 const QNLineSegment2D* seg, QNVec2* Pi,
                                                 QNVec2* Rout) {
    const float t = QNAnimatedCircleToStaticLineSegment(Ps, Pe, R, seg, Pi);
    if (t > 0.0f)
        ReflectOnSegment(Pe, seg, Pi, Rout);
    return t;
}

float QNAnimatedPointToStaticCircle(const QNVec2* Ps, const QNVec2* Pe, const QNVec2* C, float R,
                                    QNVec2* Pi) {
    QNVec2 v, toCentre, dir;
    QNVec2Sub(&v, Pe, Ps);
    const float len = QNVec2Length(&v);
    QNVec2Scale(&dir, &v, 1.0f / len);
    QNVec2Sub(&toCentre, C, Ps);
    const float m = QNVec2DotProduct(&dir, &toCentre);
    const float k = QNVec2SquareDistance(Ps, C);
    const float r2 = R * R;
    if (m < 0.0f && k < r2)
        return -1.0f;
    const float q = k - m * m;
    if (q > r2)
        return -1.0f;
    const float t = (m - std::sqrt(r2 - q)) / len;
    QNVec2ScaleAdd(Pi, &v, Ps, t);
    QNVec2 back, hitFromEnd;
    QNVec2Sub(&back, Ps, Pe);
    QNVec2Sub(&hitFromEnd, Pi, Pe);
    return QNVec2DotProduct(&back, &hitFromEnd) >= 0.0f ? t : -1.0f;
}

float QNReflectAnimatedPointOnStaticCircle(const QNVec2* Ps, const QNVec2* Pe, const QNVec2* C,
                                           float R, QNVec2* Pi, QNVec2* Rout) {
    const float t = QNAnimatedPointToStaticCircle(Ps, Pe, C, R, Pi);
    if (t > 0.0f) {
        QNVec2 n, m;
        QNVec2Sub(&n, Pi, C);
        QNVec2Normalize(&n, &n);
        QNVec2Sub(&m, Ps, Pi);
        const float mn = 2.0f * QNVec2DotProduct(&m, &n);
        QNVec2Set(Rout, mn * n.x - m.x, mn * n.y - m.y);
    }
    return t;
}

float QNAnimatedCircleToStaticCircle(const QNVec2* Ps, const QNVec2* Pe, float R, const QNVec2* C,
                                     float R2, QNVec2* Pi) {
    return QNAnimatedPointToStaticCircle(Ps, Pe, C, R + R2, Pi);
}

float QNReflectAnimatedCircleOnStaticCircle(const QNVec2* Ps, const QNVec2* Pe, float R,
                                            const QNVec2* C, float R2, QNVec2* Pi, QNVec2* Rout) {
    return QNReflectAnimatedPointOnStaticCircle(Ps, Pe, C, R + R2, Pi, Rout);
}
