// Starts as the windowed programs start: creates the application object, runs its event loop and
// leaves it with status 3 at once. Without a display it ends with status 1 and the one line the
// application object wrote.
#include "platform/gui/Application.h"

#include <QTimer>

int main(int argc, char** argv)
{
    const auto application = platform::Application::create(argc, argv, "lumaret");
    if (!application)
        return 1;
    QTimer::singleShot(0, [] { platform::Application::quit(3); });
    return application->run();
}
