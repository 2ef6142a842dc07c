#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

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
// click to OnCommand, every selection the user makes in a list box to
// OnSelectionChange and files dropped onto the window to OnDropFiles, and
// calls DestroyWindow when the modal run has ended.
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

    // The user selected a line of a list box (mouse or keyboard); -1 for none.
    // A line of the GTM list selects, in the Garmin list, the waypoint whose
    // name its row received and, in the corrected list, that name's line;
    // none in both for a row without a new name. Other lists do nothing.
    void OnSelectionChange(int listId, int line);

    // Files dropped onto the window (UTF-8 paths): a ".gtm" file goes to the
    // GTM path box, a file of an extension a reader reads to the Garmin path
    // box, and each box so filled is listed at once, as if the file had been
    // chosen; any other file and folders are ignored. The first of each kind
    // counts.
    void OnDropFiles(const std::vector<std::string>& paths);

    // Deletes the reader and the document once the modal run has ended.
    void DestroyWindow();

    static constexpr const char* kGarminFilter =
        "Garmin WTR/EVO/MPS/GDB Files (*.wtr,*.evo,*.mps,*.gdb)|*.wtr;*.evo;*.mps;*.gdb|GPX Files (*.gpx)|*.gpx||";
    static constexpr const char* kGtmFilter = "GPS TrackMaker Files (*.gtm)|*.gtm||";

private:
    void ChooseFile(int pathBox, const char* filter, void (MainDialog::*listCommand)());
    void SelectNewest(int pathBox, void (MainDialog::*listCommand)());
    bool ShowCorrection();
    void SelectSources(int row);

    DialogWindow& window;
    DialogPrompts& prompts;
    ProfileStore& settings;

    std::unique_ptr<WaypointSource> source;
    std::unique_ptr<GtmDocument> document;
    // Per GTM row, as the last correction left the lists: the line of the
    // Garmin waypoint whose name it took and the line of that name in the
    // corrected list, -1 where there is none. Emptied when the GTM file is
    // listed again; the Garmin lines go when the Garmin file is.
    std::vector<std::pair<int, int>> rowLines;
};
