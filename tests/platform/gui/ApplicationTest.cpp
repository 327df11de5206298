// The application object: without a display the program stops at once with one line on standard
// error (not the toolkit's abort); with one it runs its event loop until quit().
#include "platform/gui/Application.h"
#include "platform/core/ChildProcess.h"
#include "tests/support/TestSupport.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

using testsupport::ScopedEnvironment;

struct ProbeRun {
    platform::ChildProcess::ExitStatus status;
    std::string output;
};

ProbeRun runProbe()
{
    platform::ChildProcess probe;
    ProbeRun run;
    std::string error;
    EXPECT_TRUE(probe.start({LUMARET_APPLICATION_PROBE}, 0, &error)) << error;
    while (probe.read(run.output) == platform::ChildProcess::ReadStatus::Data) {
    }
    run.status = probe.finish();
    return run;
}

TEST(ApplicationTest, WithoutADisplayTheProgramSaysSoInOneLine)
{
    {
        ScopedEnvironment noDisplay(
            {{"QT_QPA_PLATFORM", "xcb"}, {"DISPLAY", std::nullopt}, {"WAYLAND_DISPLAY", std::nullopt}});
        const ProbeRun run = runProbe();
        EXPECT_TRUE(run.status.exited) << "no abort";
        EXPECT_EQ(run.status.code, 1);
        EXPECT_EQ(run.output, "lumaret: no display: DISPLAY is not set\n");
    }
    {
        ScopedEnvironment deadDisplay(
            {{"QT_QPA_PLATFORM", std::nullopt}, {"DISPLAY", ":4711"}, {"WAYLAND_DISPLAY", std::nullopt}});
        const ProbeRun run = runProbe();
        EXPECT_EQ(run.status.code, 1);
        EXPECT_EQ(run.output, "lumaret: no display: cannot connect to the X server at DISPLAY \":4711\"\n");
    }
    {
        ScopedEnvironment noWayland({{"QT_QPA_PLATFORM", "wayland"}, {"WAYLAND_DISPLAY", "wayland-4711"}});
        EXPECT_EQ(platform::Application::missingDisplayReason(),
                  "cannot connect to the Wayland display \"wayland-4711\"");
    }
}

TEST(ApplicationTest, WithADisplayTheEventLoopRunsUntilQuit)
{
    ScopedEnvironment offscreen({{"QT_QPA_PLATFORM", "offscreen"}, {"WAYLAND_DISPLAY", std::nullopt}});
    EXPECT_EQ(platform::Application::missingDisplayReason(), "");
    const ProbeRun run = runProbe();
    EXPECT_TRUE(run.status.exited);
    EXPECT_EQ(run.status.code, 3);
}

TEST(ApplicationTest, TheToolkitsDialogsSpeakChineseOnceItsTranslationIsLoaded)
{
    EXPECT_FALSE(platform::Application::loadToolkitTranslations("xx_XX")) << "no such translation";
    ASSERT_TRUE(platform::Application::loadToolkitTranslations("zh_CN"));
    EXPECT_NE(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Look in:"));
    EXPECT_NE(QCoreApplication::translate("QFileDialog", "File &name:"), QStringLiteral("File &name:"));
}

}  // namespace
