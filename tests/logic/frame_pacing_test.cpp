// The frame-rate controller: frames never end before their length, sleeping
// pacing leaves the processor alone, and the sleep margin follows the
// measured overshoot.
#include "engine/QNSystem.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <time.h>

namespace {

constexpr double kMs = 0.001;

TEST(SleepMarginTest, FollowsTheWorstRecentOvershootButOne) {
    QNSleepMargin margin;
    for (int i = 0; i < QNSleepMargin::kWarmUp - 1; ++i)
        margin.Add(0.0);
    EXPECT_EQ(margin.Seconds(), QNSleepMargin::kInitial) << "too few sleeps to judge by";

    margin.Add(0.05 * kMs);
    EXPECT_EQ(margin.Seconds(), QNSleepMargin::kFloor) << "a quiet machine keeps the floor";

    margin.Add(5.0 * kMs);
    EXPECT_EQ(margin.Seconds(), QNSleepMargin::kFloor) << "one preemption alone moves nothing";

    margin.Add(1.0 * kMs);
    EXPECT_DOUBLE_EQ(margin.Seconds(), 1.0 * kMs + QNSleepMargin::kPad);

    margin.Add(-3.0 * kMs); // early wake-ups count as no lateness
    EXPECT_DOUBLE_EQ(margin.Seconds(), 1.0 * kMs + QNSleepMargin::kPad);

    margin.Add(7.0 * kMs);
    EXPECT_EQ(margin.Seconds(), QNSleepMargin::kCeiling) << "never more than the ceiling";

    for (int i = 0; i < QNSleepMargin::kWindow; ++i)
        margin.Add(0.5 * kMs);
    EXPECT_DOUBLE_EQ(margin.Seconds(), 0.5 * kMs + QNSleepMargin::kPad)
        << "old overshoots leave the window";
}

double ThreadCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

double WallSeconds() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

class FrameRateControllerTest : public ::testing::Test {
protected:
    void TearDown() override {
        QNFrameRateControllerSetPacing(QN_PACING_SLEEP);
        QNFrameRateControllerSetFixedFrameTime(0.0);
    }
};

TEST_F(FrameRateControllerTest, NoFrameEndsBeforeItsLengthWhicheverTheWait) {
    for (QNFramePacing pacing : {QN_PACING_BUSY, QN_PACING_SLEEP}) {
        SCOPED_TRACE(pacing);
        QNFrameRateControllerSetPacing(pacing);
        QNFrameRateControllerInit(100);
        for (uint32_t frame = 1; frame <= 5; ++frame) {
            QNFrameRateControllerStart();
            QNFrameRateControllerEnd();
            EXPECT_GE(QNFrameRateControllerGetFrameTime(), 0.01);
            EXPECT_DOUBLE_EQ(QNFrameRateControllerGetFrameRate(),
                             1.0 / QNFrameRateControllerGetFrameTime());
            EXPECT_EQ(QNFrameRateControllerGetFrameCount(), frame);
        }
    }
}

TEST_F(FrameRateControllerTest, ScriptedFramesReportTheirFixedTime) {
    QNFrameRateControllerInit(60);
    QNFrameRateControllerSetFixedFrameTime(0.5);
    QNFrameRateControllerStart();
    QNFrameRateControllerEnd();
    EXPECT_EQ(QNFrameRateControllerGetFrameTime(), 0.5);
    EXPECT_EQ(QNFrameRateControllerGetFrameRate(), 2.0);
}

TEST_F(FrameRateControllerTest, SleepingPacingLeavesMostOfTheSpareTimeToOthers) {
    // Idle 60 Hz frames: all of each frame is spare time. Even with the
    // margin at its ceiling, the counter is read for under a quarter of it.
    QNFrameRateControllerSetPacing(QN_PACING_SLEEP);
    QNFrameRateControllerInit(60);
    const double cpu0 = ThreadCpuSeconds(), wall0 = WallSeconds();
    for (int frame = 0; frame < 30; ++frame) {
        QNFrameRateControllerStart();
        QNFrameRateControllerEnd();
    }
    const double cpu = ThreadCpuSeconds() - cpu0, wall = WallSeconds() - wall0;
    EXPECT_GE(wall, 30.0 / 60.0);
    EXPECT_LT(cpu, 0.5 * wall) << "the wait kept the processor busy";
}

} // namespace
