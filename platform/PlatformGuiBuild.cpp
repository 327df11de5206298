namespace platform { const char* guiLayerName() { return "platform gui"; } }
