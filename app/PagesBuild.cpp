namespace app { const char* pagesLayerName() { return "pages"; } }
