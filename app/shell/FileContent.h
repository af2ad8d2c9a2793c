// What a file holds, told by its first bytes rather than by its name: a
// picture, an archive, a PDF or office document or a program cannot be
// shown or edited as text, whatever its extension, and neither can bytes
// that are no text. A kind's signature counts only with the structure that
// follows it in a real file of that kind, so that a note may begin with
// "GIF89a" or "%PDF-". Text opens, in any encoding the text window reads
// (UTF-8, UTF-16 with or without its byte order mark, told as the window
// tells it: TextBytes.h, Windows-1252), control characters among it as long
// as they are not most of it, and so does RTF.
#pragma once

#include "TextBytes.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kx {

// How many bytes from the start of a file decide.
inline constexpr std::size_t kContentHeadSize = kTextHeadSize;

// The kind of file that the bytes from its start show, in a file of `size`
// bytes, named as users know it by its extension ("png", "zip", "docx",
// "exe"), or "binary" for bytes that are no text: NUL in more than one
// character in twenty, mostly control characters, or bytes spread over all
// their values as evenly as compressed data; "" when they may be text (an
// empty file too).
std::string BinaryKind(std::string_view head, std::uint64_t size);
// The same for bytes that are the whole file.
inline std::string BinaryKind(std::string_view file) { return BinaryKind(file, file.size()); }

// The same for the file at `path`, from its first kContentHeadSize bytes;
// "" when it cannot be read (opening it then tells why).
std::string BinaryKindOfFile(const std::string& path);

}  // namespace kx
