// The skinned message box: its size, its buttons for each kind of message, the answers, the keys it
// ignores, and the presenter that carries a message over from another thread.
#include "app/page/CAboutDialog.h"
#include "kxlib/ui/CMessageDialog.h"
#include "platform/core/MessagePresenter.h"
#include "app/page/SkinMessagePresenter.h"
#include "kxlib/ui/KXButtonEx.h"
#include "kxlib/ui/KXDraw.h"
#include "kxlib/ui/KXHyperLink.h"
#include "platform/gui/Desktop.h"
#include "platform/gui/DeviceContext.h"
#include "platform/gui/Screen.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include <filesystem>

#include <atomic>
#include <thread>

using namespace app;

namespace {

// A box whose set-up has run, so its controls and size can be looked at without showing it.
class Box : public CMessageDialog {
public:
    using CMessageDialog::CMessageDialog;
    platform::Window& window() { return window_; }
    RECT buttonRect(const std::string& name)
    {
        auto control = findControl(name);
        return control ? *control->getRect() : RECT{};
    }
    // Queues a click at the centre of a button, delivered once the modal run has started.
    void postClick(const std::string& name)
    {
        const RECT r = buttonRect(name);
        const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        window_.post(WM_MOUSEMOVE, 0, at);
        window_.post(WM_LBUTTONDOWN, 0, at);
        window_.post(WM_LBUTTONUP, 0, at);
    }
};

std::string answerByClicking(uint8_t flags, const std::string& button)
{
    Box box("问题", "要继续吗?", flags);
    box.initDialog();
    box.postClick(button);
    return box.run();
}

}  // namespace

int measureWidthOfW()
{
    return platform::DeviceContext::measureText("W", KXLib::sharedFont()).cx;
}

TEST(CMessageDialogTest, SizesItselfToItsTextOnOneLine)
{
    for (const std::string& text : {std::string("短"), std::string(40, 'W'), std::string("转换失败: 无法打开文件")}) {
        Box box("", text, 16);
        box.initDialog();
        const SIZE measured = platform::DeviceContext::measureText(text, KXLib::sharedFont());
        const RECT client = box.window().clientRect();
        EXPECT_EQ(client.width(), measured.cx + 130) << text;
        EXPECT_EQ(client.height(), measured.cy + 100) << text;
    }
    // A longer text, such as a message naming two long paths, is broken into lines instead of
    // being cut: the box stays within the widest line and the screen, and grows downward.
    Box endless("", std::string(5000, 'W'), 16);
    endless.initDialog();
    const RECT endlessClient = endless.window().clientRect();
    EXPECT_LE(endlessClient.width(), CMessageDialog::kMaxTextWidth + 130);
    EXPECT_LE(endlessClient.width(), platform::Screen::workArea().width());
    const int lineHeight = platform::DeviceContext::measureText("W", KXLib::sharedFont()).cy;
    EXPECT_GE(endlessClient.height(), 5000 * measureWidthOfW() / CMessageDialog::kMaxTextWidth * lineHeight + 100);

    Box narrow("", "a", 16);
    Box wide("", std::string(100, 'a'), 16);
    narrow.initDialog();
    wide.initDialog();
    EXPECT_GT(wide.window().clientRect().width(), narrow.window().clientRect().width());
}

TEST(CMessageDialogTest, LaysOutOneOkButtonOrAYesNoPairWithNoAsTheDefault)
{
    Box notice("", "完成", 1);
    notice.initDialog();
    const RECT client = notice.window().clientRect();
    const int w = client.width(), h = client.height();
    EXPECT_EQ(notice.buttonRect("ok"), (RECT{(w - 69) / 2, h - 34, (w - 69) / 2 + 69, h - 13}));
    EXPECT_EQ(notice.buttonRect("close"), (RECT{w - 42, 1, w - 5, 19}));
    EXPECT_FALSE(notice.findControl("yes"));
    EXPECT_FALSE(notice.findControl("no"));
    EXPECT_EQ(notice.findControl("ok").dynamicCast<KXLib::KXButtonEx>()->caption(), "确定");

    Box question("", "删除所选文件?", 12);
    question.initDialog();
    const int qw = question.window().clientRect().width(), qh = question.window().clientRect().height();
    const int x = (qw - 148) / 2;
    EXPECT_EQ(question.buttonRect("yes"), (RECT{x, qh - 34, x + 69, qh - 13}));
    EXPECT_EQ(question.buttonRect("no"), (RECT{x + 79, qh - 34, x + 148, qh - 13}));
    EXPECT_FALSE(question.findControl("ok"));
    EXPECT_EQ(question.findControl("yes").dynamicCast<KXLib::KXButtonEx>()->caption(), "是");
    EXPECT_EQ(question.findControl("no").dynamicCast<KXLib::KXButtonEx>()->caption(), "否");
    EXPECT_TRUE(question.findControl("no")->getState() & KXLib::KXDirectUI::kHighlighted);
    EXPECT_FALSE(question.findControl("yes")->getState() & KXLib::KXDirectUI::kHighlighted);
}

TEST(CMessageDialogTest, ShowsAtMostOneKindIconAndAnEmptyTitleAsLumaret)
{
    EXPECT_EQ(CMessageDialog::kindIconFile(1), "info.png");
    EXPECT_EQ(CMessageDialog::kindIconFile(2), "error.png");
    EXPECT_EQ(CMessageDialog::kindIconFile(3), "info.png");
    EXPECT_EQ(CMessageDialog::kindIconFile(6), "error.png");
    EXPECT_EQ(CMessageDialog::kindIconFile(12), "question.png");
    EXPECT_EQ(CMessageDialog::kindIconFile(16), "");
    EXPECT_EQ(CMessageDialog::kindIconFile(8), "");

    EXPECT_EQ(Box("", "x", 1).getTitle(), "Lumaret");
    EXPECT_EQ(Box("提示", "x", 1).getTitle(), "提示");
}

TEST(CMessageDialogTest, AnswersWithTheNameOfTheButtonThatClosedIt)
{
    EXPECT_EQ(answerByClicking(1, "ok"), "ok");
    EXPECT_EQ(answerByClicking(1, "close"), "close");
    EXPECT_EQ(answerByClicking(2, "ok"), "ok");
    EXPECT_EQ(answerByClicking(2, "close"), "close");
    EXPECT_EQ(answerByClicking(3, "close"), "close");
    EXPECT_EQ(answerByClicking(16, "ok"), "ok");
    EXPECT_EQ(answerByClicking(16, "close"), "close");
    EXPECT_EQ(answerByClicking(12, "yes"), "yes");
    EXPECT_EQ(answerByClicking(12, "no"), "no");
    // Closing a question declines it.
    EXPECT_EQ(answerByClicking(12, "close"), "no");
}

TEST(CMessageDialogTest, IgnoresEnterEscapeAndTheWindowSystemsCloseAndPressesBesideTheButtons)
{
    Box box("", "请选择", 12);
    box.initDialog();
    box.window().post(WM_KEYDOWN, VK_RETURN);
    box.window().post(WM_KEYDOWN, VK_ESCAPE);
    box.window().post(WM_CLOSE);
    // A press on the yes button released on the surface is no click.
    const RECT yes = box.buttonRect("yes");
    box.window().post(WM_LBUTTONDOWN, 0, MAKELPARAM(yes.left + 5, yes.top + 5));
    box.window().post(WM_LBUTTONUP, 0, MAKELPARAM(yes.left - 20, yes.top - 20));
    box.postClick("no");
    EXPECT_EQ(box.run(), "no");
}

// Once the program ends, messages still to come open no box and answer "close" at once: ten
// thousand of them take well under a second.
TEST(CMessageDialogTest, AnEndedPresenterOpensNoMoreBoxes)
{
    SkinMessagePresenter presenter;
    presenter.endAll();
    bool boxSeen = false;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] { boxSeen = boxSeen || QApplication::activeModalWidget(); });
    watcher.start(1);
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 10000; ++i)
        ASSERT_EQ(presenter.present("", "读取文件 x 失败!", platform::MessageError), platform::kAnswerClose);
    EXPECT_LT(clock.elapsed(), 1000);
    QApplication::processEvents();
    EXPECT_FALSE(boxSeen);
}

TEST(CMessageDialogTest, PresenterShowsTheBoxOnTheWindowThreadForACallerOnAnotherThread)
{
    auto previous = platform::setMessagePresenter(std::make_shared<SkinMessagePresenter>());
    std::atomic<bool> done{false};
    std::string answer;
    std::thread worker([&] {
        answer = platform::showMessage("", "是否覆盖已有文件?", platform::MessageQuestion | platform::MessageYesNo);
        done = true;
    });

    // The box runs its own event loop inside the window thread's, so the click comes from a timer
    // that looks for the box and presses its "yes" button with real widget events.
    bool clicked = false;
    QTimer clicker;
    QObject::connect(&clicker, &QTimer::timeout, [&] {
        QWidget* box = QApplication::activeModalWidget();
        if (!box || clicked)
            return;
        clicked = true;
        const QPointF at((box->width() - 148) / 2 + 30, box->height() - 24);
        const QPointF global = box->mapToGlobal(at);
        QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(box, &press);
        QApplication::sendEvent(box, &release);
    });
    clicker.start(20);
    QElapsedTimer clock;
    clock.start();
    while (!done && clock.elapsed() < 10000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_TRUE(done) << "the box was never answered";
    worker.join();
    platform::setMessagePresenter(previous);
    EXPECT_EQ(answer, "yes");
}

TEST(CAboutDialogTest, OkClosesItAndTheLinksOpenTheirTargetsWithoutClosingIt)
{
    std::vector<std::string> opened;
    platform::Desktop::setOpener([&](const std::string& target) {
        opened.push_back(target);
        return true;
    });
    CAboutDialog about;
    about.initDialog();
    auto route = [&](UINT message, const RECT& r) {
        about.onMessage(message, 0, MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2));
    };
    // The one link opens the README beside the program with the desktop's viewer; there is no
    // address of the program's own to offer beside it.
    ASSERT_FALSE(CAboutDialog::readmePath().empty());
    EXPECT_EQ(about.findControl("mail"), nullptr);
    const RECT r = *about.findControl("homepage")->getRect();
    route(WM_LBUTTONDOWN, r);
    route(WM_LBUTTONUP, r);
    platform::Desktop::setOpener({});
    EXPECT_EQ(opened, (std::vector<std::string>{CAboutDialog::readmePath()}));
    EXPECT_EQ(std::filesystem::path(opened.at(0)).filename(), "README.md");
    EXPECT_FALSE(about.hasEnded());

    const RECT ok = *about.findControl("ok")->getRect();
    EXPECT_EQ(ok, (RECT{CAboutDialog::kWidth - 79, CAboutDialog::kHeight - 31, CAboutDialog::kWidth - 10,
                        CAboutDialog::kHeight - 10}));
    route(WM_LBUTTONDOWN, ok);
    route(WM_LBUTTONUP, ok);
    EXPECT_TRUE(about.hasEnded());
}
