#pragma once
// The folder list: the folders leading to Path (each one indented below its
// parent), then the folders inside it. Choosing an entry (double click or
// Enter) opens it; Change is raised whenever Path changes, from the user or
// from code. A new list starts in the process's current folder.
#include <functional>
#include <QListWidget>
#include <QString>
#include "controls/Control.h"

namespace controls {

class DirListBox : public QListWidget, public Control {
    Q_OBJECT
public:
    explicit DirListBox(QWidget* parent = nullptr);

    std::function<void()> Change;

    // The open folder (absolute, "/" separators).
    QString Path() const { return path_; }
    // Opens a folder; raises 76 "Path not found" when it does not exist.
    void setPath(const QString& path);
    // Reads the folder again.
    void Refresh();

    // Entries and their folders, for tests and keyboard users.
    int ListCount() const { return count(); }
    QString EntryPath(int index) const;

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    void fill();
    void openEntry(QListWidgetItem* item);
    QString path_;
};

} // namespace controls
