// lumaret: the windowed converter.
#include "app/page/CLumaretApp.h"

int main(int argc, char** argv) { return app::CLumaretApp().run(argc, argv); }
