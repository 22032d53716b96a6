#pragma once
// The About box.
#include "controls/Buttons.h"
#include "controls/Label.h"
#include "forms/Form.h"

class About : public forms::Form {
    Q_OBJECT
public:
    About();
    controls::Label imgLogo{this};
    controls::Label lblTitle{this};
    controls::Label lblVersion{this};
    controls::CommandButton Command1{QStringLiteral("&OK"), this};
    void Form_Load() override;
    void Command1_Click();
};
