#pragma once

#include <QString>

// The texts of the program's message boxes, by string id.
namespace message {
// Some new names begin with a letter or digit: prefix them? (Yes / No)
inline constexpr int kPrefixQuestion = 1;
// Not every waypoint found its name; saving is not advised. (OK)
inline constexpr int kIncompleteCorrection = 2;
// The file could not be written and is unchanged. (OK)
inline constexpr int kSaveFailed = 3;
}  // namespace message

// The text of a string id; empty for an id the table does not hold.
QString LoadMessageString(int id);
