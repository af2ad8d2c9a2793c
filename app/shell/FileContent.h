// What a file holds, told by its first bytes rather than by its name: a
// picture, an archive, a PDF or office document or a program cannot be
// shown or edited as text, whatever its extension, and neither can bytes
// that are mostly control characters. Text opens, in any encoding the text
// window reads (UTF-8, UTF-16 with its NUL bytes, Windows-1252), as does RTF.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kx {

// How many bytes from the start of a file decide.
inline constexpr std::size_t kContentHeadSize = 64 * 1024;

// The kind of file that the bytes from its start show, named as users know
// it by its extension ("png", "zip", "docx", "exe"), or "binary" for
// bytes that are mostly control characters; "" when they may be text (an
// empty file too).
std::string BinaryKind(std::string_view head);

// The same for the file at `path`, from its first kContentHeadSize bytes;
// "" when it cannot be read (opening it then tells why).
std::string BinaryKindOfFile(const std::string& path);

}  // namespace kx
