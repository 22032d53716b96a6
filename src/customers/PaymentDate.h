#pragma once
// The date picker: a month calendar that writes the picked date into the
// current row of the grid named by DateCaller, raises DatePicked and
// RowChanged, and closes. "Receipts" is the payments register (date column
// 3); any other caller is the payment and deposit register (date column 2),
// whose window lives in another part of the program and tells the picker
// how to reach it through ServeRegister.
#include <functional>
#include <QPoint>
#include "controls/Buttons.h"
#include "controls/DatePicker.h"
#include "controls/FlexGrid.h"
#include "forms/Form.h"
#include "vb/Date.h"

class PaymentDate : public forms::Form {
    Q_OBJECT
public:
    PaymentDate();

    controls::MonthView PayDate{this};
    controls::CommandButton Command1{this};

    void Form_Load() override;
    void PayDate_DateClick(const vb::Date& DateClicked);
    void PayDate_KeyDown(int KeyCode, int Shift);
    void Command1_Click();

    // How the picker reaches the payment and deposit register.
    struct RegisterWindow {
        std::function<bool()> isLoaded;               // never loads it
        std::function<forms::Form&()> window;         // its default instance
        std::function<controls::FlexGrid&()> grid;    // its grid (PaymentList)
    };
    static void ServeRegister(RegisterWindow w);
    // The register window calls ServeRegister<GL>() once (its constructor
    // will do), naming its grid member.
    template <class T>
    static void ServeRegister(controls::FlexGrid T::*grid = &T::PaymentList) {
        ServeRegister(RegisterWindow{
            [] { return forms::Form::isLoaded<T>(); },
            []() -> forms::Form& { return forms::Form::get<T>(); },
            [grid]() -> controls::FlexGrid& { return forms::Form::get<T>().*grid; },
        });
    }

    // Where the picker opens for the register, in twips: right of the
    // current cell, level with it, but moved up so its bottom stays within
    // the register's bottom edge (and never above the register's top).
    // caller*: the register's outer frame; grid*: its grid in the register;
    // cell*: the current cell in the grid.
    static QPoint PlaceBesideCell(int callerLeft, int callerTop, int callerHeight, int gridLeft, int gridTop,
                                  int cellLeft, int cellTop, int cellWidth, int popupHeight);
};
