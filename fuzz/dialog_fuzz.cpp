// A conversation file (assets/dialogs/<n>.xml), checked as the level does
// before any line or texture is made.
#include "FuzzSupport.h"

#include "ui/Chat.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Portraits name images under assets/: one exists.
    fuzz::CopySource("tests/fixtures/rooms/props/barrel.png", "assets/portrait_fuzz.png");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::WriteInput("dialog.xml", data, size);
    ChatScript script;
    ReadChatScript("dialog.xml", script);
    return 0;
}
