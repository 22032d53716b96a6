#include "controls/FileListBox.h"
#include <QDir>

namespace controls {

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent), Control(this) {
    path_ = QDir::cleanPath(QDir::currentPath());
    Refresh();
}

void FileListBox::setPath(const QString& path) {
    path_ = QDir::cleanPath(QString(path).replace(QLatin1Char('\\'), QLatin1Char('/')));
    Refresh();
}

void FileListBox::setPattern(const QString& pattern) {
    pattern_ = pattern;
    Refresh();
}

void FileListBox::Refresh() {
    clear();
    QStringList filters = pattern_.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    // "*.*" has always meant every file, a name without a dot included.
    for (QString& f : filters)
        if (f.trimmed() == QLatin1String("*.*")) f = QStringLiteral("*");
        else f = f.trimmed();
    QDir dir(path_);
    if (path_.isEmpty() || !dir.exists()) return;
    dir.setNameFilters(filters);
    dir.setFilter(QDir::Files | QDir::Hidden | QDir::System);
    dir.setSorting(QDir::Name | QDir::IgnoreCase);
    // QDir matches name filters case-insensitively unless asked otherwise.
    addItems(dir.entryList());
}

QString FileListBox::List(int index) const {
    const QListWidgetItem* it = item(index);
    return it ? it->text() : QString();
}

QString FileListBox::FileName() const {
    const QListWidgetItem* it = currentItem();
    return it ? it->text() : QString();
}

} // namespace controls
