// The player's settings.xml, and writing back what was read.
#include "FuzzSupport.h"

#include "core/Settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::WriteInput("settings.xml", data, size);
    Settings settings;
    if (ReadSettings("settings.xml", settings))
        FormatSettings(settings);
    return 0;
}
