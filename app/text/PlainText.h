// Plain text files in a text window: the file's bytes are Latin-1 text whose
// lines end in CR LF, LF or CR. The window holds the text with "\n" line
// ends and writes it back with the line end the file had, so a file saved
// unedited keeps its bytes.
#pragma once

#include "Files.h"

#include <string>
#include <string_view>

namespace kx::text {

// The first line end of the bytes; CR LF (the system's own) when there is
// none.
files::LineEnd DetectLineEnd(std::string_view bytes);

// The bytes with every line end (CR LF, LF or a lone CR) made "\n".
std::string NormalizeLineEnds(std::string_view bytes);

// The text with every "\n" made the line end.
std::string ApplyLineEnd(std::string_view text, files::LineEnd end);

}  // namespace kx::text
