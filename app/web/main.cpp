// The page's program: the dialog over the page, started once the module is
// ready. The page forwards the user's clicks, list selections and dropped
// files to the functions exported below; one runs at a time (page.js queues
// them), and one that shows a prompt or a file chooser waits there for the
// user's answer.
#include <emscripten/emscripten.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "app/DialogTemplate.h"
#include "app/MainApp.h"
#include "app/MainDialog.h"
#include "app/StringTable.h"
#include "app/web/LocalStorageProfileStore.h"
#include "app/web/WebDialogView.h"
#include "app/web/WebPrompts.h"

EM_JS(void, page_init, (const char* title, const char* folder), {
    Page.init(UTF8ToString(title), UTF8ToString(folder));
});
EM_JS(void, page_ready, (), { Page.ready(); });
EM_JS(void, page_status, (const char* text), { Page.status(UTF8ToString(text)); });
// 1 written back into the chosen file, 2 downloaded, 0 neither.
EM_ASYNC_JS(int, page_hand_over, (const char* path), { return await Page.handOver(UTF8ToString(path)); });

namespace {

// Where the page puts the files the user chose or dropped, one folder each.
const char kFileFolder[] = "/files";

// What the page says after a save, with the file's name.
const char kWrittenBack[] = "已將修正後的檔案寫回「%s」。";
const char kDownloaded[] = "瀏覽器不能寫回原來的檔案，已下載修正後的檔案「%s」。";

struct PageDialog {
    WebDialogView view;
    WebPrompts prompts{view};
    LocalStorageProfileStore settings{MainApp::kRegistryKey, MainApp::kProfileName, {"Prefix"}};
    MainDialog dialog{view, prompts, settings};
};
PageDialog* page = nullptr;

// The files in the page's folder, each with what changes when it is replaced
// (a save renames a new file over the old one).
using FileStamps = std::map<std::string, std::pair<ino_t, long long>>;

FileStamps Stamps() {
    FileStamps stamps;
    std::error_code error;
    for (std::filesystem::recursive_directory_iterator it(kFileFolder, error), end; !error && it != end;
         it.increment(error)) {
        struct stat info {};
        if (it->is_regular_file(error) && stat(it->path().c_str(), &info) == 0) {
            stamps[it->path().string()] = {info.st_ino, info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec};
        }
    }
    return stamps;
}

std::string Format(const char* text, const std::string& name) {
    std::string result = text;
    return result.replace(result.find("%s"), 2, name);
}

// Shows what a command did, and hands every file it rewrote back to the user:
// into the file chosen, where the browser allows it, else as a download.
void Finish(const FileStamps& before) {
    page->view.Flush();
    for (const auto& [path, stamp] : Stamps()) {
        const auto old = before.find(path);
        if (old == before.end() || old->second == stamp) continue;
        const std::string name = std::filesystem::path(path).filename().string();
        switch (page_hand_over(path.c_str())) {
        case 1: page_status(Format(kWrittenBack, name).c_str()); break;
        case 2: page_status(Format(kDownloaded, name).c_str()); break;
        default: page->prompts.Inform(message::kSaveFailed);
        }
    }
}

// Runs one of the dialog's handlers, with the status line cleared, and shows
// what it did.
template <typename Handler>
void Run(Handler handler) {
    page_status("");
    const FileStamps before = Stamps();
    handler();
    Finish(before);
}

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE void lorvane_command(int id) {
    Run([id] { page->dialog.OnCommand(id); });
}

EMSCRIPTEN_KEEPALIVE void lorvane_selection(int listId, int line) {
    page->dialog.OnSelectionChange(listId, line);
    page->view.Flush();
}

// The paths of the dropped files in the module's file system, one a line.
EMSCRIPTEN_KEEPALIVE void lorvane_drop(const char* lines) {
    std::vector<std::string> paths;
    for (std::string_view rest = lines; !rest.empty();) {
        const size_t end = std::min(rest.find('\n'), rest.size());
        paths.emplace_back(rest.substr(0, end));
        rest.remove_prefix(std::min(end + 1, rest.size()));
    }
    Run([&paths] { page->dialog.OnDropFiles(paths); });
}

}  // extern "C"

int main() {
    page_init(kDialogTemplate.caption, kFileFolder);
    std::filesystem::create_directories(kFileFolder);
    page = new PageDialog;  // lives as long as the page
    page->dialog.OnInitDialog();
    page->view.Flush();
    page_ready();
    return 0;
}
