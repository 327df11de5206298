#include "convert/TimeLeftText.h"

#include <gtest/gtest.h>

#include <limits>

using convert::TimeLeftText;

TEST(TimeLeftTextTest, MinutesUnderAnHourHoursFromAnHourOn)
{
    EXPECT_EQ(TimeLeftText::timeLeft(0.0), "剩余约 00:00");
    EXPECT_EQ(TimeLeftText::timeLeft(0.2), "剩余约 00:01");  // rounded up: still running
    EXPECT_EQ(TimeLeftText::timeLeft(59.0), "剩余约 00:59");
    EXPECT_EQ(TimeLeftText::timeLeft(75.0), "剩余约 01:15");
    EXPECT_EQ(TimeLeftText::timeLeft(3599.0), "剩余约 59:59");
    EXPECT_EQ(TimeLeftText::timeLeft(3599.5), "剩余约 1:00:00");
    EXPECT_EQ(TimeLeftText::timeLeft(3725.0), "剩余约 1:02:05");
    EXPECT_EQ(TimeLeftText::timeLeft(99 * 3600.0 + 59 * 60 + 59), "剩余约 99:59:59");
    EXPECT_EQ(TimeLeftText::timeLeft(100 * 3600.0), "剩余超过 100 小时");
    EXPECT_EQ(TimeLeftText::timeLeft(1e300), "剩余超过 100 小时");
    EXPECT_EQ(TimeLeftText::timeLeft(std::numeric_limits<double>::infinity()), "剩余超过 100 小时");
}

TEST(TimeLeftTextTest, UnknownAndNonsenseSayUnknown)
{
    EXPECT_EQ(TimeLeftText::timeLeft(std::nullopt), "剩余时间未知");
    EXPECT_EQ(TimeLeftText::timeLeft(-1.0), "剩余时间未知");
    EXPECT_EQ(TimeLeftText::timeLeft(std::numeric_limits<double>::quiet_NaN()), "剩余时间未知");
    EXPECT_EQ(TimeLeftText::timeLeft(-std::numeric_limits<double>::infinity()), "剩余时间未知");
}

TEST(TimeLeftTextTest, SpeedWithTwoDecimals)
{
    EXPECT_EQ(TimeLeftText::speed(1.234), "1.23x");
    EXPECT_EQ(TimeLeftText::speed(0.837), "0.84x");
    EXPECT_EQ(TimeLeftText::speed(250.0), "250.00x");
    EXPECT_EQ(TimeLeftText::speed(1e6), "1000000.00x");
    for (double nonsense : {0.0, -1.0, 1e6 + 1, 1e300, std::numeric_limits<double>::infinity(),
                            std::numeric_limits<double>::quiet_NaN()})
        EXPECT_EQ(TimeLeftText::speed(nonsense), "") << nonsense;
    EXPECT_EQ(TimeLeftText::speed(std::nullopt), "");
}
