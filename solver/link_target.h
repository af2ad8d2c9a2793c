// Where a file given by a path really is, for writing it anew: a symbolic
// link keeps naming the file, so a new version replaces the file the link
// names, in that file's folder, and the link itself stays as it is.
//
// Shared by the console solver and the desktop program; standard library
// only.
#pragma once

#include <string>
#include <system_error>

namespace kx {

// The path of the file that `path` names once its symbolic links are
// followed: a link to a link is followed on, and a relative link target
// counts from the folder of the link that holds it. A path that is no link
// comes back as it was given. A link whose target does not exist gives the
// path of that target, so that a new file is made where the link points.
// A loop of links, or a link that cannot be read, sets `error` and gives an
// empty path.
std::string LinkTarget(const std::string& path, std::error_code& error);

}  // namespace kx
