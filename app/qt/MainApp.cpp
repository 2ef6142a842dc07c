#include "app/MainApp.h"

#include <QString>

#include "app/MainDialog.h"
#include "app/qt/QtDialogView.h"
#include "app/qt/QtPrompts.h"
#include "app/qt/SettingsProfileStore.h"

bool MainApp::InitInstance() {
    SettingsProfileStore settings(QString::fromLatin1(kRegistryKey), QString::fromLatin1(kProfileName));
    QtDialogView view;
    QtPrompts prompts;
    prompts.SetOwner(&view);
    MainDialog dialog(view, prompts, settings);
    view.RunModal(dialog);  // how it ended does not matter
    return false;
}
