#pragma once
// The notice shown after a vendor save. It closes itself on its timer's
// first tick, which ends its modal display and lets the save go on.
#include "controls/Label.h"
#include "forms/Form.h"
#include "forms/Timer.h"

class VendorSaved : public forms::Form {
    Q_OBJECT
public:
    VendorSaved();

    controls::Label Label1{this};
    forms::Timer Timer1{this};

    void Form_Load() override;
    void Timer1_Timer();
};
