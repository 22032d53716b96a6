#pragma once
// The window base: one class per window, one default instance per class.
//
//     class About : public forms::Form {
//     public:
//         controls::Label lblVersion{this};
//         controls::CommandButton Command1{this};
//         About() {                       // builds controls only
//             Command1.setCaption("&OK");
//             Command1.Click = [this] { Command1_Click(); };
//         }
//         void Form_Load() override { setCaption("About Vantrels"); }
//         void Command1_Click() { forms::Form::Unload(this); }
//     };
//     forms::Form::get<About>().Show(true, &forms::Form::get<Customer>());
//
// Declare a container (a frame, a tab page) before the controls placed in it,
// so the members are destroyed contents first. A constructor must not touch
// other windows or its own default instance: that is what Form_Load is for.
#include <functional>
#include <initializer_list>
#include <map>
#include <optional>
#include <typeindex>
#include <typeinfo>
#include <utility>
#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

class QCloseEvent;
class QMenuBar;

namespace forms {

class Form : public QWidget {
    Q_OBJECT
public:
    explicit Form(QWidget* parent = nullptr);
    ~Form() override;

    // ---- default instances ------------------------------------------------
    // The one instance of T (for status windows sharing a class, one per key).
    // Not loaded: builds it hidden, registers it, then runs its Form_Load,
    // so a load that touches its own window reaches this instance. A window
    // that unloaded itself during its load is still returned; its Show does
    // nothing, and the next get builds a fresh one.
    template <class T>
    static T& get(const QString& key = QString()) {
        if (Form* f = find(typeid(T), key)) return static_cast<T&>(*f);
        T* f = new T();
        adopt(typeid(T), key, f);
        return *f;
    }
    // Never loads.
    template <class T>
    static bool isLoaded(const QString& key = QString()) { return find(typeid(T), key) != nullptr; }
    // Unloads T's default instance if it is loaded; loads nothing. False when
    // the window refused to go.
    template <class T>
    static bool unload(const QString& key = QString()) { return Unload(find(typeid(T), key)); }

    // Unload: the windows this one owns first (newest first, each as below),
    // then the open edits of this window's controls end (as a move would end
    // them), then Form_QueryUnload, which may refuse; then Form_Unload, then
    // hidden, out of the registry at once, deleted later (so the handler that
    // called it runs on; it must not touch this window's controls
    // afterwards). Every way of closing goes this way: the close box, code,
    // an owner unloading, the process end.
    // True when the window is gone (or was not loaded); false when it or a
    // window it owns refused, and then it stays loaded and open: a caller
    // that needed it gone stops.
    static bool Unload(Form* f);
    static bool Unload(Form& f) { return Unload(&f); }
    // Every loaded window, newest first (tests). A window that refuses is
    // unloaded all the same.
    static void unloadAll();
    // Loaded windows in load order.
    static QList<Form*> loadedForms();
    // The innermost window whose modal Show is running, or nullptr.
    static Form* activeModal();

    // The key of a keyed default instance ("" otherwise).
    QString InstanceKey() const { return key_; }

    // Runs Form_Load for a window built without get (default instances load
    // themselves); a second call does nothing.
    void Load();

    // Not loaded: load first (a window that unloads itself in its load makes
    // Show return quietly). Shows, raises and activates; no second Form_Load.
    // modal: application-modal; returns when the window is hidden or unloaded.
    // owner: the window stays above its owner and is unloaded with it.
    // Showing takes activation: the control holding the focus raises
    // LostFocus and the window's last (else first) control GotFocus; when an
    // owned or modal window closes, the control it took the focus from gets
    // GotFocus again. A window that must not take the focus (a notice shown
    // during slow work) sets Qt::WA_ShowWithoutActivating in its constructor.
    void Show(bool modal = false, Form* owner = nullptr);
    void Hide() { hide(); }

    bool IsLoaded() const { return state_ == State::Loading || state_ == State::Loaded; }
    bool IsUnloading() const { return state_ == State::Unloading || state_ == State::Unloaded; }
    bool IsModal() const { return modalRunning_; }
    Form* Owner() const { return owner_; }
    // Windows shown with this one as owner and still loaded, oldest first.
    QList<Form*> OwnedForms() const;

    // ---- handlers -----------------------------------------------------------
    virtual void Form_Load() {}
    // How a window is being closed (UnloadMode of Form_QueryUnload).
    static constexpr int vbFormControlMenu = 0, vbFormCode = 1, vbAppWindows = 2, vbFormOwner = 5;
    // Asked first on every way of closing, after the window's open edits
    // have ended: setting Cancel keeps the window loaded and open (a row
    // that cannot be saved, an unanswered save question).
    virtual void Form_QueryUnload(bool& Cancel, int UnloadMode) {}
    virtual void Form_Unload() {}
    // Every size change, first show, minimise and restore included.
    virtual void Form_Resize() {}
    // The window became the active program window (not on the return from a
    // message box or another application).
    virtual void Form_Activate() {}
    virtual void Form_GotFocus() {}

    // ---- properties ---------------------------------------------------------
    // Outer frame, screen coordinates, twips. A value set reads back as set
    // while the window stands where it was put (the window manager's frame
    // included once it is known). At the first show a place off the screens
    // moves fully onto the nearest one, a size larger than its available
    // area is reduced to fit, and a window given no place opens centred over
    // the window that opened it (its owner, else the active window).
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void setLeft(int twips);
    void setTop(int twips);
    void setWidth(int twips);
    void setHeight(int twips);
    void Move(int left, int top, int width = -1, int height = -1);
    // The client area in twips.
    int ScaleWidth() const;
    int ScaleHeight() const;
    void setClientSize(int widthTwips, int heightTwips);
    // Fixed single border: no resizing, no minimise or maximise button.
    // Escape closes such a dialog as its close box does, unless it has a
    // Cancel button.
    void setFixedBorder();
    // Keys every window answers: Escape clicks the visible, enabled button
    // marked as the window's Cancel (CommandButton::setCancel); Enter clicks
    // the focused push or tool button, else the default one. The property
    // read on the button:
    static constexpr const char* kCancelProperty = "vantrelCancel";
    // Places the window in the middle of the screen's available area.
    void CenterOnScreen();

    // 0 normal, 1 minimised, 2 maximised.
    static constexpr int vbNormal = 0, vbMinimized = 1, vbMaximized = 2;
    int WindowState() const;
    void setWindowState(int state);

    QString Caption() const { return windowTitle(); }
    void setCaption(const QString& caption) { setWindowTitle(caption); }
    bool Visible() const { return isVisible(); }
    // Paints now.
    void Refresh();

    // The window's menu bar, made on first use. It runs along the top of the
    // window; control coordinates start below it, as the client area does.
    QMenuBar* MenuBar();
    // Pixels from the top of a container to where twips coordinates start
    // (the menu bar's height on a window that has one, else 0).
    static int clientOriginY(const QWidget* container);
    // The keyboard (Tab) order of the given controls, first to last. Qt
    // skips controls on hidden tab pages, so windows with tabs set it. The
    // first one takes the focus when the window first shows.
    static void setKeyboardOrder(std::initializer_list<QWidget*> order);
    static constexpr const char* kFirstControlProperty = "vantrelFirstControl";

    // ---- process --------------------------------------------------------------
    // Runs the program's event loop (in place of QApplication::exec). The
    // loop ends when no window is visible:
    // hidden windows are unloaded then (their Form_Unload runs), and after
    // the loop the terminate handler runs once.
    static int RunMessageLoop();
    static void setTerminateHandler(std::function<void()> handler);
    // True while RunMessageLoop runs.
    static bool messageLoopRunning();

signals:
    // The window was hidden or unloaded (ends a modal Show).
    void closedOrHidden();

protected:
    bool event(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    enum class State { NotLoaded, Loading, Loaded, Unloading, Unloaded };
    using Key = std::pair<std::type_index, QString>;

    static Form* find(const std::type_info& type, const QString& key);
    static void adopt(const std::type_info& type, const QString& key, Form* f);
    void setOwner(Form* owner);
    // The unload itself; false when the window (or one it owns) refused.
    bool unloadAs(int mode, bool force = false);
    void unloadNow();
    void commitOpenEdits();
    void applyRequestedGeometry();
    void resizeOuter(int widthPx, int heightPx);
    void settleFrame();
    void keepOnScreen();
    void placeBeforeFirstShow();
    // Where the outer frame stands, or will stand once shown as asked.
    QRect plannedFrame() const;
    void callResize();
    static void requestProcessEndCheck();
    static void processEndCheck();

    State state_ = State::NotLoaded;
    QString key_;
    bool registered_ = false;
    std::type_index type_ = typeid(Form);
    QPointer<Form> owner_;
    QList<QPointer<Form>> owned_;
    QPointer<QWidget> returnFocus_;   // control to give the focus back to
    bool modalRunning_ = false;
    bool querying_ = false;          // its close is being asked (a question may be showing)
    bool inLoad_ = false;            // Form_Load is on the stack
    bool deleteAfterLoad_ = false;   // unloaded during its load: delete once it returns
    bool shownOnce_ = false;
    bool frameKnown_ = false;        // shown, and the window manager's frame is on
    bool fixedBorder_ = false;
    QMenuBar* menuBar_ = nullptr;
    // Geometry last asked for (twips); see Left().
    std::optional<int> reqLeft_, reqTop_, reqWidth_, reqHeight_;
    bool clientSizeRequested_ = false;   // the size asked for was the client area's
};

} // namespace forms
