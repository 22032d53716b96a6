#include "customers/intro.h"
#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include "customers/Customer.h"
#include "data/Globals.h"
#include "forms/App.h"
#include "vb/Conv.h"
#include "vb/ErrorTrap.h"

static QPixmap ProductPicture(int sizePx) {
    QPixmap pm(sizePx, sizePx);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, sizePx, sizePx);
    g.setColorAt(0, QColor(30, 90, 160));
    g.setColorAt(1, QColor(20, 50, 100));
    p.setBrush(g);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(2, 2, sizePx - 4, sizePx - 4), sizePx / 6.0, sizePx / 6.0);
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(sizePx * 6 / 10);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, sizePx, sizePx), Qt::AlignCenter, QStringLiteral("V"));
    return pm;
}

void PlaceMainWindowFromSettings() {
    Globals::IniPath = forms::AppPath() + QStringLiteral("\\Vantrel.ini");
    const Globals::WindowGeometry g = Globals::ReadWindowGeometry(QStringLiteral("Customer"), Globals::IniPath);
    auto& main = forms::Form::get<Customer>();
    main.setLeft(int(g.Left));
    main.setTop(int(g.Top));
    main.setWidth(int(g.Width));
    main.setHeight(int(g.Height));
}

void LayOutProductLabels(forms::Form& w, controls::Label& logo, controls::Label& title, controls::Label& version) {
    w.setFixedBorder();
    w.setClientSize(5400, 2400);
    logo.setPixmap(ProductPicture(64));
    logo.Move(300, 300, 1000, 1000);
    title.setCaption(QStringLiteral("Vantrel"));
    QFont f = title.font();
    f.setPointSize(18);
    f.setBold(true);
    title.setFont(f);
    title.Move(1500, 300, 3600, 600);
    version.setCaption(QStringLiteral("Version 1.1"));
    version.Move(1500, 900, 3600, 300);
    w.CenterOnScreen();
}

intro::intro() {
    setCaption(QStringLiteral("Loading..."));
    LayOutProductLabels(*this, imgLogo, lblTitle, lblVersion);
    lblProcess.Move(300, 1700, 4800, 300);
}

void intro::Form_Load() {
    vb::Trap(QStringLiteral("Intro.Form_Load -"), [] { PlaceMainWindowFromSettings(); });
}
