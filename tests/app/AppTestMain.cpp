// The dialog tests need a QApplication: on the offscreen platform, with the
// settings in a folder of this run, never the user's own.
#include <QApplication>
#include <QSettings>
#include <gtest/gtest.h>

#include "support/ByteBuilder.h"

int main(int argc, char* argv[]) {
    testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    TempDir configHome;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(configHome.path().string()));
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
