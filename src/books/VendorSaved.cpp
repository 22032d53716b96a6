#include "books/VendorSaved.h"
#include "books/Vendors.h"

VendorSaved::VendorSaved() {
    setCaption(QStringLiteral("Save Vendor"));
    setFixedBorder();
    setClientSize(3600, 900);
    Label1.setCaption(QStringLiteral("Vendor Saved Successfully!"));
    Label1.setAlignment(2);
    Label1.Move(120, 300, 3360, 300);
    Timer1.setInterval(1500);
    Timer1.OnTimer = [this] { Timer1_Timer(); };
    CenterOnScreen();
}

void VendorSaved::Form_Load() {
    // The notice stays 1.5 seconds from the moment it loads.
    Timer1.setEnabled(true);
}

void VendorSaved::Timer1_Timer() {
    Timer1.setEnabled(false);
    forms::Form::Unload(this);
    // The editor underneath paints what the save left in its boxes.
    if (forms::Form::isLoaded<Vendors>()) forms::Form::get<Vendors>().Refresh();
}
