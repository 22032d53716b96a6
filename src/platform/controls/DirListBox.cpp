#include "controls/DirListBox.h"
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include "vb/RuntimeError.h"

namespace controls {

namespace {
constexpr int kPathRole = Qt::UserRole + 1;
}

DirListBox::DirListBox(QWidget* parent) : QListWidget(parent), Control(this) {
    path_ = QDir::cleanPath(QDir::currentPath());
    fill();
    connect(this, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) { openEntry(item); });
}

void DirListBox::setPath(const QString& path) {
    QString p = QString(path).replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QFileInfo fi(p);
    if (p.isEmpty() || !fi.isDir()) vb::Raise(76, QStringLiteral("Path not found"));
    p = QDir::cleanPath(fi.absoluteFilePath());
    if (p == path_) return;
    path_ = p;
    fill();
    fire(Change);
}

void DirListBox::Refresh() { fill(); }

QString DirListBox::EntryPath(int index) const {
    const QListWidgetItem* it = item(index);
    return it ? it->data(kPathRole).toString() : QString();
}

void DirListBox::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        openEntry(currentItem());
        return;
    }
    QListWidget::keyPressEvent(e);
}

void DirListBox::openEntry(QListWidgetItem* item) {
    if (!item) return;
    const QString target = item->data(kPathRole).toString();
    try {
        setPath(target);
    } catch (const vb::RuntimeError&) {
        // The folder went away since it was listed: show what is there now.
        fill();
    }
}

void DirListBox::fill() {
    clear();
    // The chain from the root down to the open folder.
    QStringList chain;
    for (QDir d(path_);; ) {
        chain.prepend(QDir::cleanPath(d.absolutePath()));
        if (d.isRoot() || !d.cdUp()) break;
    }
    int depth = 0;
    auto add = [this](const QString& text, const QString& folder, int indent) {
        auto* it = new QListWidgetItem(QString(indent * 2, QLatin1Char(' ')) + text, this);
        it->setData(kPathRole, folder);
    };
    for (const QString& folder : chain) {
        const QString name = QDir(folder).isRoot() ? QDir::toNativeSeparators(folder) : QFileInfo(folder).fileName();
        add(name, folder, depth++);
    }
    setCurrentRow(count() - 1);
    const QFileInfoList subs =
        QDir(path_).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& s : subs) add(s.fileName(), QDir::cleanPath(s.absoluteFilePath()), depth);
}

} // namespace controls
