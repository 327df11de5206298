// lumaret: the windowed converter.
#include "app/page/CLumaretApp.h"

#include <csignal>

int main(int argc, char** argv)
{
    app::CLumaretApp program;
    const int status = program.run(argc, argv);
    // Ended by a signal: once everything is saved and the encoders are stopped, end by that same
    // signal, as a program without a handler would, so that a shell or a session manager sees it.
    if (const int signal = program.endingSignal()) {
        std::signal(signal, SIG_DFL);
        std::raise(signal);
        return 128 + signal;
    }
    return status;
}
