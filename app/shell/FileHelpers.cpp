#include "FileHelpers.h"

#include "Files.h"
#include "TextHelpers.h"

#include <exception>
#include <string_view>

namespace kx {

void SplitFileName(const std::string& path, std::string& name, std::string& extension, std::int32_t& position) {
    const std::string_view t = Trim(path);
    size_t slash = t.find_last_of('/');
    name = std::string(slash == std::string_view::npos ? t : t.substr(slash + 1));
    position = static_cast<std::int32_t>(name.size()) + 1;
    size_t dot = t.find_last_of('.');
    extension = std::string(dot == std::string_view::npos ? t : t.substr(dot + 1));
}

void DeleteFileIfPresent(const std::string& path, bool& failed) {
    failed = false;
    try {
        if (path.empty() || !files::Exists(path)) {
            failed = true;
            return;
        }
        files::Remove(path);
    } catch (const std::exception&) {
        failed = true;
    }
}

namespace {

constexpr const char* kNoFileName = "No file name is given.";

// The refusal of a step on the file as a sentence, or "" when it passes.
template <class Step>
std::string WhyStepFails(const std::string& path, Step&& step) {
    if (path.empty()) return kNoFileName;
    try {
        step();
    } catch (const std::exception& e) {
        return std::string(e.what()) + ".";
    }
    return {};
}

}  // namespace

std::string WhyUnreadable(const std::string& path) {
    return WhyStepFails(path, [&] { files::ReadHead(path, 0); });
}

std::string WhyUnwritable(const std::string& path) {
    return WhyStepFails(path, [&] { files::CheckWritable(path); });
}

void CheckReadOnly(const std::string& path, std::int32_t& state, std::string& message, bool clear) {
    message.clear();
    state = kNoPathGiven;
    if (path.empty()) return;
    state = kNotReadOnly;
    if (!files::IsReadOnly(path)) return;
    if (clear) {
        try {
            files::SetReadOnly(path, false);
            state = kReadOnlyCleared;
            return;
        } catch (const std::exception&) {
            // Could not be cleared: report it as read-only.
        }
    }
    state = kReadOnly;
    message = "File '" + path + "' is read-only, " + "remove this attribute. The program terminates. ";
}

}  // namespace kx
