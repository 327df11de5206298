#include "platform/core/IniDocument.h"

#include <gtest/gtest.h>

#include <string>

using platform::IniDocument;

TEST(IniDocumentTest, ReadsValuesWithCaseInsensitiveTrimmedNames)
{
    const IniDocument document("; settings\n"
                               "stray=before any section\n"
                               "[Output]\n"
                               "  Output_Path =  /home/u/out dir  \n"
                               "output_profile=1\n"
                               "[finish]\n"
                               "shutdown=\n"
                               "not a key line\n"
                               "[output]\n"
                               "output_profile=9\n");
    EXPECT_EQ(document.readString("output", "output_path", "x"), "/home/u/out dir");
    EXPECT_EQ(document.readString("OUTPUT", "OUTPUT_PATH", "x"), "/home/u/out dir");
    // The first of two equally named sections counts.
    EXPECT_EQ(document.readInt("output", "output_profile", 5), 1);
    // An empty value is text "" but no integer: the default.
    EXPECT_EQ(document.readString("finish", "shutdown", "x"), "");
    EXPECT_EQ(document.readInt("finish", "shutdown", 7), 7);
    EXPECT_FALSE(document.value("finish", "not a key line"));
    EXPECT_FALSE(document.value("", "stray"));
    EXPECT_EQ(document.readInt("missing", "key", -3), -3);
    EXPECT_EQ(document.readInt("output", "missing", 4), 4);
}

TEST(IniDocumentTest, IntegersParseLikeThePrivateProfileReader)
{
    EXPECT_EQ(IniDocument::parseInt("2"), 2);
    EXPECT_EQ(IniDocument::parseInt("256"), 256);
    EXPECT_EQ(IniDocument::parseInt("  42abc"), 42);
    EXPECT_EQ(IniDocument::parseInt("-17"), -17);
    EXPECT_EQ(IniDocument::parseInt("+8"), 8);
    EXPECT_EQ(IniDocument::parseInt("0x1F"), 31);
    EXPECT_EQ(IniDocument::parseInt("0b101"), 5);
    EXPECT_EQ(IniDocument::parseInt("0o17"), 15);
    EXPECT_EQ(IniDocument::parseInt("on"), 0);
    EXPECT_EQ(IniDocument::parseInt("-"), 0);
    // Wraps in 32 bits instead of overflowing.
    EXPECT_EQ(IniDocument::parseInt("4294967297"), 1);
}

TEST(IniDocumentTest, ChangingOneValueKeepsEveryOtherByte)
{
    const std::string original = "\xEF\xBB\xBF; keep me\r\n"
                                 "[output]\r\n"
                                 "output_path = /old\r\n"
                                 "Unknown=kept\r\n"
                                 "\r\n"
                                 "[other]\r\n"
                                 "x=1";
    IniDocument document(original);
    EXPECT_EQ(document.bytes(), original);

    ASSERT_TRUE(document.setValue("OUTPUT", "Output_Path", "/new"));
    EXPECT_EQ(document.bytes(), "\xEF\xBB\xBF; keep me\r\n"
                                "[output]\r\n"
                                "output_path =/new\r\n"
                                "Unknown=kept\r\n"
                                "\r\n"
                                "[other]\r\n"
                                "x=1");

    // A new key goes after the section's last line, before the blank separator; a new section
    // goes at the end. Both use the file's CRLF line ends.
    ASSERT_TRUE(document.setValue("output", "output_profile", "1"));
    ASSERT_TRUE(document.setValue("menu", "auto", "0"));
    EXPECT_EQ(document.bytes(), "\xEF\xBB\xBF; keep me\r\n"
                                "[output]\r\n"
                                "output_path =/new\r\n"
                                "Unknown=kept\r\n"
                                "output_profile=1\r\n"
                                "\r\n"
                                "[other]\r\n"
                                "x=1\r\n"
                                "\r\n"
                                "[menu]\r\n"
                                "auto=0\r\n");
}

TEST(IniDocumentTest, EmptyDocumentGrowsSectionsAndKeys)
{
    IniDocument document;
    ASSERT_TRUE(document.setValue("output", "output_path", ""));
    ASSERT_TRUE(document.setValue("hue", "skin", "180"));
    ASSERT_TRUE(document.setValue("output", "output_profile", "0"));
    EXPECT_EQ(document.bytes(), "[output]\noutput_path=\noutput_profile=0\n\n[hue]\nskin=180\n");
    EXPECT_EQ(IniDocument(document.bytes()).readInt("HUE", "Skin", 0), 180);
}

TEST(IniDocumentTest, RefusesNamesAndValuesThatWouldNotReadBack)
{
    IniDocument document("[a]\nk=v\n");
    const std::string before = document.bytes();
    EXPECT_FALSE(document.setValue("a", "k", "two\nlines"));
    EXPECT_FALSE(document.setValue("a", "k", "carriage\rreturn"));
    EXPECT_FALSE(document.setValue("a", "k=x", "v"));
    EXPECT_FALSE(document.setValue("a", "", "v"));
    EXPECT_FALSE(document.setValue("", "k", "v"));
    EXPECT_FALSE(document.setValue("a]", "k", "v"));
    EXPECT_FALSE(document.setValue("a", ";k", "v"));
    EXPECT_EQ(document.bytes(), before);
    // '=' in a value is fine: only the first '=' of a line separates the key.
    ASSERT_TRUE(document.setValue("a", "k", "x=y"));
    EXPECT_EQ(document.readString("a", "k", ""), "x=y");
}

TEST(IniDocumentTest, GarbageAndLongLinesYieldDefaults)
{
    std::string garbage;
    for (int i = 0; i < 70000; ++i)
        garbage.push_back(static_cast<char>((i * 7919) % 256));
    garbage += "\n[menu\nauto=1\n";   // unterminated header: names the rest of the line
    garbage += std::string(1 << 20, 'k') + "=" + std::string(1 << 20, 'v') + "\n";
    garbage += std::string("\0\0[\0]\0=\0\n", 10);
    const IniDocument document(garbage);
    EXPECT_EQ(document.bytes(), garbage);
    EXPECT_EQ(document.readInt("menu", "auto", 0), 1);
    EXPECT_EQ(document.readInt("menu", "profile", 3), 3);
    EXPECT_EQ(document.readString("output", "output_path", "d"), "d");

    IniDocument changed(garbage);
    ASSERT_TRUE(changed.setValue("menu", "profile", "1"));
    EXPECT_EQ(IniDocument(changed.bytes()).readInt("menu", "profile", 0), 1);
}
