#pragma once

#include <memory>
#include <string>

class DialogPrompts;
class DialogWindow;
class GtmDocument;
class ProfileStore;
class WaypointSource;

// The program's one window, as logic: a Garmin file and a GPS TrackMaker file
// are listed side by side, the GTM names are corrected from the Garmin names
// and the GTM file is saved. The dialog owns at most one reader and one
// document, replaces each whenever its file is listed again and remembers the
// two paths and the name prefix in the settings' section "Dialog".
//
// It knows no toolkit: a front end (Qt, Win32) builds the window from the
// template, calls OnInitDialog once the controls exist, forwards every button
// click to OnCommand and calls DestroyWindow when the modal run has ended.
class MainDialog {
public:
    MainDialog(DialogWindow& window, DialogPrompts& prompts, ProfileStore& settings);
    ~MainDialog();
    MainDialog(const MainDialog&) = delete;
    MainDialog& operator=(const MainDialog&) = delete;

    // Restores the three settings and lists both remembered files, before the
    // window is first shown.
    void OnInitDialog();

    // A click on the push button with this id; other ids do nothing.
    void OnCommand(int id);

    void OnChooseGarminFile();
    void OnChooseGtmFile();
    void OnListGarminWaypoints();
    void OnListGtmWaypoints();
    void OnCorrect();
    void OnSave();
    void OnSelectNewest();

    // Deletes the reader and the document once the modal run has ended.
    void DestroyWindow();

    static constexpr const char* kGarminFilter =
        "Garmin WTR/EVO/MPS/GDB Files (*.wtr,*.evo,*.mps,*.gdb)|*.wtr;*.evo;*.mps;*.gdb|GPX Files (*.gpx)|*.gpx||";
    static constexpr const char* kGtmFilter = "GPS TrackMaker Files (*.gtm)|*.gtm||";

private:
    void ChooseFile(int pathBox, const char* filter, void (MainDialog::*listCommand)());
    void SelectNewest(int pathBox, void (MainDialog::*listCommand)());

    DialogWindow& window;
    DialogPrompts& prompts;
    ProfileStore& settings;

    std::unique_ptr<WaypointSource> source;
    std::unique_ptr<GtmDocument> document;
};
