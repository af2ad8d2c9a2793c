// A value that holds nothing, a number or a text, for the shared tables whose
// cells may be either (the remembered box values of the results window, the
// reaction tables that the sort helpers reorder).
#pragma once

#include <string>
#include <variant>

namespace kx {

using Variant = std::variant<std::monostate, double, std::string>;

inline bool IsEmpty(const Variant& v) { return std::holds_alternative<std::monostate>(v); }

// The number a value stands for: empty is 0, a number itself, a text its
// numeric value; a text that is not numeric throws a type-mismatch error.
double NumberOf(const Variant& v);

// The value as text: empty gives "", a number its default conversion.
std::string TextOf(const Variant& v);

}  // namespace kx
