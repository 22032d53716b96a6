// Vantrel: the main window is the start-up window; the process ends when the
// last window is gone.
#include <QApplication>
#include <QFont>
#include <QLocale>
#include "customers/Customer.h"
#include "forms/Form.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Vantrel"));
    // The windows are laid out in twips for a small dialog font; Liberation
    // Sans keeps Arial's metrics, so captions and columns fit as designed.
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSize(8);
    app.setFont(font);
    // Money and dates follow the system's locale; a machine with none set
    // (the C locale has no currency) gets the US forms the program was laid
    // out with.
    if (QLocale::system().language() == QLocale::C)
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    // Nothing outside the program folder: the program takes no arguments.
    forms::Form::setTerminateHandler([] { Customer::Form_Terminate(); });
    forms::Form::get<Customer>().Show();
    // A start that could not open the books (no data file) has said why.
    if (!forms::Form::isLoaded<Customer>()) return 1;
    return forms::Form::RunMessageLoop();
}
