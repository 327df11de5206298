#include "convert/QueueStatusText.h"

#include <gtest/gtest.h>

using convert::QueueStatusText;

// One file (or the moment between two) keeps the classic words; several name their count, and
// the power-off notice follows either.
TEST(QueueStatusTextTest, NamesTheCountOnlyWhenSeveralConvert)
{
    EXPECT_EQ(QueueStatusText::converting(1, false), "正在转换文件,请稍候...");
    EXPECT_EQ(QueueStatusText::converting(0, false), "正在转换文件,请稍候...");
    EXPECT_EQ(QueueStatusText::converting(1, true), "正在转换文件,请稍候.系统将在任务结束后自动关闭计算机...");
    EXPECT_EQ(QueueStatusText::converting(2, false), "正在同时转换 2 个文件,请稍候...");
    EXPECT_EQ(QueueStatusText::converting(12, true), "正在同时转换 12 个文件,请稍候.系统将在任务结束后自动关闭计算机...");
}
