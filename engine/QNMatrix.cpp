// QNMatrix -- value types for homogeneous 4-component math.
#include "engine/QNMatrix.h"

#include <cmath>
#include <cstdio>

// ---------------------------------------------------------------------------
// Module helpers
// ---------------------------------------------------------------------------
namespace {
constexpr float kEpsilon = 0.00001f;

bool Near(float a, float b) {
    return std::fabs(a - b) < kEpsilon;
}
} // namespace

// ---------------------------------------------------------------------------
// Vector4
// ---------------------------------------------------------------------------
Vector4::Vector4() : x(0.0f), y(0.0f), z(0.0f), w(0.0f) {}
Vector4::Vector4(float xx, float yy, float zz, float ww) : x(xx), y(yy), z(zz), w(ww) {}

Vector4 Vector4::operator-() const {
    return Vector4(-x, -y, -z, -w);
}
Vector4 Vector4::operator+(const Vector4& r) const {
    return Vector4(x + r.x, y + r.y, z + r.z, w + r.w);
}
Vector4 Vector4::operator-(const Vector4& r) const {
    return Vector4(x - r.x, y - r.y, z - r.z, w - r.w);
}
Vector4 Vector4::operator*(float s) const {
    return Vector4(x * s, y * s, z * s, w * s);
}
Vector4 Vector4::operator/(float s) const {
    return Vector4(x / s, y / s, z / s, w / s);
}
Vector4& Vector4::operator+=(const Vector4& r) {
    return *this = *this + r;
}
Vector4& Vector4::operator-=(const Vector4& r) {
    return *this = *this - r;
}
Vector4& Vector4::operator*=(float s) {
    return *this = *this * s;
}
Vector4& Vector4::operator/=(float s) {
    return *this = *this / s;
}

bool Vector4::operator==(const Vector4& r) const {
    return Near(x, r.x) && Near(y, r.y) && Near(z, r.z) && Near(w, r.w);
}
bool Vector4::operator!=(const Vector4& r) const {
    return !(*this == r);
}

void Vector4::Zero() {
    x = y = z = w = 0.0f;
}
float Vector4::Dot(const Vector4& r) const {
    return x * r.x + y * r.y + z * r.z;
}
Vector4 Vector4::Cross(const Vector4& r) const {
    return Vector4(y * r.z - z * r.y, z * r.x - x * r.z, x * r.y - y * r.x, 0.0f);
}
float Vector4::LengthSq() const {
    return x * x + y * y + z * z + w * w;
}
float Vector4::Length() const {
    return std::sqrt(LengthSq());
}
Vector4& Vector4::Normalize() {
    const float len = Length();
    if (len >= kEpsilon) {
        *this /= len;
    }
    return *this;
}
void Vector4::Print() const {
    std::printf("%5.3f, %5.3f, %5.3f, %5.3f\n", x, y, z, w);
}

// ---------------------------------------------------------------------------
// Point4
// ---------------------------------------------------------------------------
Point4::Point4() : x(0.0f), y(0.0f), z(0.0f), w(1.0f) {}
Point4::Point4(float xx, float yy, float zz, float ww) : x(xx), y(yy), z(zz), w(ww) {}

Point4 Point4::operator-() const {
    return Point4(-x, -y, -z, -w);
}
Vector4 Point4::operator-(const Point4& r) const {
    return Vector4(x - r.x, y - r.y, z - r.z, w - r.w);
}
Point4 Point4::operator+(const Vector4& r) const {
    return Point4(x + r.x, y + r.y, z + r.z, w + r.w);
}
Point4 Point4::operator-(const Vector4& r) const {
    return Point4(x - r.x, y - r.y, z - r.z, w - r.w);
}
Point4& Point4::operator+=(const Vector4& r) {
    return *this = *this + r;
}
Point4& Point4::operator-=(const Vector4& r) {
    return *this = *this - r;
}
bool Point4::operator==(const Point4& r) const {
    return Near(x, r.x) && Near(y, r.y) && Near(z, r.z) && Near(w, r.w);
}
bool Point4::operator!=(const Point4& r) const {
    return !(*this == r);
}
void Point4::Zero() {
    x = y = z = 0.0f;
    w = 1.0f;
}
void Point4::Print() const {
    std::printf("%5.3f, %5.3f, %5.3f, %5.3f\n", x, y, z, w);
}

// ---------------------------------------------------------------------------
// Matrix4
// ---------------------------------------------------------------------------
Matrix4::Matrix4() {
    Zero();
}

Matrix4::Matrix4(float m00, float m01, float m02, float m03, float m10, float m11, float m12,
                 float m13, float m20, float m21, float m22, float m23, float m30, float m31,
                 float m32, float m33)
    : m{{m00, m01, m02, m03}, {m10, m11, m12, m13}, {m20, m21, m22, m23}, {m30, m31, m32, m33}} {}

Matrix4 Matrix4::operator+(const Matrix4& rhs) const {
    Matrix4 r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = m[i][j] + rhs.m[i][j];
    return r;
}

Matrix4 Matrix4::operator-(const Matrix4& rhs) const {
    Matrix4 r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = m[i][j] - rhs.m[i][j];
    return r;
}

Matrix4 Matrix4::operator*(const Matrix4& rhs) const {
    Matrix4 r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k)
                sum += m[i][k] * rhs.m[k][j];
            r.m[i][j] = sum;
        }
    return r;
}

Vector4 Matrix4::operator*(const Vector4& v) const {
    const float in[4] = {v.x, v.y, v.z, v.w};
    float out[4];
    for (int i = 0; i < 4; ++i)
        out[i] = m[i][0] * in[0] + m[i][1] * in[1] + m[i][2] * in[2] + m[i][3] * in[3];
    return Vector4(out[0], out[1], out[2], out[3]);
}

Point4 Matrix4::operator*(const Point4& p) const {
    const Vector4 r = *this * Vector4(p.x, p.y, p.z, p.w);
    return Point4(r.x, r.y, r.z, r.w);
}

Matrix4 Matrix4::operator*(float s) const {
    Matrix4 r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = m[i][j] * s;
    return r;
}

Matrix4 Matrix4::operator/(float s) const {
    return *this * (1.0f / s);
}
Matrix4& Matrix4::operator+=(const Matrix4& rhs) {
    return *this = *this + rhs;
}
Matrix4& Matrix4::operator-=(const Matrix4& rhs) {
    return *this = *this - rhs;
}
Matrix4& Matrix4::operator*=(const Matrix4& rhs) {
    return *this = *this * rhs;
}
Matrix4& Matrix4::operator*=(float s) {
    return *this = *this * s;
}
Matrix4& Matrix4::operator/=(float s) {
    return *this = *this / s;
}

bool Matrix4::operator==(const Matrix4& rhs) const {
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            if (!Near(m[i][j], rhs.m[i][j]))
                return false;
    return true;
}
bool Matrix4::operator!=(const Matrix4& rhs) const {
    return !(*this == rhs);
}

void Matrix4::Zero() {
    for (auto& row : m)
        for (float& e : row)
            e = 0.0f;
}

void Matrix4::Identity() {
    Zero();
    for (int i = 0; i < 4; ++i)
        m[i][i] = 1.0f;
}

void Matrix4::Print() const {
    std::printf("--------------------------\n");
    for (const auto& row : m)
        std::printf("%5.3f %5.3f %5.3f %5.3f\n", row[0], row[1], row[2], row[3]);
    std::printf("--------------------------\n");
}
