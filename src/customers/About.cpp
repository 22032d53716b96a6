#include "customers/About.h"
#include <QFont>
#include "customers/intro.h"
#include "vb/ErrorTrap.h"

About::About() {
    setCaption(QStringLiteral("About Vantrels"));
    setFixedBorder();
    setClientSize(5400, 2400);
    imgLogo.setPixmap(ProductPicture(64));
    imgLogo.Move(300, 300, 1000, 1000);
    lblTitle.setCaption(QStringLiteral("Vantrel"));
    QFont f = lblTitle.font();
    f.setPointSize(18);
    f.setBold(true);
    lblTitle.setFont(f);
    lblTitle.Move(1500, 300, 3600, 600);
    lblVersion.setCaption(QStringLiteral("Version 1.1"));
    lblVersion.Move(1500, 900, 3600, 300);
    Command1.Move(4000, 1800, 1100, 400);
    Command1.Click = [this] { Command1_Click(); };
    CenterOnScreen();
}

void About::Form_Load() {
    // Opening the About box puts the main window back where it was saved.
    vb::Trap(QStringLiteral("Intro.Form_Load -"), [] { PlaceMainWindowFromSettings(); });
}

void About::Command1_Click() { forms::Form::Unload(this); }
