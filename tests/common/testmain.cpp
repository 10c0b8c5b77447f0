// Test entry point: a QApplication on the offscreen platform (fonts and painting need one) with
// the program's font substitutes registered.
#include <gtest/gtest.h>

#include <QApplication>

#include "platform/font.h"

// What libraries outside the program keep until the process ends, which LeakSanitizer would
// report after every test program (the program's own allocations are all checked):
//   - fontconfig holds the font patterns it has handed out through offsets into its caches,
//     which LeakSanitizer cannot follow while the program runs (a check in the middle of a
//     run would report them);
//   - x265, the encoder through which libheif writes the tests' HEIC photos, keeps a few blocks
//     of its own (the program itself only decodes HEIF);
//   - libcups 2.4.2 leaks the strings of the PPD cache it builds when Qt's print dialog reads
//     a queue's PPD (only the private scheduler's queues have one here).
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\nleak:libx265.so\nleak:_ppdCacheCreateWithPPD\n";
}

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    RegisterFontSubstitutes();
    return RUN_ALL_TESTS();
}
