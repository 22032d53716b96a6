#include "controls/Pictures.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>

namespace controls {
namespace {
// Breeze fills in for names the desktop's theme lacks; without a desktop
// (no theme, or only the bare hicolor) it is the theme. Platforms without
// a desktop theme (offscreen) search no system icon folders at all.
void useBreeze() {
    static const bool once = [] {
        QStringList paths = QIcon::themeSearchPaths();
        for (const QString& data : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
            const QString icons = QDir(data).filePath(QStringLiteral("icons"));
            if (!paths.contains(icons) && QDir(icons).exists()) paths << icons;
        }
        QIcon::setThemeSearchPaths(paths);
        const QString theme = QIcon::themeName();
        if (theme.isEmpty() || theme == QLatin1String("hicolor")) QIcon::setThemeName(QStringLiteral("breeze"));
        else QIcon::setFallbackThemeName(QStringLiteral("breeze"));
        return true;
    }();
    (void)once;
}
}

QIcon PictureIcon(const Picture& picture, const QStyle* style) {
    useBreeze();
    const QString name = QString::fromLatin1(picture.themeName);
    if (QIcon::hasThemeIcon(name)) return QIcon::fromTheme(name);
    if (!style) style = QApplication::style();
    return style ? style->standardIcon(picture.fallback) : QIcon();
}

} // namespace controls
