// Anchor for the control library while its first classes are written.
namespace KXLib { const char* controlLibraryName() { return "KXLib controls"; } }
