#pragma once
// ShellMenuText: how the texts of a file-manager menu entry are written into each menu format.
//
// A menu entry names its profile by an ASCII identifier, never by the name itself: the lowercase
// hexadecimal form of the name's UTF-8 bytes ("id=" form on the helper's command line). It needs
// no quoting in any format, and it is the name, so an entry left over from an older profile list
// still asks for exactly the profile its label shows (the helper then finds that it is gone
// rather than picking another one).
//
// Threads: any thread; pure functions.
#include <optional>
#include <string>
#include <string_view>

namespace app {

class ShellMenuText {
public:
    // The identifier of a selector (a profile name or "自定义转换").
    static std::string identifierOf(std::u16string_view selector);
    // The selector an identifier names; nothing when it is not lowercase hexadecimal of valid,
    // non-empty UTF-8.
    static std::optional<std::u16string> selectorOf(std::string_view identifier);

    // The program's path as the first word of a command line that every format reads alike: the
    // Desktop Entry Exec rules, g_shell_parse_argv (Nemo, PCManFM-Qt) and sh -c (Thunar, the
    // scripts of Nautilus and Caja). Nothing when the path holds a character that one of them
    // would read otherwise (", `, $, \, %, a control character) or is not UTF-8: the menus are
    // then not written rather than written with a command that runs something else.
    static std::optional<std::string> commandWord(const std::string& programPath);

    // A value of a .desktop or key file (Desktop Entry string rules: \\ \n \t \r, and \s for a
    // leading space).
    static std::string keyFileValue(std::string_view text);
    // Text content of an XML element.
    static std::string xmlText(std::string_view text);
    // A file name that shows `label` in a scripts menu (Nautilus, Caja): "/" becomes "∕", control
    // characters become spaces, a leading "." becomes "．", cut to 255 bytes on a character boundary.
    static std::string scriptFileName(const std::string& label);
};

}  // namespace app
