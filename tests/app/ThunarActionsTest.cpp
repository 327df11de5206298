#include "app/ShellMenuText.h"
#include "app/ThunarActions.h"

#include <gtest/gtest.h>

namespace {

using app::ShellMenuText;
using app::ThunarActions;

// A file as Thunar writes it, with one action of the user's.
const std::string kUserFile =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<actions>\n"
    "<action>\n"
    "\t<icon>utilities-terminal</icon>\n"
    "\t<name>Open Terminal Here</name>\n"
    "\t<unique-id>1553427048447398-1</unique-id>\n"
    "\t<command>exo-open --working-directory %f --launch TerminalEmulator</command>\n"
    "\t<description>Example for a custom action</description>\n"
    "\t<patterns>*</patterns>\n"
    "\t<startup-notify/>\n"
    "\t<directories/>\n"
    "</action>\n"
    "</actions>\n";

std::string ours(const std::string& name)
{
    return ThunarActions::action(name, std::string(ThunarActions::kIdPrefix) + std::to_string(name.size()),
                                 "\"/opt/x y/lumaret-shellext\" convert --id=78 %F");
}

TEST(ThunarActionsTest, MergeKeepsTheUsersActionsAndUndoesItselfExactly)
{
    std::string problem;
    const auto merged = ThunarActions::merge(kUserFile, ours("A & <B>") + ours("C"), &problem);
    ASSERT_TRUE(merged) << problem;
    EXPECT_EQ(merged->find(kUserFile.substr(0, kUserFile.size() - 11)), 0u);  // all but "</actions>\n"
    EXPECT_NE(merged->find("<name>A &amp; &lt;B&gt;</name>"), std::string::npos);
    EXPECT_TRUE(merged->ends_with("</action>\n</actions>\n"));
    EXPECT_TRUE(ThunarActions::holdsOurs(*merged));

    // A second merge replaces ours rather than adding to them.
    const auto again = ThunarActions::merge(*merged, ours("D"), &problem);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->find("<name>C</name>"), std::string::npos);
    EXPECT_NE(again->find("<name>D</name>"), std::string::npos);
    EXPECT_EQ(*ThunarActions::merge(*again, ours("D"), &problem), *again);

    // Removing ours gives back the user's file byte for byte.
    EXPECT_EQ(*ThunarActions::merge(*again, "", &problem), kUserFile);
    EXPECT_FALSE(ThunarActions::holdsOurs(kUserFile));
    EXPECT_EQ(*ThunarActions::merge(ThunarActions::emptyDocument(), "", &problem), ThunarActions::emptyDocument());
}

TEST(ThunarActionsTest, OnlyRealActionsWithOurIdentifierAreOurs)
{
    // A comment and CDATA that look like our action, an id of ours on a nested element, and an
    // action whose id merely contains our prefix all belong to the user.
    const std::string file =
        "<?xml version=\"1.0\"?>\n<!DOCTYPE actions>\n<actions>\n"
        "<!-- <action><unique-id>lumaret-shellext-61</unique-id></action> -->\n"
        "<action><name><![CDATA[</action>]]></name><unique-id>my-lumaret-shellext-1</unique-id></action>\n"
        "<action><unique-id>1</unique-id><x><unique-id>lumaret-shellext-62</unique-id></x></action>\n"
        "<action a='>' b=\"/>\"><unique-id>2</unique-id></action>\n"
        "<action><unique-id>lumaret-shellext-63</unique-id></action>\n"
        "</actions>";
    std::string problem;
    const auto removed = ThunarActions::merge(file, "", &problem);
    ASSERT_TRUE(removed) << problem;
    const std::string expected =
        file.substr(0, file.find("<action><unique-id>lumaret-shellext-63")) + "</actions>";
    EXPECT_EQ(*removed, expected);
    // The closing tag shares no line with a newline before it: ours go on their own line.
    const auto added = ThunarActions::merge("<actions></actions>", ours("E"), &problem);
    ASSERT_TRUE(added);
    EXPECT_EQ(added->rfind("<actions>\n<action>", 0), 0u);
    EXPECT_TRUE(added->ends_with("</action>\n</actions>"));
}

TEST(ThunarActionsTest, AFileThatCannotBeFollowedIsRefused)
{
    const std::vector<std::string> damaged = {
        "",
        "<actions>\n<action>\n",                                     // cut short
        kUserFile.substr(0, kUserFile.size() / 2),                   // cut mid-tag or mid-element
        "<actions><action></name></action></actions>",               // tags that do not match
        "<menu><action/></menu>",                                    // another root
        "<actions></actions><actions></actions>",                    // two roots
        "<actions><!-- unterminated </actions>",
        "<!DOCTYPE actions [<!ENTITY x \"y\">]><actions></actions>",  // an internal subset
        "<actions><action attr=\"unterminated></action></actions>",
    };
    for (const std::string& document : damaged) {
        std::string problem;
        EXPECT_FALSE(ThunarActions::merge(document, ours("F"), &problem)) << document;
        EXPECT_FALSE(problem.empty());
        EXPECT_FALSE(ThunarActions::holdsOurs(document));
    }
}

TEST(ShellMenuTextTest, IdentifiersNameExactlyOneSelector)
{
    for (std::u16string name : {u"PSP 320x240 MPEG4", u"Say \"hi\" $(rm -rf ~) `x` 'y' ;|&",
                                u"自定义转换", u"-leading dash", u"new\nline", u"\U0001F3AC clip"}) {
        const std::string id = ShellMenuText::identifierOf(name);
        EXPECT_EQ(id.find_first_not_of("0123456789abcdef"), std::string::npos);
        EXPECT_EQ(ShellMenuText::selectorOf(id), name);
    }
    for (const char* bad : {"", "6", "6G", "4A", "ff", "c0af", "ed b2"})
        EXPECT_FALSE(ShellMenuText::selectorOf(bad)) << bad;
}

TEST(ShellMenuTextTest, TheProgramPathIsQuotedOrRefused)
{
    EXPECT_EQ(ShellMenuText::commandWord("/opt/My Apps/视频/lumaret-shellext"), "\"/opt/My Apps/视频/lumaret-shellext\"");
    EXPECT_EQ(ShellMenuText::commandWord("/opt/it's/x"), "\"/opt/it's/x\"");
    for (const char* bad : {"", "/opt/$HOME/x", "/opt/a\"b/x", "/opt/a\\b/x", "/opt/`id`/x", "/opt/100%/x",
                            "/opt/a\nb/x", "/opt/\xff/x"})
        EXPECT_FALSE(ShellMenuText::commandWord(bad)) << bad;
}

TEST(ShellMenuTextTest, LabelsBecomeValuesAndFileNames)
{
    EXPECT_EQ(ShellMenuText::keyFileValue(" a\\b\nc\td"), "\\sa\\\\b\\nc\\td");
    EXPECT_EQ(ShellMenuText::xmlText("a<b>&c\x01"), "a&lt;b&gt;&amp;c ");
    EXPECT_EQ(ShellMenuText::scriptFileName("MPEG4/AVI"), "MPEG4∕AVI");
    EXPECT_EQ(ShellMenuText::scriptFileName(".hidden"), "．.hidden");
    EXPECT_EQ(ShellMenuText::scriptFileName("a\nb"), "a b");
    // 85 CJK characters are 255 bytes; one more is cut whole, never in the middle.
    std::string long86;
    for (int i = 0; i < 86; ++i)
        long86 += "视";
    EXPECT_EQ(ShellMenuText::scriptFileName(long86), long86.substr(0, 255));
    EXPECT_EQ(ShellMenuText::scriptFileName("x" + long86).size(), 253u);
}

}  // namespace
