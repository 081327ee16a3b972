// Matrix4, Vector4 and Point4 value types.
#include "engine/QNMatrix.h"

#include <gtest/gtest.h>

namespace {

TEST(MatrixTypesTest, EqualityUsesAnAbsoluteTolerance) {
    EXPECT_EQ(Point4(1, 2, 3, 1), Point4(1.000001f, 2, 3, 1));
    EXPECT_NE(Point4(1, 2, 3, 1), Point4(1.00002f, 2, 3, 1));
    EXPECT_EQ(Vector4(0, 0, 0, 0), Vector4());
    EXPECT_EQ(Point4(), Point4(0, 0, 0, 1));
}

TEST(MatrixTypesTest, VectorOperations) {
    Vector4 v(3, 4, 0, 0);
    v.Normalize();
    EXPECT_EQ(v, Vector4(0.6f, 0.8f, 0, 0));
    Vector4 zero;
    zero.Normalize();
    EXPECT_EQ(zero, Vector4());
    EXPECT_FLOAT_EQ(Vector4(1, 2, 3, 4).Dot(Vector4(1, 1, 1, 100)), 6);
    EXPECT_FLOAT_EQ(Vector4(0, 0, 0, 2).Length(), 2);
    EXPECT_EQ(Vector4(1, 0, 0, 0).Cross(Vector4(0, 1, 0, 0)), Vector4(0, 0, 1, 0));
    EXPECT_EQ(-Vector4(1, -2, 3, -4), Vector4(-1, 2, -3, 4));
    EXPECT_EQ(Point4(5, 5, 5) - Point4(1, 2, 3), Vector4(4, 3, 2, 0));
    EXPECT_EQ(Point4(1, 1, 1) + Vector4(1, 2, 3, 0), Point4(2, 3, 4, 1));
    Vector4 w(2, 4, 6, 8);
    w /= 2;
    EXPECT_EQ(w, Vector4(1, 2, 3, 4));
}

TEST(MatrixTypesTest, ProductsTreatVectorsAsColumns) {
    Matrix4 translate;
    translate.Identity();
    translate.m[0][3] = 10;
    translate.m[1][3] = 20;
    EXPECT_EQ(translate * Point4(1, 2, 3), Point4(11, 22, 3, 1));
    EXPECT_EQ(translate * Vector4(1, 2, 3, 0), Vector4(1, 2, 3, 0));
    const Matrix4 a(1, 2, 0, 0, 3, 4, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    const Matrix4 b(0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    EXPECT_EQ(a * b, Matrix4(2, 1, 0, 0, 4, 3, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1));
    Matrix4 c = a;
    c *= 2;
    c /= 4;
    EXPECT_EQ(c * 2, a);
    EXPECT_EQ((a + a) - a, a);
    EXPECT_EQ(Matrix4(), Matrix4(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0));
}

TEST(MatrixTypesTest, PrintFormats) {
    testing::internal::CaptureStdout();
    Vector4(1, 2, 3, 4).Print();
    Matrix4 m;
    m.Identity();
    m.Print();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "1.000, 2.000, 3.000, 4.000\n"
                                                      "--------------------------\n"
                                                      "1.000 0.000 0.000 0.000\n"
                                                      "0.000 1.000 0.000 0.000\n"
                                                      "0.000 0.000 1.000 0.000\n"
                                                      "0.000 0.000 0.000 1.000\n"
                                                      "--------------------------\n");
}

} // namespace
