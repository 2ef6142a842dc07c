#pragma once

// The texts of the program's message boxes, by string id, in UTF-8. The
// Windows resource's string table is written from the same texts.
namespace message {
// Some new names begin with a letter or digit: prefix them? (Yes / No)
inline constexpr int kPrefixQuestion = 1;
// Not every waypoint found its name; saving is not advised. (OK)
inline constexpr int kIncompleteCorrection = 2;
// The file could not be written and is unchanged. (OK)
inline constexpr int kSaveFailed = 3;
// Every waypoint got a name, but some no position confirms; they are marked
// orange in the GTM list. (OK)
inline constexpr int kUncertainNames = 4;
}  // namespace message

// The text of a string id; empty for an id the table does not hold.
const char* LoadMessageString(int id);
