// Test main for tests that need Qt: the application object exists for the whole run.
#include <QApplication>

#include <gtest/gtest.h>

#include "workspace/Startup.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    prepareApplication();
    return RUN_ALL_TESTS();
}
