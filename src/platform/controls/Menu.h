#pragma once
// Menu items over the window's menu bar:
//     controls::MenuItem mnuFile{MenuBar(), "&File"};
//     controls::MenuItem mnuSetup{mnuFile, "&Setup"};
//     mnuSetup.Click = [this] { mnuSetup_Click(); };
// An item that gets items of its own becomes a submenu. Declare a menu
// before its items.
#include <functional>
#include <QObject>
#include <QPointer>
#include <QString>

class QAction;
class QMenu;
class QMenuBar;

namespace controls {

class MenuItem : public QObject {
    Q_OBJECT
public:
    // A menu on the bar.
    MenuItem(QMenuBar* bar, const QString& caption);
    // An item (or submenu) of a menu.
    MenuItem(MenuItem& parent, const QString& caption);
    // A separator line in a menu.
    static void AddSeparator(MenuItem& menu);
    ~MenuItem() override;

    std::function<void()> Click;

    QString Caption() const;
    void setCaption(const QString& caption);
    bool Enabled() const;
    void setEnabled(bool enabled);
    bool Visible() const;
    void setVisible(bool visible);
    bool Checked() const;
    void setChecked(bool checked);

    QAction* action() const { return action_; }
    // The submenu, made on first use.
    QMenu* menu();

    // What choosing the item does (tests).
    void Choose();

private:
    QPointer<QAction> action_;
    QPointer<QMenu> menu_;
    QWidget* owner_;
};

} // namespace controls
