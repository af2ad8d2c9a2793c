// "OPTIONS.txt": the start-up options in the auxiliary folder.
//
// The file is a list of items separated by commas or line ends. Blanks around
// an item are dropped; ",," gives an empty item; a comma just before a line
// end adds none, and blank lines add none. Items 3, 4 and 17 are colours,
// items 12 to 16 numbers (items 15 and 16 are scaled by 1e7 and 1e4), the
// others are read and discarded; anything after item 17 is ignored.
#pragma once

#include "SharedState.h"

#include <string>
#include <string_view>
#include <vector>

namespace kx {

inline constexpr int kOptionItemCount = 17;

// The list items of the file's bytes, in order.
std::vector<std::string> SplitListItems(std::string_view bytes);

// Stores the items into the shared state in order and stops at the first
// failure: fewer than 17 items, a number item that is not a number, a colour
// that is not a whole number of 32 bits, a non-finite scaled item 15 or 16.
// Items stored before the failure keep their new values. An empty item reads
// as 0. Returns true when all 17 were stored; otherwise `why`, when given,
// names the failure ("Item 13, 'abc', is no number.").
bool StoreOptionItems(SharedState& s, const std::vector<std::string>& items, std::string* why = nullptr);

// Sets the folders from the program folder, reads AssistFolder + "OPTIONS.txt"
// and, when every item was read, sets SelectionColor to yellow. ErrBL is
// true when the file could not be read whole; `why`, when given, then says
// why (the file does not read, or the item that failed). Nothing is shown.
void OptionOpen(SharedState& s, const std::string& programFolder, bool& ErrBL, std::string* why = nullptr);

}  // namespace kx
