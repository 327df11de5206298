// The file choosers: several files chosen at once come back in the dialog's order, a cancel gives
// nothing, and the folder chooser carries its title.
#include "platform/gui/FileDialog.h"
#include "platform/gui/Application.h"
#include "tests/support/Screenshot.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QFileDialog>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include <fstream>
#include <functional>

namespace {

void whenOpen(const std::function<void(QFileDialog*)>& act)
{
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        act(dialog);
    });
}

TEST(FileDialogTest, ChoosesSeveralExistingFiles)
{
    testsupport::TempDir dir;
    std::ofstream(dir / "a.avi") << "a";
    std::ofstream(dir / "b c.mp4") << "b";
    QFileDialog::FileMode mode{};
    whenOpen([&](QFileDialog* dialog) {
        mode = dialog->fileMode();
        dialog->selectFile(QStringLiteral("\"a.avi\" \"b c.mp4\""));
        static_cast<QDialog*>(dialog)->accept();
    });
    const std::vector<std::string> chosen =
        platform::FileDialog::chooseFiles(nullptr, "添加文件", "媒体文件 (*)", dir.path().string());
    EXPECT_EQ(mode, QFileDialog::ExistingFiles);
    EXPECT_EQ(chosen, (std::vector<std::string>{(dir / "a.avi").string(), (dir / "b c.mp4").string()}));

    whenOpen([](QFileDialog* dialog) { dialog->reject(); });
    EXPECT_TRUE(platform::FileDialog::chooseFiles(nullptr, "添加文件", "媒体文件 (*)", dir.path().string()).empty());
}

TEST(FileDialogTest, ChoosesAFolderUnderItsTitle)
{
    testsupport::TempDir dir;
    std::filesystem::create_directory(dir / "输出");
    QString title;
    whenOpen([&](QFileDialog* dialog) {
        title = dialog->windowTitle();
        dialog->selectFile(QString::fromStdString((dir / "输出").string()));
        static_cast<QDialog*>(dialog)->accept();
    });
    EXPECT_EQ(platform::FileDialog::chooseFolder(nullptr, platform::FileDialog::kFolderTitle, dir.path().string()),
              (dir / "输出").string());
    EXPECT_EQ(title, QStringLiteral("选择路径"));

    whenOpen([](QFileDialog* dialog) { dialog->reject(); });
    EXPECT_EQ(platform::FileDialog::chooseFolder(nullptr), "");
}

// The choosers open in the folder they are given, and once the toolkit's translation is loaded they
// speak Chinese like the rest of the program.
TEST(FileDialogTest, OpensInItsStartFolderAndSpeaksChineseWithTheTranslation)
{
    testsupport::TempDir dir;
    std::filesystem::create_directory(dir / "上次的文件夹");
    std::ofstream(dir / "上次的文件夹" / "clip.mp4") << "x";
    ASSERT_TRUE(platform::Application::loadToolkitTranslations("zh_CN"));
    QString opened;
    QStringList buttons;
    whenOpen([&](QFileDialog* dialog) {
        opened = dialog->directory().absolutePath();
        for (const QPushButton* button : dialog->findChildren<QPushButton*>())
            buttons << button->text();
        testsupport::saveScreenshot(dialog, "file-dialog-zh");
        dialog->reject();
    });
    platform::FileDialog::chooseFiles(nullptr, "", "媒体文件 (*)", (dir / "上次的文件夹").string());
    EXPECT_EQ(opened.toStdString(), (dir / "上次的文件夹").string());
    EXPECT_FALSE(buttons.contains(QStringLiteral("Cancel"))) << buttons.join(", ").toStdString();
    EXPECT_TRUE(buttons.contains(QStringLiteral("取消"))) << buttons.join(", ").toStdString();
}

}  // namespace
