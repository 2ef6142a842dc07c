#pragma once

#include <string>

// The newest-file search of the dialog's "自動選最新檔" button. Paths are
// UTF-8 text.

// The search pattern for a path box's text: the path's folder (with its final
// separator), "*", and the path's extension (from the last dot of the file
// name, dot included). A path without an extension gives a pattern that
// matches every entry of its folder; a path without a folder searches the
// current folder, so an empty text gives "*".
std::string NewestFilePattern(const std::string& path);

// Searches the pattern "<folder>*<ending>": every entry of the folder whose
// name ends with <ending>, letter case ignored, files and folders alike. The
// entry with the latest modification time in whole seconds wins; an entry of
// the same second as the best so far does not replace it, so the entry the
// directory listing gives first wins a tie; a time of 0 or earlier never wins.
// Returns 1 and puts the winner's full path into path, or returns 0 and leaves
// path unchanged (no such folder, no match, no match after 1970).
int FindNewestFile(const std::string& pattern, std::string& path);
