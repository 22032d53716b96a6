#pragma once
// The splash shown while the main window loads the shared lists.
#include "controls/Label.h"
#include "forms/Form.h"

class intro : public forms::Form {
    Q_OBJECT
public:
    intro();
    controls::Label imgLogo{this};
    controls::Label lblTitle{this};
    controls::Label lblVersion{this};
    controls::Label lblProcess{this};
    void Form_Load() override;
};

// The splash and the About box place the main window from the settings file.
void PlaceMainWindowFromSettings();
// The picture, product name and version that the splash and the About box
// both show, laid out on window w.
void LayOutProductLabels(forms::Form& w, controls::Label& logo, controls::Label& title, controls::Label& version);
