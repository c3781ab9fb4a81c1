// Entry point of the test executables that need a QApplication (widgets, GL contexts).
#include <gtest/gtest.h>

#include <QApplication>

#include "GLWidget.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    GLWidget::setDefaultSurfaceFormat();
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
