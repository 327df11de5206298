#include <gtest/gtest.h>

#include <cstdlib>

// The end-to-end suite needs Debian's encoders; `make test` installs them.
TEST(EncodersInstalledTest, FfmpegAnswers)
{
    EXPECT_EQ(std::system("ffmpeg -hide_banner -version > /dev/null 2>&1"), 0);
}
