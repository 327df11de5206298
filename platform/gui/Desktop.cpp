#include "platform/gui/Desktop.h"

#include "platform/gui/QtBridge.h"

#include <QDesktopServices>
#include <QUrl>

namespace platform {

namespace {
Desktop::Opener& opener()
{
    static Desktop::Opener current;
    return current;
}
}  // namespace

bool Desktop::openUrl(const std::string& target)
{
    if (target.empty())
        return false;
    if (opener())
        return opener()(target);
    const QUrl url = QUrl::fromUserInput(toQString(target));
    return url.isValid() && QDesktopServices::openUrl(url);
}

bool Desktop::openFile(const std::string& path)
{
    if (path.empty())
        return false;
    if (opener())
        return opener()(path);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(toQString(path)));
}

void Desktop::setOpener(Opener replacement) { opener() = std::move(replacement); }

}  // namespace platform
