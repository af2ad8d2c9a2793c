#include "SolverFileReading.h"

#include "Errors.h"
#include "Files.h"
#include "TextHelpers.h"

namespace kx {

std::string ReadSolverFile(const std::string& path) {
    if (!files::Exists(path)) throw Error(ErrorKind::FileNotFound, path);
    return files::ReadAll(path);
}

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    for (line = LTrim(line); !line.empty(); line = LTrim(line)) {
        const std::size_t blank = line.find(' ');
        words.push_back(line.substr(0, blank));
        if (blank == std::string_view::npos) break;
        line.remove_prefix(blank);
    }
    return words;
}

}  // namespace kx
