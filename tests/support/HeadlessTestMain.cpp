// Entry point of the test executables that render off screen as a headless export does: with no
// display to connect to, whatever the environment holds, and an application object without a
// GUI.
#include <gtest/gtest.h>

#include <QCoreApplication>

int main(int argc, char** argv) {
    qunsetenv("DISPLAY");
    qunsetenv("WAYLAND_DISPLAY");
    testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
