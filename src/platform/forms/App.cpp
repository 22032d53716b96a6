#include "forms/App.h"
#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QThread>
#include "forms/Form.h"

namespace forms {
namespace {
std::function<QString()>& provider() {
    static std::function<QString()> p;
    return p;
}
int g_pointer = vbDefault;
int g_pumpDepth = 0;
}

QString AppPath() {
    if (provider()) return provider()();
    if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath();
    return QStringLiteral(".");
}

void setAppPathProvider(std::function<QString()> p) { provider() = std::move(p); }

void DoEvents() {
    if (!QCoreApplication::instance()) return;
    ++g_pumpDepth;
    QCoreApplication::processEvents();
    --g_pumpDepth;
}

int DoEventsDepth() { return g_pumpDepth; }

void WaitUntilActive(Form& window) {
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) return;
    QElapsedTimer waited;
    waited.start();
    while (window.isVisible() && !window.isActiveWindow() && waited.elapsed() < 1000) {
        DoEvents();
        QThread::msleep(10);
    }
}

void SetMousePointer(int pointer) {
    if (pointer == g_pointer) return;
    const bool hadOverride = g_pointer != vbDefault;
    g_pointer = pointer;
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return;
    if (hadOverride) QApplication::restoreOverrideCursor();
    if (pointer == vbHourglass) QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

int MousePointer() { return g_pointer; }

} // namespace forms
