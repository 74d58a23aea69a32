#include <gtest/gtest.h>

#include <QApplication>

#include <cstdlib>

// Every test program runs with a Qt application (offscreen), so widgets, timers and the event
// loop work as in the program.
int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvane"));
    QApplication::setApplicationVersion(QStringLiteral("0.0.0-test"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
