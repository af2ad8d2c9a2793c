#include "ExportNaming.h"

#include "TextHelpers.h"

#include <algorithm>

namespace kx::chart {

const char* ExportExtension(int kind) {
    switch (kind) {
        case kExportBmp: return "bmp";
        case kExportSvg: return "svg";
        default: return "png";
    }
}

ExportTarget ExportTargetFor(std::string_view typed, int chosenKind, const std::string& folder,
                             const std::function<bool(const std::string&)>& isFolder) {
    ExportTarget target;
    target.kind = std::clamp(chosenKind, kExportPng, kExportSvg);
    std::string path(TrimBlanks(typed));
    if (path.empty()) {
        target.fault = ExportNameFault::NoName;
        return target;
    }
    if (path.front() != '/' && !folder.empty()) path.insert(0, folder.back() == '/' ? folder : folder + '/');
    const std::size_t nameStart = path.find_last_of('/') + 1;  // 0 without a folder
    std::string name = path.substr(nameStart);
    if (name.empty() || name == "." || name == ".." || isFolder(path)) {
        target.fault = ExportNameFault::Folder;
        target.path = std::move(path);
        return target;
    }
    // A dot at the end starts no extension.
    while (!name.empty() && name.back() == '.') name.pop_back();
    if (name.empty()) {
        target.fault = ExportNameFault::NoName;
        return target;
    }
    const std::size_t dot = name.find_last_of('.');
    const std::string extension = dot == std::string::npos ? std::string() : LowerAscii(name.substr(dot + 1));
    int typedKind = -1;
    for (int k = kExportPng; k <= kExportSvg; ++k)
        if (extension == ExportExtension(k)) typedKind = k;
    if (typedKind >= 0)
        target.kind = typedKind;
    else
        name += std::string(".") + ExportExtension(target.kind);
    path.replace(nameStart, std::string::npos, name);
    if (isFolder(path)) target.fault = ExportNameFault::Folder;
    target.path = std::move(path);
    return target;
}

}  // namespace kx::chart
