// Anchor for the base library while its first classes are written.
namespace KXLib { const char* baseLibraryName() { return "KXLib base"; } }
