#pragma once
// CLumaretUninstallApp: the uninstaller program. It opens the application (one line on standard
// error and exit status 1 without a display), makes its own folder the current one, and runs the
// dialog over that folder.
namespace uninstall {

class CLumaretUninstallApp {
public:
    int run(int argc, char** argv);
};

}  // namespace uninstall
