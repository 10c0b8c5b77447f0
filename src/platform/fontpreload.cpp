#include "fontpreload.h"

#include <system_error>

#include <fontconfig/fontconfig.h>

TFontConfigPreload::TFontConfigPreload() {
    try {
        FThread = std::thread([] { FcInit(); });
    } catch (const std::system_error&) {
        // No thread to be had: the configuration is loaded when the first font is asked for.
    }
}

TFontConfigPreload::~TFontConfigPreload() {
    if (FThread.joinable())
        FThread.join();
}
