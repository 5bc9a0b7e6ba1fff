#include "platform/DateTime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>

namespace tavlor {
namespace {

TEST(DateTime, NowCountsLocalDaysFrom1899) {
    const std::time_t seconds = std::time(nullptr);
    std::tm local{};
    localtime_r(&seconds, &local);
    const TDateTime now = Now();
    // The whole part is the local date: days since 1899-12-30.
    std::tm origin{};
    origin.tm_year = -1;
    origin.tm_mon = 11;
    origin.tm_mday = 30;
    std::tm today{};
    today.tm_year = local.tm_year;
    today.tm_mon = local.tm_mon;
    today.tm_mday = local.tm_mday;
    const double days = std::round(std::difftime(timegm(&today), timegm(&origin)) / 86400);
    EXPECT_NEAR(std::floor(now), days, 1.0);
    const double secondsOfDay = local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
    EXPECT_NEAR(DaysToSeconds(now - std::floor(now)), secondsOfDay, 2.0);
}

TEST(DateTime, SecondsAndPauses) {
    EXPECT_DOUBLE_EQ(SecondsToDays(1), 1.0 / 86400);
    EXPECT_DOUBLE_EQ(DaysToSeconds(cOneHour), 3600);
    const TDateTime start = MonotonicNow();
    Sleep(30);
    const double waited = DaysToSeconds(MonotonicNow() - start);
    EXPECT_GE(waited, 0.029);
    EXPECT_LT(waited, 5.0);
}

}  // namespace
}  // namespace tavlor
