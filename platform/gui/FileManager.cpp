#include "platform/gui/FileManager.h"

#include "platform/gui/BusCall.h"
#include "platform/gui/Desktop.h"
#include "platform/gui/QtBridge.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <QUrl>

namespace platform {

FileManager::Shown FileManager::showItem(const std::string& path, const BusAddress& bus, int timeoutMs,
                                         BusStatus* status)
{
    const QFileInfo file(toQString(path));
    const QString uri = QString::fromLatin1(QUrl::fromLocalFile(file.absoluteFilePath()).toEncoded());
    const BusReply reply =
        BusCall::call(bus, QStringLiteral("org.freedesktop.FileManager1"),
                      QStringLiteral("/org/freedesktop/FileManager1"), QStringLiteral("org.freedesktop.FileManager1"),
                      QStringLiteral("ShowItems"),
                      {QStringList{uri}, QString()}, timeoutMs);
    if (status)
        *status = reply.status;
    if (reply.status == BusStatus::Done)
        return Shown::Selected;
    const QString folder = file.absolutePath();
    if (!QFileInfo(folder).isDir())
        return Shown::Failed;
    return Desktop::openUrl(toUtf8(QUrl::fromLocalFile(folder).toString())) ? Shown::FolderOpened : Shown::Failed;
}

}  // namespace platform
