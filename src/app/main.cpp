// Vantrel: starts the main window on the data file in the program folder.
#include <QApplication>
#include <QMessageBox>
#include "forms/App.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Vantrel"));
    // The main window arrives with the window runtime; until then say so.
    QMessageBox::information(nullptr, QStringLiteral("Vantrels"),
                             QStringLiteral("The data file is ready in ") + forms::AppPath() +
                                 QStringLiteral(". The main window is not built yet."));
    return 0;
}
