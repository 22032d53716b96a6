// The simple controls: the events windows count on and the values they hold.
#include <gtest/gtest.h>
#include <QImage>
#include <QLineEdit>
#include <QSet>
#include <QStringList>
#include <QTest>
#include "controls/Buttons.h"
#include "controls/ComboBox.h"
#include "controls/DatePicker.h"
#include "controls/Frame.h"
#include "controls/Label.h"
#include "controls/MaskedEdit.h"
#include "controls/Pictures.h"
#include "controls/Menu.h"
#include "controls/StatusBar.h"
#include "controls/TabStrip.h"
#include "controls/TextBox.h"
#include "forms/Form.h"
#include "support/FormDriver.h"
#include "support/TestEnv.h"
#include "vb/MsgBox.h"
#include "vb/RuntimeError.h"

using forms::Form;
using namespace testsupport;

namespace {

class Host : public Form {
public:
    controls::TextBox txt{this};
    controls::ComboBox cmbEdit{this, controls::ComboBox::DropDownCombo};
    controls::ComboBox cmbList{this, controls::ComboBox::DropDownList};
    controls::MaskedEdit txtDate{this};
    controls::DatePicker dtp{this};
    controls::MonthView mv{this};
    controls::Label lbl{this};
    controls::StatusBar StatusBar1{this};
    controls::TabStrip tabs{this};
    controls::Frame fraSame{QStringLiteral("Same as"), this};
    controls::OptionButton optCust{QStringLiteral("Client"), &fraSame};
    controls::OptionButton optBill{QStringLiteral("Billing"), &fraSame};
    controls::MenuItem mnuFile{MenuBar(), QStringLiteral("&File")};
    controls::MenuItem mnuSetup{mnuFile, QStringLiteral("&Setup")};
    Host() {
        resize(600, 400);
        fraSame.Move(0, 3000, 3000, 1000);
        optCust.Move(100, 300, 1200, 300);
        optBill.Move(1400, 300, 1200, 300);
    }
};

class Controls : public ::testing::Test {
protected:
    FormsReset reset;
    Host& w = Form::get<Host>();
    QStringList events;
    void SetUp() override { w.Show(); }
    std::function<void()> log(const char* what) {
        return [this, what] { events << QString::fromLatin1(what); };
    }
};

TEST_F(Controls, TextBoxChangeOnTypingPasteAndCodeWritesThatChangeTheText) {
    w.txt.Change = log("Change");
    w.txt.setText(QStringLiteral("abc"));
    w.txt.setText(QStringLiteral("abc"));      // same text: none
    type(w.txt, QStringLiteral("d"));
    w.txt.lineEdit()->selectAll();
    w.txt.lineEdit()->insert(QStringLiteral("pasted"));
    w.txt.setText(QString());
    EXPECT_EQ(events.size(), 4);
    EXPECT_EQ(w.txt.Text(), QString());
}

// A character no text column keeps is refused where it is pasted or typed,
// naming the box by its label; code writes (data read back) are not checked.
TEST_F(Controls, TextBoxRefusesNulAndHalfSurrogatePairsNamingItsLabel) {
    ScriptedMsgBox boxes;
    w.lbl.setCaption(QStringLiteral("&First:"));
    w.lbl.Move(0, 0, 900, 300);
    w.txt.Move(1000, 0, 2000, 300);
    w.txt.setText(QStringLiteral("Ann"));
    const QChar high(char16_t(0xD83D)), low(char16_t(0xDE00));
    for (const QString& bad : {QString(QChar(0)), QString(high), QString(low)}) {
        boxes.expect(vb::vbOK, QStringLiteral("First holds a character that cannot be stored."));
        w.txt.lineEdit()->insert(bad);
        EXPECT_EQ(w.txt.Text(), QStringLiteral("Ann"));
    }
    w.txt.lineEdit()->insert(QString(high) + low);   // a whole pair is one character
    EXPECT_EQ(w.txt.Text(), QStringLiteral("Ann") + high + low);
}

TEST_F(Controls, TextBoxLockedMaxLengthAndKeyPress) {
    w.txt.Change = log("Change");
    w.txt.setMaxLength(3);
    type(w.txt, QStringLiteral("abcdef"));
    EXPECT_EQ(w.txt.Text(), QStringLiteral("abc"));
    w.txt.setText(QString());
    w.txt.setMaxLength(0);
    // Upper-cases what is typed and drops digits.
    w.txt.KeyPress = [](int& k) {
        if (k >= '0' && k <= '9') k = 0;
        else if (k >= 'a' && k <= 'z') k -= 32;
    };
    type(w.txt, QStringLiteral("a1b2"));
    EXPECT_EQ(w.txt.Text(), QStringLiteral("AB"));
    w.txt.setLocked(true);
    type(w.txt, QStringLiteral("z"));
    EXPECT_EQ(w.txt.Text(), QStringLiteral("AB"));
    w.txt.setText(QStringLiteral("code"));   // code writes a locked box
    EXPECT_EQ(w.txt.Text(), QStringLiteral("code"));
}

TEST_F(Controls, MultiLineTextBoxKeepsItsTextAndRaisesChange) {
    w.txt.setText(QStringLiteral("one"));
    w.txt.setMultiLine(true);
    EXPECT_EQ(w.txt.Text(), QStringLiteral("one"));
    w.txt.Change = log("Change");
    w.txt.setText(QStringLiteral("one\ntwo"));
    EXPECT_EQ(w.txt.Text(), QStringLiteral("one\ntwo"));
    EXPECT_EQ(events.size(), 1);
}

TEST_F(Controls, ComboBoxClickAndChangeRules) {
    struct Step {
        const char* what;
        std::function<void(controls::ComboBox&)> act;
        QStringList expected;
        QString text;
        int listIndex;
    };
    const Step steps[] = {
        {"fill", [](controls::ComboBox& c) { c.AddItem("Cash"); c.AddItem("Check"); c.AddItem("Visa"); }, {}, "", -1},
        {"code ListIndex", [](controls::ComboBox& c) { c.setListIndex(1); }, {"Change", "Click"}, "Check", 1},
        {"same ListIndex", [](controls::ComboBox& c) { c.setListIndex(1); }, {}, "Check", 1},
        {"code Text in list", [](controls::ComboBox& c) { c.setText("Visa"); }, {"Change"}, "Visa", 2},
        {"code Text not in list", [](controls::ComboBox& c) { c.setText("Amex"); }, {"Change"}, "Amex", -1},
        {"user pick", [](controls::ComboBox& c) { c.Pick(0); }, {"Change", "Click"}, "Cash", 0},
        {"typing", [](controls::ComboBox& c) { type(c, "x"); }, {"Change"}, "Cashx", -1},
        {"clear keeps text", [](controls::ComboBox& c) { c.Clear(); }, {}, "Cashx", -1},
    };
    w.cmbEdit.Change = log("Change");
    w.cmbEdit.Click = log("Click");
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        events.clear();
        s.act(w.cmbEdit);
        EXPECT_EQ(events, s.expected);
        EXPECT_EQ(w.cmbEdit.Text(), s.text);
        EXPECT_EQ(w.cmbEdit.ListIndex(), s.listIndex);
    }
    EXPECT_EQ(w.cmbEdit.ListCount(), 0);
}

TEST_F(Controls, ComboBoxFirstItemAddedIsNotPickedAndTextKept) {
    w.cmbEdit.setText(QStringLiteral("Stored type"));
    w.cmbEdit.Change = log("Change");
    w.cmbEdit.AddItem(QStringLiteral("Cash"));
    w.cmbEdit.AddItem(QStringLiteral("Check"), 0);
    EXPECT_EQ(w.cmbEdit.Text(), QStringLiteral("Stored type"));
    EXPECT_EQ(w.cmbEdit.List(0), QStringLiteral("Check"));
    EXPECT_EQ(w.cmbEdit.List(5), QString());
    EXPECT_TRUE(events.isEmpty());
}

TEST_F(Controls, DropDownListComboTakesOnlyItsItems) {
    w.cmbList.AddItem(QStringLiteral("Client"));
    w.cmbList.AddItem(QStringLiteral("All Clients"));
    EXPECT_EQ(w.cmbList.ListIndex(), -1);
    EXPECT_EQ(w.cmbList.Text(), QString());
    w.cmbList.Click = log("Click");
    w.cmbList.setText(QStringLiteral("All Clients"));
    EXPECT_EQ(w.cmbList.ListIndex(), 1);
    EXPECT_TRUE(events.isEmpty());
    EXPECT_THROW(w.cmbList.setText(QStringLiteral("Nobody")), vb::RuntimeError);
    EXPECT_THROW(w.cmbList.setListIndex(2), vb::RuntimeError);
}

TEST_F(Controls, MaskedEditHoldsLiteralsAndBlanks) {
    controls::MaskedEdit& m = w.txtDate;
    EXPECT_EQ(m.Text(), QStringLiteral("__/__/__"));
    m.Change = log("Change");
    m.setCursorPosition(0);
    type(m, QStringLiteral("12a3"));   // the letter is refused
    EXPECT_EQ(m.Text(), QStringLiteral("12/3_/__"));
    EXPECT_EQ(m.ClipText(), QStringLiteral("123"));
    EXPECT_GE(events.size(), 1);
    m.setText(QStringLiteral("01/02/25"));
    EXPECT_EQ(m.Text(), QStringLiteral("01/02/25"));
    m.setText(QString());
    EXPECT_EQ(m.Text(), QStringLiteral("__/__/__"));
}

TEST_F(Controls, MaskedEditReadsMonthDayYearOrFails) {
    struct Case {
        const char* text;
        bool ok;
        int y, m, d;
    };
    // Today pinned to 15 March 2030: two-digit years run from 1950 to 2049.
    PinnedClock clock(QDateTime(QDate(2030, 3, 15), QTime(9, 5)));
    const Case cases[] = {
        {"01/02/25", true, 2025, 1, 2},   // 2 January, whatever the locale
        {"12/31/29", true, 2029, 12, 31},
        {"03/15/30", true, 2030, 3, 15},
        {"12/31/49", true, 2049, 12, 31},
        {"01/01/50", true, 1950, 1, 1},
        {"02/29/24", true, 2024, 2, 29},
        {"02/29/25", false, 0, 0, 0},     // no such day
        {"13/01/25", false, 0, 0, 0},
        {"12/3_/__", false, 0, 0, 0},     // incomplete: never completed for the user
        {"__/__/__", false, 0, 0, 0},
    };
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));   // day first
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        w.txtDate.setText(QString::fromLatin1(c.text));
        if (c.ok) {
            const vb::Date d = w.txtDate.DateValue();
            EXPECT_EQ(d.year(), c.y);
            EXPECT_EQ(d.month(), c.m);
            EXPECT_EQ(d.day(), c.d);
        } else {
            try {
                w.txtDate.DateValue();
                ADD_FAILURE() << "no error";
            } catch (const vb::RuntimeError& e) {
                EXPECT_EQ(e.Number(), 13);
            }
        }
    }
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

TEST_F(Controls, DatePickerChangeOnUserPickOnly) {
    w.dtp.Change = log("Change");
    w.dtp.setValue(vb::Date::fromYmd(2025, 3, 4));
    EXPECT_TRUE(events.isEmpty());
    EXPECT_EQ(w.dtp.Value(), vb::Date::fromYmd(2025, 3, 4));
    w.dtp.Pick(vb::Date::fromYmd(2025, 3, 5));
    EXPECT_EQ(events, QStringList{"Change"});
}

TEST_F(Controls, MonthViewOpensOnTodayAndRaisesDateClickAndKeyDown) {
    PinnedClock clock(QDateTime(QDate(2026, 5, 6), QTime(9, 5)));
    controls::MonthView mv(&w);
    EXPECT_EQ(mv.Value(), vb::Date::fromYmd(2026, 5, 6));
    vb::Date clicked;
    QList<int> keys;
    mv.DateClick = [&](const vb::Date& d) { clicked = d; };
    mv.KeyDown = [&](int k, int) { keys << k; };
    mv.ClickDate(vb::Date::fromYmd(2026, 5, 20));
    EXPECT_EQ(clicked, vb::Date::fromYmd(2026, 5, 20));
    EXPECT_EQ(mv.Value(), vb::Date::fromYmd(2026, 5, 20));
    QWidget* table = mv.focusProxy() ? mv.focusProxy() : &mv;
    QTest::keyClick(table, Qt::Key_Return);
    QTest::keyClick(table, Qt::Key_Escape);
    QTest::keyClick(&mv, Qt::Key_Enter);
    EXPECT_EQ(keys, (QList<int>{13, 27, 13}));
}

TEST_F(Controls, LabelColoursAndCaption) {
    w.lbl.setCaption(QStringLiteral("<b>$1.00</b> & more"));
    EXPECT_EQ(w.lbl.Caption(), QStringLiteral("<b>$1.00</b> & more"));
    EXPECT_EQ(w.lbl.textFormat(), Qt::PlainText);
    w.lbl.setForeColor(255);
    EXPECT_EQ(w.lbl.palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(w.lbl.ForeColor(), 255);
    w.lbl.setForeColor(0);
    EXPECT_EQ(w.lbl.palette().color(QPalette::WindowText), QColor(0, 0, 0));
}

TEST_F(Controls, StatusBarPanelsNumberedFromOne) {
    auto panels = w.StatusBar1.Panels();
    panels.Clear();
    panels.Add().setWidth(3500);
    panels.Add().setWidth(1500);
    w.StatusBar1.Panels(1).setText(QStringLiteral("Wednesday, May 6, 2026   09:05 AM"));
    w.StatusBar1.Panels(2).setText(QStringLiteral("3 Clients"));
    EXPECT_EQ(panels.Count(), 2);
    EXPECT_EQ(w.StatusBar1.Panels(2).Text(), QStringLiteral("3 Clients"));
    EXPECT_EQ(w.StatusBar1.Panels(1).Width(), 3500);
    EXPECT_EQ(w.StatusBar1.Panels(1).label()->width(), 233);   // 233.3 pixels, rounded
    EXPECT_THROW(w.StatusBar1.Panels(0), vb::RuntimeError);
    EXPECT_THROW(w.StatusBar1.Panels(3), vb::RuntimeError);
    // On a bar narrower than its panels, each keeps its place and width: the
    // second starts after the first instead of being drawn over it.
    w.StatusBar1.resize(150, w.StatusBar1.height());
    auto* p1 = w.StatusBar1.Panels(1).label();
    auto* p2 = w.StatusBar1.Panels(2).label();
    EXPECT_EQ(p1->width(), 233);
    EXPECT_GE(p2->x(), p1->x() + p1->width());
    w.StatusBar1.resize(w.width(), w.StatusBar1.height());
    panels.Clear();
    EXPECT_EQ(panels.Count(), 0);
    // Docked along the bottom, the full width of its window.
    EXPECT_EQ(w.StatusBar1.geometry().bottom(), w.height() - 1);
    EXPECT_EQ(w.StatusBar1.width(), w.width());
}

TEST_F(Controls, TabStripOpensAtTheFirstTab) {
    Host& h = w;
    Form::Unload(h);
    pump();
    Host& fresh = Form::get<Host>();
    fresh.tabs.AddTab(QStringLiteral("Client"));
    fresh.tabs.AddTab(QStringLiteral("Billing"));
    fresh.tabs.AddTab(QStringLiteral("Shipping"));
    fresh.tabs.setTab(2);
    fresh.Show();
    EXPECT_EQ(fresh.tabs.Tab(), 0);
    EXPECT_EQ(fresh.tabs.TabCaption(1), QStringLiteral("Billing"));
    EXPECT_NE(fresh.tabs.Page(1), nullptr);
    EXPECT_THROW(fresh.tabs.Page(3), vb::RuntimeError);
}

TEST_F(Controls, OptionButtonsExclusiveInTheirFrame) {
    w.optCust.Click = log("Cust.Click");
    w.optCust.setValue(true);
    w.optBill.setValue(true);
    EXPECT_FALSE(w.optCust.Value());
    EXPECT_TRUE(w.optBill.Value());
    EXPECT_EQ(events, QStringList{"Cust.Click"});
}

TEST_F(Controls, MenuItemsRunTheirCommandWhenEnabled) {
    w.mnuSetup.Click = log("Setup");
    click(w.mnuSetup);
    w.mnuSetup.setEnabled(false);
    click(w.mnuSetup);
    EXPECT_EQ(events, QStringList{"Setup"});
    EXPECT_EQ(w.mnuFile.Caption(), QStringLiteral("&File"));
    // Coordinates of controls start below the menu bar.
    w.lbl.Move(0, 0);
    EXPECT_EQ(w.lbl.Top(), 0);
    EXPECT_GT(w.lbl.y(), 0);
}

TEST_F(Controls, HandlerErrorsShowTheReportInsteadOfEscaping) {
    ScriptedMsgBox boxes;
    boxes.expect(vb::vbOK);
    w.txt.Change = [] { throw vb::RuntimeError(13); };
    w.txt.setText(QStringLiteral("x"));   // no exception comes back
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_TRUE(boxes.lastPrompt().contains(QStringLiteral("If error persists contact Vantrels author.")));
}

// Every command's picture comes from the icon theme by its own name and
// looks unlike every other command's: two names that draw the same shape
// would mislead as much as one shared name.
TEST_F(Controls, EachCommandHasItsOwnPictureFromTheTheme) {
    QSet<QString> names;
    QList<QImage> drawn;
    for (const controls::Picture* p : controls::pictures::All) {
        const QString name = QString::fromLatin1(p->themeName);
        SCOPED_TRACE(p->command);
        EXPECT_FALSE(names.contains(name)) << "picture shared: " << p->themeName;
        names.insert(name);
        const QIcon icon = controls::PictureIcon(*p);
        EXPECT_EQ(icon.name(), name) << "not found in the icon theme";
        const QImage image = icon.pixmap(22, 22).toImage();
        ASSERT_FALSE(image.isNull());
        for (qsizetype i = 0; i < drawn.size(); ++i)
            EXPECT_NE(image, drawn[i]) << "looks like " << controls::pictures::All[i]->command;
        drawn << image;
    }
    // A name no theme has falls back to the style's own picture.
    const controls::Picture unknown{"none", "no-such-icon-anywhere", QStyle::SP_TrashIcon};
    const QIcon fallback = controls::PictureIcon(unknown);
    EXPECT_FALSE(fallback.isNull());
}

} // namespace
