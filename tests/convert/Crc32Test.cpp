#include "convert/Crc32.h"

#include <gtest/gtest.h>

#include <string>

using convert::Crc32;

// The check values of the IEEE polynomial, as zlib and every zip tool give them.
TEST(Crc32Test, KnownCheckValues)
{
    EXPECT_EQ(Crc32::of(""), 0x00000000u);
    EXPECT_EQ(Crc32::of("123456789"), 0xCBF43926u);
    EXPECT_EQ(Crc32::of(std::string(1, '\0')), 0xD202EF8Du);
    EXPECT_EQ(Crc32::of("The quick brown fox jumps over the lazy dog"), 0x414FA339u);
    EXPECT_EQ(Crc32::of("\xff\xfe\x80"), 0x265EA2ECu);  // bytes above 127 are not taken as negative
}
