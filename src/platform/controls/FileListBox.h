#pragma once
// The file list: the names of the files in Path that match Pattern (wildcards
// "*" and "?", several patterns separated by ";"), letter case ignored,
// sorted by name. Setting Path or Pattern reads the folder again.
#include <QListWidget>
#include <QString>
#include "controls/Control.h"

namespace controls {

class FileListBox : public QListWidget, public Control {
    Q_OBJECT
public:
    explicit FileListBox(QWidget* parent = nullptr);

    QString Path() const { return path_; }
    void setPath(const QString& path);
    QString Pattern() const { return pattern_; }
    void setPattern(const QString& pattern);
    void Refresh();

    int ListCount() const { return count(); }
    // The name of entry index ("" out of range).
    QString List(int index) const;
    // The selected entry's name ("" when none).
    QString FileName() const;

private:
    QString path_;
    QString pattern_ = QStringLiteral("*.*");
};

} // namespace controls
