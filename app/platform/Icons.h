// Pictures of buttons and menu items, from one place for every window.
//
// The program takes its pictures from an icon theme of the desktop that it
// chooses itself ("breeze", else "Adwaita", whichever is installed), so
// they look the same on every desktop; where the theme lacks a picture,
// Qt's standard icon of the style stands in.
#pragma once

#include <QIcon>
#include <QString>
#include <QStyle>

namespace kx::platform {

// The icon of the theme's name (a freedesktop name such as "document-save"),
// or the style's standard icon when the theme has none. Never null.
QIcon ThemeIcon(const QString& themeName, QStyle::StandardPixmap fallback);

// The theme the pictures come from; "" when none of the program's themes
// is installed (then every picture is a standard icon).
QString IconThemeName();

}  // namespace kx::platform
