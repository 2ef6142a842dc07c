#include "app/MainDialog.h"

#include <filesystem>
#include <system_error>

#include "app/DialogPrompts.h"
#include "app/DialogTemplate.h"
#include "app/DialogWindow.h"
#include "app/NewestFile.h"
#include "app/ProfileStore.h"
#include "app/StringTable.h"
#include "common/CodePage.h"
#include "common/NativePath.h"
#include "gtm/GtmDocument.h"
#include "sources/CreateWaypointSource.h"

// Texts cross the window, the prompts and the settings as UTF-8; the names
// and the prefix the core works on are code page 950 bytes, converted here.

namespace {

const std::string kSection = "Dialog";
const std::string kGarminKey = "WTRFile";
const std::string kGtmKey = "GTMFile";
const std::string kPrefixKey = "Prefix";

bool IsFolder(const std::string& path) {
    std::error_code error;  // a path that cannot be looked at is no folder
    return std::filesystem::is_directory(NativePath(path), error);
}

}  // namespace

MainDialog::MainDialog(DialogWindow& window, DialogPrompts& prompts, ProfileStore& settings)
    : window(window), prompts(prompts), settings(settings) {}

MainDialog::~MainDialog() = default;

void MainDialog::OnInitDialog() {
    window.SetText(control::kGarminPath, settings.GetProfileString(kSection, kGarminKey, ""));
    OnListGarminWaypoints();
    window.SetText(control::kGtmPath, settings.GetProfileString(kSection, kGtmKey, ""));
    OnListGtmWaypoints();
    window.SetText(control::kPrefix,
                   settings.GetProfileString(kSection, kPrefixKey, codepage::Cp950ToUtf8(kDefaultPrefix)));
    // The first control of the tab order, the Correct button, starts with the focus.
    window.SetFocus(control::kCorrect);
}

void MainDialog::OnCommand(int id) {
    switch (id) {
    case control::kChooseGarmin: return OnChooseGarminFile();
    case control::kListGarmin: return OnListGarminWaypoints();
    case control::kChooseGtm: return OnChooseGtmFile();
    case control::kListGtm: return OnListGtmWaypoints();
    case control::kCorrect: return OnCorrect();
    case control::kSave: return OnSave();
    case control::kSelectNewest: return OnSelectNewest();
    default: return;
    }
}

void MainDialog::DestroyWindow() {
    source.reset();
    document.reset();
}

void MainDialog::ChooseFile(int pathBox, const char* filter, void (MainDialog::*listCommand)()) {
    const std::string chosen = prompts.ChooseFile(filter, window.GetText(pathBox));
    if (chosen.empty()) return;  // cancelled: nothing changes
    window.SetText(pathBox, chosen);
    (this->*listCommand)();
}

void MainDialog::OnChooseGarminFile() {
    ChooseFile(control::kGarminPath, kGarminFilter, &MainDialog::OnListGarminWaypoints);
}

void MainDialog::OnChooseGtmFile() { ChooseFile(control::kGtmPath, kGtmFilter, &MainDialog::OnListGtmWaypoints); }

void MainDialog::OnListGarminWaypoints() {
    const std::string path = window.GetText(control::kGarminPath);
    if (path.empty()) return;

    ListBox& list = window.List(control::kGarminList);
    list.ResetContent();
    for (auto& lines : rowLines) lines.first = -1;  // the taken waypoints are no longer listed
    source.reset();
    source = CreateWaypointSource(path);
    if (!source) return;  // an extension no reader reads
    source->keepTrackPoints = false;  // the dialog shows no tracks

    // After a failed load the reader stays with what it read, and the count
    // and the remembered path keep their values.
    if (source->Load(path, &list, nullptr) == 1) {
        window.SetText(control::kGarminCount, std::to_string(source->waypointCount));
        settings.WriteProfileString(kSection, kGarminKey, path);
    }
}

void MainDialog::OnListGtmWaypoints() {
    const std::string path = window.GetText(control::kGtmPath);
    if (path.empty()) return;

    ListBox& list = window.List(control::kGtmList);
    list.ResetContent();
    rowLines.clear();
    document.reset();
    document = std::make_unique<GtmDocument>();
    document->Load(path, list);
    window.SetText(control::kGtmCount, std::to_string(document->waypointCount));
    // Remembered whether or not the file could be read, so the next start
    // tries it again.
    settings.WriteProfileString(kSection, kGtmKey, path);
}

void MainDialog::OnCorrect() {
    if (!document || !source || document->waypointCount == 0 || source->waypointCount == 0 ||
        !document->waypoints || !source->waypoints) {
        return;
    }
    ListBox& list = window.List(control::kCorrectedList);
    list.ResetContent();
    document->CorrectNames(source->waypointCount, source->waypoints.get(), list);
    window.SetText(control::kCorrectedCount, std::to_string(document->correctedCount));
    const bool uncertain = ShowCorrection();
    if (document->correctedCount < document->waypointCount) prompts.Inform(message::kIncompleteCorrection);
    else if (uncertain) prompts.Inform(message::kUncertainNames);
}

// Marks every GTM line with its row's outcome, notes where each row's name
// came from and selects the first row without a name or with an uncertain
// one, so that the user sees it at once (none when every name is sure).
// True when some name is uncertain.
bool MainDialog::ShowCorrection() {
    ListBox& list = window.List(control::kGtmList);
    rowLines.assign(static_cast<size_t>(document->waypointCount), {-1, -1});
    int corrected = 0, firstProblem = -1;
    bool uncertain = false;
    for (int i = 0; i < document->waypointCount; ++i) {
        const GtmWaypoint& row = document->waypoints[i];
        LineMark mark = LineMark::None;
        if (row.newName[0] == '\0') {
            mark = LineMark::NotCorrected;
        } else {
            rowLines[i] = {row.source, corrected++};
            if (row.uncertain) mark = LineMark::Uncertain;
        }
        list.SetMark(i, mark);
        uncertain = uncertain || mark == LineMark::Uncertain;
        if (mark != LineMark::None && firstProblem == -1) firstProblem = i;
    }
    list.Select(firstProblem);
    SelectSources(firstProblem);
    return uncertain;
}

void MainDialog::SelectSources(int row) {
    const bool known = row >= 0 && static_cast<size_t>(row) < rowLines.size();
    const auto [garminLine, correctedLine] = known ? rowLines[row] : std::pair{-1, -1};
    window.List(control::kGarminList).Select(garminLine);
    window.List(control::kCorrectedList).Select(correctedLine);
}

void MainDialog::OnSelectionChange(int listId, int line) {
    if (listId == control::kGtmList) SelectSources(line);
}

void MainDialog::OnDropFiles(const std::vector<std::string>& paths) {
    std::string garmin, gtm;
    for (const std::string& path : paths) {
        std::string* box = nullptr;
        if (IsGtmPath(path)) box = &gtm;
        else if (CreateWaypointSource(path)) box = &garmin;
        if (box && box->empty() && !IsFolder(path)) *box = path;
    }
    if (!garmin.empty()) {
        window.SetText(control::kGarminPath, garmin);
        OnListGarminWaypoints();
    }
    if (!gtm.empty()) {
        window.SetText(control::kGtmPath, gtm);
        OnListGtmWaypoints();
    }
}

void MainDialog::OnSave() {
    if (!document || document->correctedCount == 0) return;

    if (document->NeedsPrefix() == 1 && prompts.Ask(message::kPrefixQuestion)) {
        const std::string prefix = PrefixBytes(window.GetText(control::kPrefix));
        document->ApplyPrefix(prefix.c_str());
        settings.WriteProfileString(kSection, kPrefixKey, codepage::Cp950ToUtf8(prefix));
    }

    if (document->Save() == 1) {
        OnListGtmWaypoints();  // show the file as it now is on disk
    } else {
        // The file is untouched; the corrections stay and Save can be pressed again.
        prompts.Inform(message::kSaveFailed);
    }
}

void MainDialog::SelectNewest(int pathBox, void (MainDialog::*listCommand)()) {
    std::string path = window.GetText(pathBox);
    if (FindNewestFile(NewestFilePattern(path), path) != 1) return;
    window.SetText(pathBox, path);
    (this->*listCommand)();
}

void MainDialog::OnSelectNewest() {
    SelectNewest(control::kGarminPath, &MainDialog::OnListGarminWaypoints);
    SelectNewest(control::kGtmPath, &MainDialog::OnListGtmWaypoints);
}
