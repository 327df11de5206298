// LumaretUninstall: removes an installation of Lumaret; it lives in the install folder.
#include "uninstall/CLumaretUninstallApp.h"

int main(int argc, char** argv) { return uninstall::CLumaretUninstallApp().run(argc, argv); }
