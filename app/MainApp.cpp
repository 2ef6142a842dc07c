#include "app/MainApp.h"

#include <QCoreApplication>
#include <QString>

#include "app/MainDialog.h"
#include "app/MessageBoxPrompts.h"
#include "app/SettingsProfileStore.h"

bool MainApp::InitInstance() {
    SettingsProfileStore settings(QString::fromLatin1(kRegistryKey), QString::fromLatin1(kProfileName));
    MessageBoxPrompts prompts;
    MainDialog dialog(settings, prompts);
    prompts.SetOwner(&dialog);
    dialog.DoModal();  // how it ended does not matter
    return false;
}
