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

TEST(TimeLeftTextTest, RowPaceAndStatusLineLeaveOutWhatIsUnknown)
{
    EXPECT_EQ(TimeLeftText::rowPace(1.234, 75.0), "速度 1.23x 剩余约 01:15");
    EXPECT_EQ(TimeLeftText::rowPace(std::nullopt, 75.0), "剩余约 01:15");
    EXPECT_EQ(TimeLeftText::rowPace(2.0, std::nullopt), "速度 2.00x 剩余时间未知");
    EXPECT_EQ(TimeLeftText::rowPace(std::numeric_limits<double>::quiet_NaN(), std::nullopt), "剩余时间未知");

    const std::string status = "正在转换文件,请稍候...";
    EXPECT_EQ(TimeLeftText::withTimeLeft(status, 75.0), status + " 剩余约 01:15");
    EXPECT_EQ(TimeLeftText::withTimeLeft(status, 0.0), status + " 剩余约 00:00");
    EXPECT_EQ(TimeLeftText::withTimeLeft(status, 1e9), status + " 剩余超过 100 小时");
    for (std::optional<double> unknown : {std::optional<double>(), std::optional<double>(-3.0),
                                          std::optional<double>(std::numeric_limits<double>::quiet_NaN())})
        EXPECT_EQ(TimeLeftText::withTimeLeft(status, unknown), status);
}
