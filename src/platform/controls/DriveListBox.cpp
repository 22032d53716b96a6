#include "controls/DriveListBox.h"
#include <QDir>
#include <QRegularExpression>

namespace controls {

DriveListBox::DriveListBox(QWidget* parent) : QComboBox(parent), Control(this) {
    roots_ << QDir::rootPath();
    const QString home = QDir::cleanPath(QDir::homePath());
    if (home != QDir::cleanPath(QDir::rootPath())) roots_ << home;
    for (const QString& r : roots_) addItem(QDir::toNativeSeparators(r));
    setCurrentIndex(0);
    connect(this, &QComboBox::currentIndexChanged, this, [this](int) { fire(Change); });
}

QString DriveListBox::Drive() const {
    const int i = currentIndex();
    return i >= 0 && i < roots_.size() ? roots_.at(i) : QString();
}

void DriveListBox::setDrive(const QString& drive) {
    static const QRegularExpression letter(QStringLiteral("^[A-Za-z]:?[\\\\/]?$"));
    int pick = 0;
    if (!letter.match(drive).hasMatch()) {
        // The drive whose folder is the longest start of the path.
        QString p = QDir::cleanPath(QString(drive).replace(QLatin1Char('\\'), QLatin1Char('/')));
        int best = -1;
        for (int i = 0; i < roots_.size(); ++i) {
            const QString r = QDir::cleanPath(roots_.at(i));
            const bool inside = p == r || p.startsWith(r.endsWith(QLatin1Char('/')) ? r : r + QLatin1Char('/'));
            if (inside && r.size() > best) {
                best = int(r.size());
                pick = i;
            }
        }
    }
    setCurrentIndex(pick);
}

} // namespace controls
