// Fixed-column text fields as the solver file uses them.
//
// Reading follows the rules of formatted input: a field is a column range of a
// line (a short line counts as padded with blanks), blanks inside a numeric
// field are ignored, an all-blank field reads as zero, and a real written
// without a decimal point gets the layout's number of implied decimals.
// Value lines are read as free-format input of one item.
//
// Writing produces the Iw, Aw and Ew.d[Ee] forms into a caller's character
// buffer, so that the output routines never allocate.
#pragma once

#include <string_view>

namespace kx::fmt {

// Columns first..first+width-1 (first counted from 1) of a line; the part of
// the range beyond the line's end is left out (it would be blanks).
std::string_view Field(std::string_view line, int first, int width);

// Iw input: optional sign and digits after the blanks are removed.
bool ReadIntField(std::string_view field, int& value);

// Fw.d and Ew.d input: an optional exponent (E, D or Q with an optional sign,
// or a sign alone); without a decimal point the value gets `decimals` implied
// decimals.
bool ReadRealField(std::string_view field, int decimals, double& value);

// Free-format input of the first item of a line: leading blanks are skipped,
// the item ends at a blank, comma, slash or "!", the rest is ignored.
bool ReadListInt(std::string_view line, int& value);
bool ReadListReal(std::string_view line, double& value);

// The characters of that first item as the line holds them (empty when the
// line holds none).
std::string_view ListItem(std::string_view line);

// Aw output: the first w characters of text, padded with blanks.
char* PutA(char* out, std::string_view text, int w);

// Iw output: right-aligned; w asterisks when the value does not fit.
char* PutI(char* out, long long value, int w);

// Ew.d (e == 0) and Ew.dEe output: a mantissa 0.ddd below 1 in magnitude and
// a signed exponent. Without Ee an exponent above 99 in magnitude drops the
// letter ("0.1234567-100"). The leading "0" is left out only when the field
// has no room for it; w asterisks when even that does not fit.
char* PutE(char* out, double value, int w, int d, int e = 0);

}  // namespace kx::fmt
