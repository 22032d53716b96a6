#include "customers/About.h"
#include "customers/intro.h"
#include "vb/ErrorTrap.h"

About::About() {
    setCaption(QStringLiteral("About Vantrels"));
    LayOutProductLabels(*this, imgLogo, lblTitle, lblVersion);
    Command1.Move(4000, 1800, 1100, 400);
    Command1.setDefault(true);
    Command1.setCancel(true);
    Command1.Click = [this] { Command1_Click(); };
}

void About::Form_Load() {
    // Opening the About box puts the main window back where it was saved.
    vb::Trap(QStringLiteral("Intro.Form_Load -"), [] { PlaceMainWindowFromSettings(); });
}

void About::Command1_Click() { forms::Form::Unload(this); }
