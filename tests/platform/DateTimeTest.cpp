#include "platform/DateTime.h"

#include <gtest/gtest.h>

#include <ctime>

namespace tavlor {
namespace {

TEST(DateTime, NowCountsLocalDaysFrom1899) {
    const std::time_t seconds = std::time(nullptr);
    std::tm local{};
    localtime_r(&seconds, &local);
    std::tm origin{};
    origin.tm_year = -1;
    origin.tm_mon = 11;
    origin.tm_mday = 30;
    // The local date and time read as if they were UTC, counted from 1899-12-30.
    const double days = std::difftime(timegm(&local), timegm(&origin)) / 86400;
    EXPECT_NEAR(Now(), days, SecondsToDays(2));
}

}  // namespace
}  // namespace tavlor
