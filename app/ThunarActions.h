#pragma once
// ThunarActions: Thunar's custom actions file uca.xml, merged rather than rewritten. The file is
// the user's: it holds the actions they made themselves, in Thunar's own layout. Our actions are
// the <action> elements whose <unique-id> starts with kIdPrefix; merging takes out the previous
// ones and puts the new ones in front of </actions>, and every other byte of the file stays as it
// was, so a file that went through register and unregister is byte for byte what it was before.
//
// The file is read with a small scanner of the XML that Thunar writes (elements, text, comments,
// CDATA, processing instructions, a doctype without an internal subset). A file it cannot follow
// (cut short, tags that do not match, a root other than <actions>) is refused: the caller then
// leaves it untouched and reports it, because rewriting a file we did not understand could lose
// the user's actions.
//
// Threads: any thread; pure functions.
#include <optional>
#include <string>
#include <string_view>

namespace app {

class ThunarActions {
public:
    static constexpr std::string_view kIdPrefix = "lumaret-shellext-";

    // The file Thunar itself starts from, holding no action.
    static std::string emptyDocument();

    // One action in Thunar's layout (a block of lines ending in a newline). `name` and `command`
    // are plain text; they are escaped here. `uniqueId` must start with kIdPrefix.
    static std::string action(std::string_view name, std::string_view uniqueId, std::string_view command);

    // `document` with our previous actions taken out and `actions` (blocks made by action(), in
    // menu order; empty to only remove) put in front of </actions>. Nothing, with the reason in
    // *problem, when the document cannot be followed.
    static std::optional<std::string> merge(std::string_view document, std::string_view actions,
                                            std::string* problem);

    // Whether the document holds an action of ours; false for a document that cannot be followed.
    static bool holdsOurs(std::string_view document);
};

}  // namespace app
