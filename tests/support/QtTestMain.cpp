// Test entry for tests that need a QApplication: widget tests run offscreen, with the
// program's own application object so that its error net is in place.
#include <gtest/gtest.h>

#include "app/QuendarixApplication.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qr::QuendarixApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
