#include "Icons.h"

#include <QApplication>
#include <QFileInfo>
#include <QStringList>

namespace kx::platform {
namespace {

// In the order of preference.
constexpr const char* kThemes[] = {"breeze", "Adwaita"};

// Where the desktop keeps its icon themes; some platforms (offscreen ones
// among them) tell Qt none.
void addDesktopThemeFolders() {
    QStringList paths = QIcon::themeSearchPaths();
    QString dataDirs = qEnvironmentVariable("XDG_DATA_DIRS");
    if (dataDirs.isEmpty()) dataDirs = "/usr/local/share:/usr/share";
    for (const QString& dir : dataDirs.split(':', Qt::SkipEmptyParts)) {
        const QString folder = dir + "/icons";
        if (!paths.contains(folder) && QFileInfo(folder).isDir()) paths << folder;
    }
    QIcon::setThemeSearchPaths(paths);
}

bool installed(const QString& theme) {
    for (const QString& folder : QIcon::themeSearchPaths())
        if (QFileInfo::exists(folder + "/" + theme + "/index.theme")) return true;
    return false;
}

// Chooses the theme once, on the first picture asked for.
const QString& chosenTheme() {
    static const QString theme = [] {
        addDesktopThemeFolders();
        QString first, second;
        for (const char* name : kThemes) {
            if (!installed(name)) continue;
            (first.isEmpty() ? first : second) = name;
            if (!second.isEmpty()) break;
        }
        if (!first.isEmpty()) QIcon::setThemeName(first);
        // A picture the first theme lacks may come from the second.
        if (!second.isEmpty()) QIcon::setFallbackThemeName(second);
        return first;
    }();
    return theme;
}

}  // namespace

QString IconThemeName() { return chosenTheme(); }

QIcon ThemeIcon(const QString& themeName, QStyle::StandardPixmap fallback) {
    if (!chosenTheme().isEmpty() && QIcon::hasThemeIcon(themeName)) return QIcon::fromTheme(themeName);
    return QApplication::style()->standardIcon(fallback);
}

}  // namespace kx::platform
