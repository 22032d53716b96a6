#pragma once
// The drive list: a drop-down of the places a folder list can start from.
// On this system those are the filesystem root and the home folder; Drive is
// the chosen entry's folder. Change is raised whenever the choice changes,
// from the user or from code.
#include <functional>
#include <QComboBox>
#include <QString>
#include <QStringList>
#include "controls/Control.h"

namespace controls {

class DriveListBox : public QComboBox, public Control {
    Q_OBJECT
public:
    explicit DriveListBox(QWidget* parent = nullptr);

    std::function<void()> Change;

    // The folder of the chosen drive.
    QString Drive() const;
    // Chooses the drive holding the given folder; a drive letter ("C", "c:")
    // names the root.
    void setDrive(const QString& drive);
    // The drives' folders, in list order.
    QStringList Drives() const { return roots_; }

private:
    QStringList roots_;
};

} // namespace controls
