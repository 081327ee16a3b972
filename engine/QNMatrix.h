// QNMatrix.h -- the engine's 4-component value types: Matrix4, Vector4, Point4.
//
// Row-major 4 x 4 matrices that multiply column vectors; equality compares
// every component with an absolute tolerance of 1e-5.
#pragma once

// A direction or difference in homogeneous form; w usually 0.
struct Vector4 {
    float x, y, z, w;

    Vector4();
    Vector4(float xx, float yy, float zz, float ww);

    Vector4 operator-() const;
    Vector4 operator+(const Vector4& rhs) const;
    Vector4 operator-(const Vector4& rhs) const;
    Vector4 operator*(float s) const;
    Vector4 operator/(float s) const;
    Vector4& operator+=(const Vector4& rhs);
    Vector4& operator-=(const Vector4& rhs);
    Vector4& operator*=(float s);
    Vector4& operator/=(float s);
    bool operator==(const Vector4& rhs) const;
    bool operator!=(const Vector4& rhs) const;

    // Sets all four components to 0.
    void Zero();
    // x, y, z dot product; w takes no part.
    float Dot(const Vector4& rhs) const;
    // 3-D cross product of x, y, z; the result has w = 0.
    Vector4 Cross(const Vector4& rhs) const;
    // Length over all four components.
    float Length() const;
    float LengthSq() const;
    // Divides by the length unless it is below 1e-5.
    Vector4& Normalize();
    void Print() const;
};

// A position in homogeneous form; w defaults to 1.
struct Point4 {
    float x, y, z, w;

    Point4();
    Point4(float xx, float yy, float zz, float ww = 1.0f);

    Point4 operator-() const;
    Vector4 operator-(const Point4& rhs) const;
    Point4 operator+(const Vector4& rhs) const;
    Point4 operator-(const Vector4& rhs) const;
    Point4& operator+=(const Vector4& rhs);
    Point4& operator-=(const Vector4& rhs);
    bool operator==(const Point4& rhs) const;
    bool operator!=(const Point4& rhs) const;

    // Back to the origin: (0, 0, 0, 1).
    void Zero();
    void Print() const;
};

// Row-major: m[row][column], element (r, c) at index 4r + c.
struct Matrix4 {
    float m[4][4];

    Matrix4();
    Matrix4(float m00, float m01, float m02, float m03, float m10, float m11, float m12, float m13,
            float m20, float m21, float m22, float m23, float m30, float m31, float m32, float m33);

    Matrix4 operator+(const Matrix4& rhs) const;
    Matrix4 operator-(const Matrix4& rhs) const;
    Matrix4 operator*(const Matrix4& rhs) const;
    Vector4 operator*(const Vector4& v) const;
    Point4 operator*(const Point4& p) const;
    Matrix4 operator*(float s) const;
    Matrix4 operator/(float s) const;
    Matrix4& operator+=(const Matrix4& rhs);
    Matrix4& operator-=(const Matrix4& rhs);
    Matrix4& operator*=(const Matrix4& rhs);
    Matrix4& operator*=(float s);
    Matrix4& operator/=(float s);
    bool operator==(const Matrix4& rhs) const;
    bool operator!=(const Matrix4& rhs) const;

    // All elements 0.
    void Zero();
    // The identity matrix.
    void Identity();
    void Print() const;
};
