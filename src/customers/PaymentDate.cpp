#include "customers/PaymentDate.h"
#include <algorithm>
#include <utility>
#include "customers/Receipts.h"
#include "data/Globals.h"
#include "vb/Conv.h"
#include "vb/ErrorTrap.h"

namespace {

QString label(const char* proc) { return QStringLiteral("PaymentDate.") + QString::fromLatin1(proc) + QStringLiteral(" -"); }

PaymentDate::RegisterWindow& registerWindow() {
    static PaymentDate::RegisterWindow w;
    return w;
}

bool forReceipts() { return Globals::DateCaller == QLatin1String("Receipts"); }

bool registerLoaded() {
    const auto& w = registerWindow();
    return w.isLoaded && w.isLoaded();
}

constexpr int kReceiptsDateCol = 3;
constexpr int kRegisterDateCol = 2;

} // namespace

void PaymentDate::ServeRegister(RegisterWindow w) { registerWindow() = std::move(w); }

PaymentDate::PaymentDate() {
    setCaption(QStringLiteral("Select Date..."));
    setFixedBorder();
    // The calendar at the size it asks for, the button centred below it.
    const QSize hint = PayDate.sizeHint();
    const int calW = std::max(3600, hint.width() * 15);
    const int calH = std::max(2700, hint.height() * 15);
    PayDate.Move(60, 60, calW, calH);
    Command1.setCaption(QStringLiteral("&Cancel"));
    Command1.setCancel(true);
    Command1.Move(60 + (calW - 1215) / 2, 60 + calH + 90, 1215, 375);
    setClientSize(calW + 120, calH + 60 + 90 + 375 + 90);

    PayDate.DateClick = [this](const vb::Date& d) { PayDate_DateClick(d); };
    PayDate.KeyDown = [this](int code, int shift) { PayDate_KeyDown(code, shift); };
    Command1.Click = [this] { Command1_Click(); };
}

QPoint PaymentDate::PlaceBesideCell(int callerLeft, int callerTop, int callerHeight, int gridLeft, int gridTop,
                                    int cellLeft, int cellTop, int cellWidth, int popupHeight) {
    const int left = callerLeft + gridLeft + cellLeft + cellWidth;
    const int bottom = callerTop + gridTop + cellTop + popupHeight;
    int top;
    if (bottom < callerTop) top = callerTop;
    else if (bottom > callerTop + callerHeight) top = callerTop + callerHeight - popupHeight;
    else top = callerTop + gridTop + cellTop;
    return QPoint(left, top);
}

void PaymentDate::Form_Load() {
    vb::Trap(label("Form_Load"), [&] {
        // Placing by a caller that is not open would open it.
        if (forReceipts()) {
            if (forms::Form::isLoaded<Receipts>()) {
                const Receipts& r = forms::Form::get<Receipts>();
                setLeft(r.Left());
                setTop(r.Top());
            }
        } else if (registerLoaded()) {
            const auto& reg = registerWindow();
            const forms::Form& gl = reg.window();
            const controls::FlexGrid& g = reg.grid();
            const QPoint at = PlaceBesideCell(gl.Left(), gl.Top(), gl.Height(), g.Left(), g.Top(), g.CellLeft(),
                                              g.CellTop(), g.CellWidth(), Height());
            setLeft(at.x());
            setTop(at.y());
        }
        PayDate.setValue(vb::Today());
    });
}

void PaymentDate::PayDate_DateClick(const vb::Date& DateClicked) {
    vb::Trap(label("PayDate_DateClick"), [&] {
        const QString text = vb::DateToText(DateClicked.datePart());
        if (forReceipts()) {
            // A register closed meanwhile is not brought back by writing into it.
            if (!forms::Form::isLoaded<Receipts>()) {
                forms::Form::Unload(this);
                return;
            }
            Globals::DatePicked = true;
            controls::FlexGrid& g = forms::Form::get<Receipts>().PaymentList;
            g.setTextMatrix(g.Row(), kReceiptsDateCol, text);
            // Unloading gives the grid its focus back, and with it the replay
            // of this pick; the handler runs on after it.
            forms::Form::Unload(this);
            Globals::RowChanged = true;
        } else {
            if (!registerLoaded()) {
                forms::Form::Unload(this);
                return;
            }
            Globals::DatePicked = true;
            controls::FlexGrid& g = registerWindow().grid();
            g.setTextMatrix(g.Row(), kRegisterDateCol, text);
            Globals::RowChanged = true;
            forms::Form::Unload(this);
        }
    });
}

void PaymentDate::PayDate_KeyDown(int KeyCode, int /*Shift*/) {
    vb::Trap(label("PayDate_KeyDown"), [&] {
        if (KeyCode == 13) PayDate_DateClick(PayDate.Value());
        else if (KeyCode == 27) forms::Form::Unload(this);
    });
}

void PaymentDate::Command1_Click() { forms::Form::Unload(this); }
