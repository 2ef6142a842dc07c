#include "app/web/WebPrompts.h"

#include <emscripten/emscripten.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "app/StringTable.h"
#include "app/web/WebDialogView.h"

EM_ASYNC_JS(int, page_message, (const char* text, const char* yes, const char* no), {
    return await Page.message(UTF8ToString(text), UTF8ToString(yes), no ? UTF8ToString(no) : null);
});
EM_ASYNC_JS(char*, page_choose_file, (const char* types), {
    return allocateUTF8(await Page.chooseFile(UTF8ToString(types)));
});

namespace {

// The buttons of the message box, as the platform's own would read.
const char kYes[] = "是";
const char kNo[] = "否";
const char kOk[] = "確定";

}  // namespace

bool WebPrompts::Ask(int stringId) {
    view_.Flush();  // the lists behind the question show what the command did
    return page_message(LoadMessageString(stringId), kYes, kNo) == 1;
}

void WebPrompts::Inform(int stringId) {
    view_.Flush();
    page_message(LoadMessageString(stringId), kOk, nullptr);
}

std::string ChooserTypes(const std::string& filter) {
    std::vector<std::string> parts;  // the texts between the "|"
    for (size_t at = 0, end = 0; at <= filter.size(); at = end + 1) {
        end = std::min(filter.find('|', at), filter.size());
        parts.push_back(filter.substr(at, end - at));
    }
    std::string types;
    for (size_t i = 0; i + 1 < parts.size() && !parts[i].empty(); i += 2) {
        std::string extensions = parts[i + 1];  // "*.wtr;*.evo" as ".wtr,.evo"
        std::erase(extensions, '*');
        std::replace(extensions.begin(), extensions.end(), ';', ',');
        types += (types.empty() ? "" : "|") + parts[i] + "|" + extensions;
    }
    return types;
}

std::string WebPrompts::ChooseFile(const std::string& filter, const std::string&) {
    view_.Flush();
    char* path = page_choose_file(ChooserTypes(filter).c_str());
    std::string result = path ? path : "";
    std::free(path);
    return result;
}
