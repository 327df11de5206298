#include <gtest/gtest.h>
namespace KXLib { const char* baseLibraryName(); }
TEST(KXBuildTest, BaseLibraryLinks) { EXPECT_STREQ(KXLib::baseLibraryName(), "KXLib base"); }
