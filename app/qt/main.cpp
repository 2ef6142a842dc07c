#include <QApplication>

#include "app/MainApp.h"
#include "app/qt/QtAppIcon.h"

int main(int argc, char* argv[]) {
    // The toolkit takes its own options; the program reads none of its own.
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(MainApp::kProfileName));
    QApplication::setWindowIcon(AppIcon());

    MainApp app;
    app.InitInstance();
    return 0;
}
