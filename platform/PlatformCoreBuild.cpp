namespace platform { const char* coreLayerName() { return "platform core"; } }
