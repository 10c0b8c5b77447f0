// Test entry point: a QApplication on the offscreen platform (fonts and painting need one) with
// the program's font substitutes registered.
#include <gtest/gtest.h>

#include <QApplication>

#include "platform/application.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    RegisterFontSubstitutes();
    return RUN_ALL_TESTS();
}
