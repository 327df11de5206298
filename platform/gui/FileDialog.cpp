#include "platform/gui/FileDialog.h"

#include "platform/gui/QtBridge.h"
#include "platform/gui/Window.h"

#include <QFileDialog>

namespace platform {

namespace {
QWidget* parentOf(Window* owner) { return owner ? widgetOf(*owner) : nullptr; }
}  // namespace

std::vector<std::string> FileDialog::chooseFiles(Window* owner, const std::string& title, const std::string& filter,
                                                 const std::string& folder)
{
    QFileDialog dialog(parentOf(owner), toQString(title), toQString(folder), toQString(filter));
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setOption(QFileDialog::DontResolveSymlinks);
    std::vector<std::string> chosen;
    if (dialog.exec() != QDialog::Accepted)
        return chosen;
    for (const QString& path : dialog.selectedFiles())
        chosen.push_back(toUtf8(path));
    return chosen;
}

std::string FileDialog::chooseFolder(Window* owner, const std::string& title, const std::string& folder)
{
    QFileDialog dialog(parentOf(owner), toQString(title), toQString(folder));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return toUtf8(dialog.selectedFiles().front());
}

}  // namespace platform
