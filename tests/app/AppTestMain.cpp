// The dialog tests need a QApplication; they run on the offscreen platform
// and never touch the user's own settings.
#include <QApplication>
#include <QSettings>
#include <gtest/gtest.h>

#include "support/ByteBuilder.h"

int main(int argc, char* argv[]) {
    testing::InitGoogleTest(&argc, argv);
    // Without a display, whoever starts the program directly.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");

    // Settings go to a folder of this run; each test moves them to its own.
    TempDir configHome;
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(configHome.path().string()));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(configHome.path().string()));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       QString::fromStdString(configHome.path().string()));

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lorvane"));
    return RUN_ALL_TESTS();
}
