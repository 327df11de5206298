#include "app/CliCommands.h"

#include "profile/ProfileStore.h"

namespace app {

namespace {

constexpr const char* kNoProfilesText = "读取配置文件失败,请重新安装程序或联系我们!";

// One node per line, two spaces of indent per level; the default profile is marked with " *".
void printTree(const profile::ProfileTree& tree, std::ostream& out)
{
    const profile::ProfileNode* defaultNode = tree.findDefaultNode();
    tree.findInPreOrder([&](const profile::ProfileNode& node) {
        std::size_t depth = 0;
        for (const profile::ProfileNode* up = node.parent(); up && up->parent(); up = up->parent())
            ++depth;
        out << std::string(2 * depth, ' ') << node.textUtf8() << (&node == defaultNode ? " *" : "") << '\n';
        return false;
    });
}

void printNames(const profile::ProfileTree& tree, std::ostream& out)
{
    tree.findInPreOrder([&](const profile::ProfileNode& node) {
        if (const profile::ProfileRecord* record = node.record())
            out << profile::profileNameOf(*record) << '\n';
        return false;
    });
}

}  // namespace

int runProfilesCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const bool namesOnly = args.size() == 1 && args.front() == "--names";
    if (!args.empty() && !namesOnly)
        return kCliUsage;

    // The same start-up the profile page does, so the files are created or normalised just as the
    // program would leave them.
    profile::ProfileStore store;
    if (!store.loadAtStartup()) {
        err << "lumaret-cli profiles: " << kNoProfilesText << '\n';
        return kCliFailure;
    }
    if (namesOnly)
        printNames(store.tree(), out);
    else
        printTree(store.tree(), out);
    // A damaged file was reported on the way (and set aside); the listing is what could be read.
    return store.foundUnusableFiles() ? kCliFailure : kCliSuccess;
}

}  // namespace app
