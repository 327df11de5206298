#include "platform/gui/Trash.h"

#include "platform/gui/QtBridge.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStorageInfo>

namespace platform {

namespace {

// The home trash ($XDG_DATA_HOME/Trash), made when it is missing, as the freedesktop trash rules
// allow; empty when it cannot be made.
QString homeTrash()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty())
        return {};
    QString trash = data + QStringLiteral("/Trash");
    if (!QDir().mkpath(trash + QStringLiteral("/files")) || !QDir().mkpath(trash + QStringLiteral("/info")))
        return {};
    QFile::setPermissions(trash, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return trash;
}

// The toolkit, when it finds no trash folder, goes on with an empty one and moves the file into
// "files/" under the current folder, reporting success. Such a move is undone here: the file goes
// back where it was and the stray description is removed.
bool undoStrayMove(const QString& original, const QString& movedTo)
{
    if (QFileInfo(movedTo).isAbsolute())
        return false;
    const QString moved = QFileInfo(movedTo).absoluteFilePath();
    QFile::rename(moved, original);
    QFile::remove(QFileInfo(moved).absolutePath() + QStringLiteral("/../info/") + QFileInfo(moved).fileName() +
                  QStringLiteral(".trashinfo"));
    return true;
}

}  // namespace

Trash::Result Trash::moveToTrash(const std::string& path, std::string* trashedPath)
{
    const QString name = toQString(path);
    // A dangling link is still something to throw away; exists() would follow it.
    if (path.empty() || !(QFileInfo::exists(name) || QFileInfo(name).isSymLink()))
        return Result::Missing;
    // Files on the home's file system go to the home trash; when it cannot be had there is no
    // trash for them, and the file is not touched at all.
    const bool onHomeFileSystem = QStorageInfo(QFileInfo(name).absolutePath()) == QStorageInfo(QDir::homePath());
    if (homeTrash().isEmpty() && onHomeFileSystem)
        return Result::NoTrash;
    QString whereTo;
    if (!QFile::moveToTrash(name, &whereTo) || undoStrayMove(name, whereTo))
        return Result::NoTrash;
    if (trashedPath)
        *trashedPath = toUtf8(whereTo);
    return Result::Moved;
}

}  // namespace platform
