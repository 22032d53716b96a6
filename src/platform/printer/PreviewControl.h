#pragma once
// The preview control of the report windows: holds one PageDocument (its
// operations are the control's own: VSInvoice.StartDoc(), ...) and shows
// its pages, one at a time, at the document's zoom. Its tool row turns the
// pages, changes the zoom, prints through the print dialog and saves the
// document as PDF; the program itself never prints.
#include <QList>
#include <QString>
#include <QWidget>
#include "controls/Control.h"
#include "printer/PageDocument.h"

class QLabel;
class QScrollArea;
class QToolButton;
class QComboBox;
class QPrinter;
class QFile;

namespace printer {

class PreviewControl : public QWidget, public controls::Control, public PageDocument {
    Q_OBJECT
public:
    explicit PreviewControl(QWidget* parent = nullptr);
    ~PreviewControl() override;

    // The page shown, 1-based (clamped to the pages there are).
    int PreviewPage() const { return shownPage_; }
    void setPreviewPage(int page);
    void NextPage() { setPreviewPage(shownPage_ + 1); }
    void PreviousPage() { setPreviewPage(shownPage_ - 1); }

    // Prints onto printer the pages and copies it was set to (what the print
    // dialog's OK does): its page range or current page, its copy count
    // (unless the printer makes the copies itself) and collation.
    void PrintTo(QPrinter& printer) const;
    // The pages to print, in order: pages from..to (clamped to 1..pageCount;
    // 0 and 0 for all), copies times over, a whole set at a time when collated.
    static QList<int> PrintSequence(int pageCount, int from, int to, int copies, bool collate);
    // Opens the print dialog and prints on OK.
    void PrintDoc();
    // Writes the document as a PDF file, whole or not at all: into a
    // temporary file beside path, checked, then renamed over it; false when
    // anything failed, leaving no file behind (and an earlier one untouched).
    bool SavePdf(const QString& path) const;
    // Asks for a file name, offering SuggestedPdfPath, then SavePdfChosen.
    void SavePdfAs();
    // The folder last saved to (kept in the settings file) and the
    // document's name ("Invoice 1022.pdf").
    QString SuggestedPdfPath() const;
    // The name the user gave, ".pdf" added when it has none; saved and told,
    // the folder remembered when it was written.
    bool SavePdfChosen(const QString& typed) const;
    // SavePdf, telling "The PDF file <path> could not be written." when it fails.
    bool SavePdfTold(const QString& path) const;

protected:
    void documentChanged() override;
    // Page Down / Page Up turn the pages, Home and End go to the first and last.
    void keyPressEvent(QKeyEvent* e) override;

private:
    class Canvas;
    void refreshView();
    // Paints every page as PDF into file; false when a write failed.
    bool writePdf(QFile& file) const;

    QToolButton* prev_ = nullptr;
    QToolButton* next_ = nullptr;
    QLabel* pageLabel_ = nullptr;
    QComboBox* zoomBox_ = nullptr;
    QToolButton* print_ = nullptr;
    QToolButton* pdf_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    Canvas* canvas_ = nullptr;
    int shownPage_ = 1;
};

} // namespace printer
