#include "forms/Form.h"
#include <algorithm>
#include <exception>
#include <memory>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QToolButton>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include "forms/App.h"
#include "forms/Focus.h"
#include "forms/Twips.h"
#include "vb/ErrorTrap.h"
#include "vb/RuntimeError.h"

namespace forms {
namespace {

std::map<std::pair<std::type_index, QString>, Form*>& registry() {
    static std::map<std::pair<std::type_index, QString>, Form*> r;
    return r;
}
QList<QPointer<Form>>& loaded() {
    static QList<QPointer<Form>> l;
    return l;
}
QList<Form*> g_modalStack;
QPointer<Form> g_lastActive;
int g_loadDepth = 0;

// Raising is the window manager's business; the offscreen platform has none
// and says so on every call.
void bringToFront(QWidget* w) {
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) w->raise();
    w->activateWindow();
}

struct ProcessState {
    QEventLoop* mainLoop = nullptr;
    std::function<void()> terminate;
    bool checkQueued = false;
} g_process;

// A handler of the runtime's own (load, unload, resize, activate) had no
// trap: show the error report rather than let it reach the event loop.
template <class F>
void guarded(F&& f) {
    try {
        f();
    } catch (...) {
        vb::ShowErrorReport(QString(), vb::ToRuntimeError(std::current_exception()));
    }
}

} // namespace

Form::Form(QWidget* parent) : QWidget(parent, Qt::Window) {
    // Nothing of Qt's own close handling: the close box is Unload.
    setAttribute(Qt::WA_DeleteOnClose, false);
    setAttribute(Qt::WA_QuitOnClose, false);
}

Form::~Form() {
    // Deleted without Unload (by Qt with a parent, or by a test): forget it.
    if (registered_) {
        auto& r = registry();
        auto it = r.find({type_, key_});
        if (it != r.end() && it->second == this) r.erase(it);
    }
    loaded().removeAll(this);
    g_modalStack.removeAll(this);
    if (owner_) owner_->owned_.removeAll(this);
    focus_detail::leaveWindow(this);
}

Form* Form::find(const std::type_info& type, const QString& key) {
    auto& r = registry();
    auto it = r.find({std::type_index(type), key});
    return it == r.end() ? nullptr : it->second;
}

void Form::adopt(const std::type_info& type, const QString& key, Form* f) {
    f->type_ = std::type_index(type);
    f->key_ = key;
    f->registered_ = true;
    registry()[{f->type_, key}] = f;
    f->Load();
}

QList<Form*> Form::loadedForms() {
    QList<Form*> out;
    for (const auto& f : loaded())
        if (f && f->IsLoaded()) out << f.data();
    return out;
}

Form* Form::activeModal() { return g_modalStack.isEmpty() ? nullptr : g_modalStack.back(); }

QList<Form*> Form::OwnedForms() const {
    QList<Form*> out;
    for (const auto& f : owned_)
        if (f && f->IsLoaded()) out << f.data();
    return out;
}

void Form::Load() {
    if (state_ != State::NotLoaded) return;
    state_ = State::Loading;
    loaded().append(this);
    ++g_loadDepth;
    // A load that unloads its own window and then runs a nested event loop
    // (a modal window it opens) must not see this object deleted under it:
    // the delete waits until Form_Load has returned.
    QPointer<Form> self(this);
    inLoad_ = true;
    guarded([this] { Form_Load(); });
    --g_loadDepth;
    if (!self) return;
    inLoad_ = false;
    if (deleteAfterLoad_) {
        deleteLater();
        return;
    }
    if (state_ == State::Loading) state_ = State::Loaded;
}

void Form::Show(bool modal, Form* owner) {
    if (state_ == State::NotLoaded) Load();
    if (!IsLoaded()) return;   // it unloaded itself during its load
    if (modal && modalRunning_) {
        bringToFront(this);
        return;
    }
    if (modal && isVisible())
        throw vb::RuntimeError(400, QStringLiteral("Form already displayed; can't show modally"));
    if (owner && owner != this && owner->IsLoaded()) setOwner(owner);

    const bool activates = !testAttribute(Qt::WA_ShowWithoutActivating);
    if (activates && !isVisible() && (modal || owner_)) {
        // Where the focus goes back when this window closes.
        FocusTarget* back = owner_ ? LastFocusIn(owner_) : nullptr;
        if (!back) back = CurrentFocus();
        returnFocus_ = back && back->targetWidget()->window() != this ? back->targetWidget() : nullptr;
    }
    const bool wasVisible = isVisible();
    if (modal) setWindowModality(Qt::ApplicationModal);
    if (!shownOnce_ && !isVisible()) placeBeforeFirstShow();
    show();
    if (!IsLoaded()) return;   // a resize handler unloaded it
    if (activates) {
        // Windows it owns stay above it: showing it again brings the newest
        // of them forward, with the focus, instead of covering them.
        Form* front = this;
        if (wasVisible)
            for (Form* f : OwnedForms())
                if (f->isVisible() && !f->testAttribute(Qt::WA_ShowWithoutActivating)) front = f;
        bringToFront(front);
        focus_detail::enterWindow(front);
    }
    if (!modal || !IsLoaded() || !isVisible()) {
        if (modal && IsLoaded()) setWindowModality(Qt::NonModal);
        return;
    }

    QPointer<Form> self(this);
    Form* const me = this;
    modalRunning_ = true;
    g_modalStack.append(me);
    {
        QEventLoop loop;
        connect(this, &Form::closedOrHidden, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::DialogExec);
    }
    g_modalStack.removeAll(me);
    // The window may be gone: an unload inside the loop deletes it there.
    if (!self) return;
    modalRunning_ = false;
    if (IsLoaded()) {
        setWindowModality(Qt::NonModal);
        // Hidden rather than unloaded: the owner gets the focus back all the same.
        QPointer<QWidget> back = returnFocus_;
        returnFocus_ = nullptr;
        focus_detail::returnTo(back);
    }
    requestProcessEndCheck();
}

void Form::setOwner(Form* owner) {
    if (owner_ == owner) return;
    if (owner_) owner_->owned_.removeAll(this);
    owner_ = owner;
    owner->owned_.append(this);
    // A Qt parent makes the window transient for its owner, so it stays above it.
    const QPoint at = pos();
    const QSize size = this->size();
    setParent(owner, windowFlags() | Qt::Window);
    move(at);
    resize(size);
}

bool Form::Unload(Form* f) { return !f || f->unloadAs(vbFormCode); }

bool Form::unloadAs(int mode, bool force) {
    if (!IsLoaded()) return true;
    // Asked again while its own question is showing: it has not gone yet.
    if (querying_ && !force) return false;
    QPointer<Form> self(this);
    querying_ = true;
    bool cancel = false;
    // Owned windows first, newest first, so their handlers run while the
    // owner still stands (Qt would delete them with it unannounced). One
    // that stays keeps its owner too.
    const QList<Form*> owned = OwnedForms();
    for (auto it = owned.rbegin(); it != owned.rend() && !cancel; ++it)
        if (!(*it)->unloadAs(mode == vbAppWindows ? mode : vbFormOwner, force)) cancel = true;
    if (!self) return true;
    if (!cancel) {
        commitOpenEdits();
        if (self && IsLoaded()) guarded([&] { Form_QueryUnload(cancel, mode); });
    }
    if (!self) return true;
    querying_ = false;
    if (!IsLoaded()) return true;   // a handler unloaded it meanwhile
    if (cancel && !force) return false;
    unloadNow();
    return true;
}

void Form::commitOpenEdits() {
    for (FocusTarget* t : FocusTarget::in(this)) {
        QPointer<Form> self(this);
        guarded([t] { t->endOpenEdit(); });
        if (!self || !IsLoaded()) return;
    }
}

void Form::unloadNow() {
    state_ = State::Unloading;
    // Windows it came to own while it was asked go with it.
    const QList<Form*> owned = OwnedForms();
    for (auto it = owned.rbegin(); it != owned.rend(); ++it) (*it)->unloadAs(vbFormOwner, true);

    guarded([this] { Form_Unload(); });

    if (registered_) {
        auto& r = registry();
        auto it = r.find({type_, key_});
        if (it != r.end() && it->second == this) r.erase(it);
        registered_ = false;
    }
    loaded().removeAll(this);
    const QPointer<QWidget> back = (owner_ || modalRunning_) ? returnFocus_ : QPointer<QWidget>();
    returnFocus_ = nullptr;
    focus_detail::leaveWindow(this);
    if (g_lastActive == this) g_lastActive = nullptr;
    hide();
    state_ = State::Unloaded;
    emit closedOrHidden();
    if (owner_) owner_->owned_.removeAll(this);
    focus_detail::returnTo(back);
    if (inLoad_)
        deleteAfterLoad_ = true;
    else
        deleteLater();
    requestProcessEndCheck();
}

void Form::unloadAll() {
    const QList<QPointer<Form>> all = loaded();
    for (auto it = all.rbegin(); it != all.rend(); ++it)
        if (*it) (*it)->unloadAs(vbAppWindows, true);
    focus_detail::reset();
    g_lastActive = nullptr;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// ---- geometry ---------------------------------------------------------------

// A value set in twips reads back as set while the window stands where it
// was put (its pixels are what the frame shows), and until the window
// manager's frame is known: so opening and closing a window stores back
// exactly what it read. Once the user moves or sizes it, the frame counts.
int Form::Left() const {
    const int px = frameGeometry().x();
    if (reqLeft_ && (!frameKnown_ || TwipsToPixelsX(*reqLeft_) == px)) return *reqLeft_;
    return PixelsToTwipsX(px);
}
int Form::Top() const {
    const int px = frameGeometry().y();
    if (reqTop_ && (!frameKnown_ || TwipsToPixelsY(*reqTop_) == px)) return *reqTop_;
    return PixelsToTwipsY(px);
}
int Form::Width() const {
    const int px = frameGeometry().width();
    if (reqWidth_ && (!frameKnown_ || TwipsToPixelsX(*reqWidth_) == px)) return *reqWidth_;
    return PixelsToTwipsX(px);
}
int Form::Height() const {
    const int px = frameGeometry().height();
    if (reqHeight_ && (!frameKnown_ || TwipsToPixelsY(*reqHeight_) == px)) return *reqHeight_;
    return PixelsToTwipsY(px);
}

void Form::setLeft(int twips) {
    reqLeft_ = twips;
    move(TwipsToPixelsX(twips), frameGeometry().y());
}
void Form::setTop(int twips) {
    reqTop_ = twips;
    move(frameGeometry().x(), TwipsToPixelsY(twips));
}
void Form::setWidth(int twips) {
    clientSizeRequested_ = false;
    reqWidth_ = twips;
    resizeOuter(TwipsToPixelsX(twips), -1);
}
void Form::setHeight(int twips) {
    clientSizeRequested_ = false;
    reqHeight_ = twips;
    resizeOuter(-1, TwipsToPixelsY(twips));
}

void Form::Move(int left, int top, int width, int height) {
    setLeft(left);
    setTop(top);
    if (width >= 0) setWidth(width);
    if (height >= 0) setHeight(height);
}

void Form::resizeOuter(int widthPx, int heightPx) {
    // Qt sizes the client area; the frame (none before the first show and
    // none without a window manager) comes on top.
    const QSize extra = frameGeometry().size() - size();
    QSize s = size();
    if (widthPx >= 0) s.setWidth(std::max(0, widthPx - extra.width()));
    if (heightPx >= 0) s.setHeight(std::max(0, heightPx - extra.height()));
    if (fixedBorder_) setFixedSize(s);
    else resize(s);
}

int Form::ScaleWidth() const { return PixelsToTwipsX(width()); }
int Form::ScaleHeight() const { return PixelsToTwipsY(height() - clientOriginY(this)); }

QMenuBar* Form::MenuBar() {
    if (!menuBar_) {
        menuBar_ = new QMenuBar(this);
        menuBar_->setNativeMenuBar(false);
        menuBar_->setGeometry(0, 0, width(), menuBar_->sizeHint().height());
        menuBar_->show();
    }
    return menuBar_;
}

int Form::clientOriginY(const QWidget* container) {
    auto* f = qobject_cast<const Form*>(container);
    if (!f || !f->menuBar_ || f->menuBar_->isHidden()) return 0;
    return f->menuBar_->sizeHint().height();
}

void Form::setKeyboardOrder(std::initializer_list<QWidget*> order) {
    QWidget* prev = nullptr;
    for (QWidget* w : order) {
        if (prev && w) QWidget::setTabOrder(prev, w);
        if (w) prev = w;
    }
    // The first of them is where the window starts when it first shows.
    for (QWidget* w : order)
        if (w) {
            w->window()->setProperty(kFirstControlProperty, QVariant::fromValue<QObject*>(w));
            break;
        }
}

void Form::setClientSize(int widthTwips, int heightTwips) {
    const QSize s(TwipsToPixelsX(widthTwips), TwipsToPixelsY(heightTwips));
    clientSizeRequested_ = true;
    const QSize extra = frameGeometry().size() - size();
    reqWidth_ = PixelsToTwipsX(s.width() + extra.width());
    reqHeight_ = PixelsToTwipsY(s.height() + extra.height());
    if (fixedBorder_) setFixedSize(s);
    else resize(s);
}

void Form::setFixedBorder() {
    fixedBorder_ = true;
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(size());
}

void Form::CenterOnScreen() {
    QScreen* s = screen();
    if (!s) s = QGuiApplication::primaryScreen();
    if (!s) return;
    const QRect avail = s->availableGeometry();
    const int w = TwipsToPixelsX(Width());
    const int h = TwipsToPixelsY(Height());
    setLeft(PixelsToTwipsX(avail.x() + (avail.width() - w) / 2));
    setTop(PixelsToTwipsY(avail.y() + (avail.height() - h) / 2));
}

int Form::WindowState() const {
    if (isMinimized()) return vbMinimized;
    if (isMaximized()) return vbMaximized;
    return vbNormal;
}

void Form::setWindowState(int state) {
    Qt::WindowStates s = windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen);
    if (state == vbMinimized) s |= Qt::WindowMinimized;
    else if (state == vbMaximized) s |= Qt::WindowMaximized;
    QWidget::setWindowState(s);
}

void Form::Refresh() {
    if (isVisible()) repaint();
    else update();
}

// ---- events -------------------------------------------------------------------

void Form::callResize() {
    if (IsLoaded()) guarded([this] { Form_Resize(); });
}

bool Form::event(QEvent* e) {
    // The close box: what is typed into an open cell counts before any close
    // handler of the window looks at it.
    if (e->type() == QEvent::Close && IsLoaded()) commitOpenEdits();
    return QWidget::event(e);
}

void Form::closeEvent(QCloseEvent* e) {
    // The close box unloads; Form_QueryUnload may keep the window.
    e->ignore();
    if (IsLoaded()) unloadAs(vbFormControlMenu);
}

namespace {
// The button of window w a dialog key presses, or nullptr.
QAbstractButton* dialogButton(QWidget* w, bool cancel) {
    auto usable = [w](QAbstractButton* b) { return b->window() == w && b->isVisibleTo(w) && b->isEnabled(); };
    if (!cancel) {
        auto* focused = qobject_cast<QAbstractButton*>(QApplication::focusWidget());
        if (focused && (qobject_cast<QPushButton*>(focused) || qobject_cast<QToolButton*>(focused)) && usable(focused))
            return focused;
    }
    for (QAbstractButton* b : w->findChildren<QAbstractButton*>()) {
        if (!usable(b)) continue;
        if (cancel ? b->property(Form::kCancelProperty).toBool()
                   : qobject_cast<QPushButton*>(b) && static_cast<QPushButton*>(b)->isDefault())
            return b;
    }
    return nullptr;
}
} // namespace

void Form::keyPressEvent(QKeyEvent* e) {
    const int k = e->key();
    const bool plain = !(e->modifiers() & ~Qt::KeypadModifier);
    if (plain && IsLoaded() && (k == Qt::Key_Escape || k == Qt::Key_Return || k == Qt::Key_Enter)) {
        const bool cancel = k == Qt::Key_Escape;
        if (QAbstractButton* b = dialogButton(this, cancel)) {
            e->accept();
            b->click();
            return;
        }
        if (cancel && fixedBorder_) {
            e->accept();
            unloadAs(vbFormControlMenu);
            return;
        }
    }
    QWidget::keyPressEvent(e);
}

void Form::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    if (menuBar_) menuBar_->setGeometry(0, 0, width(), menuBar_->sizeHint().height());
    callResize();
}

void Form::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    if (e->type() == QEvent::WindowStateChange) {
        callResize();
    } else if (e->type() == QEvent::ActivationChange) {
        // Only a change of program window counts: the return from a message
        // box or another application leaves the last active window as it was.
        if (isActiveWindow() && IsLoaded() && !FocusEventsSuppressed() && g_lastActive != this) {
            g_lastActive = this;
            guarded([this] { Form_Activate(); });
            if (IsLoaded()) guarded([this] { Form_GotFocus(); });
        }
    }
}

void Form::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (shownOnce_) return;
    shownOnce_ = true;
    // A window manager adds its frame some time after mapping; until then
    // the frame is the client area. Wait for it (a short while: without a
    // window manager none comes), then size and place the outer frame as asked.
    if (frameGeometry().size() != size() || QGuiApplication::platformName() == QLatin1String("offscreen")) {
        settleFrame();
        return;
    }
    auto* poll = new QTimer(this);
    poll->setInterval(20);
    auto tries = std::make_shared<int>(0);
    connect(poll, &QTimer::timeout, this, [this, poll, tries] {
        if (frameGeometry().size() == size() && ++*tries < 50) return;
        poll->stop();
        poll->deleteLater();
        settleFrame();
    });
    poll->start();
}

void Form::settleFrame() {
    if (frameKnown_ || !IsLoaded()) return;
    frameKnown_ = true;
    if (!clientSizeRequested_ && (reqWidth_ || reqHeight_))
        resizeOuter(reqWidth_ ? TwipsToPixelsX(*reqWidth_) : -1, reqHeight_ ? TwipsToPixelsY(*reqHeight_) : -1);
    const QPoint at(reqLeft_ ? TwipsToPixelsX(*reqLeft_) : frameGeometry().x(),
                    reqTop_ ? TwipsToPixelsY(*reqTop_) : frameGeometry().y());
    if ((reqLeft_ || reqTop_) && frameGeometry().topLeft() != at) move(at);
    keepOnScreen();
}

namespace {
// The screen whose available area is nearest to a rectangle's centre.
QScreen* nearestScreen(const QRect& r) {
    QScreen* best = QGuiApplication::primaryScreen();
    long bestDistance = -1;
    for (QScreen* s : QGuiApplication::screens()) {
        const QRect a = s->availableGeometry();
        const QPoint c = r.center();
        const long dx = c.x() < a.left() ? a.left() - c.x() : c.x() > a.right() ? c.x() - a.right() : 0;
        const long dy = c.y() < a.top() ? a.top() - c.y() : c.y() > a.bottom() ? c.y() - a.bottom() : 0;
        const long d = dx * dx + dy * dy;
        if (bestDistance < 0 || d < bestDistance) {
            best = s;
            bestDistance = d;
        }
    }
    return best;
}
} // namespace

void Form::keepOnScreen() {
    const QRect r = plannedFrame();
    QScreen* s = nearestScreen(r);
    if (!s) return;
    const QRect a = s->availableGeometry();
    const bool sizable = minimumSize() != maximumSize();
    if (sizable && r.width() > a.width()) setWidth(PixelsToTwipsX(a.width()));
    if (sizable && r.height() > a.height()) setHeight(PixelsToTwipsY(a.height()));
    const int w = std::min(r.width(), a.width()), h = std::min(r.height(), a.height());
    const int x = std::clamp(r.x(), a.left(), std::max(a.left(), a.right() + 1 - w));
    const int y = std::clamp(r.y(), a.top(), std::max(a.top(), a.bottom() + 1 - h));
    if (x != r.x()) setLeft(PixelsToTwipsX(x));
    if (y != r.y()) setTop(PixelsToTwipsY(y));
}

void Form::placeBeforeFirstShow() {
    // A window given no place opens centred over the window that opened it.
    if (!reqLeft_ && !reqTop_) {
        Form* opener = owner_ ? owner_.data() : g_lastActive.data();
        // An owner still loading (not on screen yet) counts where it will stand.
        if (opener && opener != this && (opener->isVisible() || opener == owner_.data())) {
            const QRect o = opener->plannedFrame();
            const QSize mine = frameGeometry().size();
            setLeft(PixelsToTwipsX(o.center().x() - mine.width() / 2));
            setTop(PixelsToTwipsY(o.center().y() - mine.height() / 2));
        }
    }
    keepOnScreen();
}

// Before the first show (and until the frame is known), as asked.
QRect Form::plannedFrame() const {
    if (frameKnown_) return frameGeometry();
    QRect r = frameGeometry();
    if (reqLeft_) r.moveLeft(TwipsToPixelsX(*reqLeft_));
    if (reqTop_) r.moveTop(TwipsToPixelsY(*reqTop_));
    if (reqWidth_) r.setWidth(TwipsToPixelsX(*reqWidth_));
    if (reqHeight_) r.setHeight(TwipsToPixelsY(*reqHeight_));
    return r;
}

void Form::hideEvent(QHideEvent* e) {
    QWidget::hideEvent(e);
    emit closedOrHidden();
    requestProcessEndCheck();
}

// ---- process end ----------------------------------------------------------------

bool Form::messageLoopRunning() { return g_process.mainLoop != nullptr; }

void Form::setTerminateHandler(std::function<void()> handler) { g_process.terminate = std::move(handler); }

void Form::requestProcessEndCheck() {
    if (!g_process.mainLoop || g_process.checkQueued) return;
    g_process.checkQueued = true;
    QTimer::singleShot(0, g_process.mainLoop, [] {
        g_process.checkQueued = false;
        processEndCheck();
    });
}

void Form::processEndCheck() {
    if (!g_process.mainLoop) return;
    // Only from the main loop itself: a load, DoEvents, a modal window or a
    // message box may be between hiding one window and showing the next.
    if (g_loadDepth > 0 || DoEventsDepth() > 0 || QThread::currentThread()->loopLevel() > 1) {
        if (!g_process.checkQueued) {
            g_process.checkQueued = true;
            QTimer::singleShot(50, g_process.mainLoop, [] {
                g_process.checkQueued = false;
                processEndCheck();
            });
        }
        return;
    }
    for (Form* f : loadedForms())
        if (f->isVisible()) return;
    // Loaded but hidden windows do not keep the program alive. One that
    // refuses to go is shown, so the user can see to what keeps it.
    QList<QPointer<Form>> hidden;
    for (Form* f : loadedForms()) hidden << f;
    for (auto it = hidden.rbegin(); it != hidden.rend(); ++it) {
        if (!*it || !(*it)->IsLoaded()) continue;
        if (!(*it)->unloadAs(vbAppWindows)) {
            if (*it && (*it)->IsLoaded()) (*it)->Show();
            return;
        }
    }
    for (Form* f : loadedForms())
        if (f->isVisible()) return;   // an unload handler showed a window
    g_process.mainLoop->quit();
}

int Form::RunMessageLoop() {
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (app) app->setQuitOnLastWindowClosed(false);
    QEventLoop loop;
    g_process.mainLoop = &loop;
    g_process.checkQueued = false;
    requestProcessEndCheck();
    loop.exec();
    g_process.mainLoop = nullptr;
    g_process.checkQueued = false;
    // Runs once, after the loop: windows open until now still used what it releases.
    if (auto t = std::move(g_process.terminate)) {
        g_process.terminate = nullptr;
        guarded(t);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}

} // namespace forms
