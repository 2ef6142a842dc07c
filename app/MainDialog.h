#pragma once

#include <QDialog>
#include <QIcon>
#include <map>
#include <memory>
#include <string>

#include "app/ListBoxLines.h"

class DialogPrompts;
class GtmDocument;
class ProfileStore;
class QKeyEvent;
class WaypointSource;

// The program's one window: a Garmin file and a GPS TrackMaker file are
// listed side by side, the GTM names are corrected from the Garmin names and
// the GTM file is saved. The dialog owns at most one reader and one document,
// replaces each whenever its file is listed again and remembers the two paths
// and the name prefix in the settings' section "Dialog".
class MainDialog : public QDialog {
    Q_OBJECT

public:
    MainDialog(ProfileStore& settings, DialogPrompts& prompts, QWidget* parent = nullptr);
    ~MainDialog() override;

    // Initialises the dialog, runs it modally and releases the files it holds.
    // Returns how the run ended.
    int DoModal();

    // Restores the three settings and lists both remembered files, before the
    // window is first shown.
    void OnInitDialog();

    void OnChooseGarminFile();
    void OnChooseGtmFile();
    void OnListGarminWaypoints();
    void OnListGtmWaypoints();
    void OnCorrect();
    void OnSave();
    void OnSelectNewest();

    // Deletes the reader and the document once the modal run has ended.
    void DestroyWindow();

    // A control by its id, or null for an id the dialog does not have.
    QWidget* Control(int id) const;

    QIcon appIcon;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void CreateControls();
    void ChooseFile(int pathBox, const QString& filter, void (MainDialog::*listCommand)());
    void SelectNewest(int pathBox, void (MainDialog::*listCommand)());
    QString BoxText(int id) const;
    void SetBoxText(int id, const QString& text);
    // A path box's text as the bytes the file system takes.
    std::string BoxPath(int id) const;

    ProfileStore& settings;
    DialogPrompts& prompts;
    std::map<int, QWidget*> controls;
    std::unique_ptr<ListBoxLines> garminLines;
    std::unique_ptr<ListBoxLines> gtmLines;
    std::unique_ptr<ListBoxLines> correctedLines;

    std::unique_ptr<WaypointSource> source;
    std::unique_ptr<GtmDocument> document;
};
