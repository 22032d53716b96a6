#include "printer/PreviewControl.h"
#include "controls/Pictures.h"
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScrollArea>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include "vb/MsgBox.h"

namespace printer {

namespace {
constexpr int kPaperGap = 16;   // pixels of grey around the paper
}

// Paints the page shown on grey, at the zoom, on the screen's own resolution.
class PreviewControl::Canvas : public QWidget {
public:
    explicit Canvas(PreviewControl* owner) : QWidget(nullptr), owner_(owner) {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }
    QSize paperSize() const {
        const double px = logicalDpiX() * owner_->Zoom() / 100.0;
        return QSize(qRound(owner_->PageWidth() * px), qRound(owner_->PageHeight() * px));
    }
    QSize sizeHint() const override { return paperSize() + QSize(2 * kPaperGap, 2 * kPaperGap); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), QColor(0x80, 0x80, 0x80));
        const QSize paper = paperSize();
        const int x = std::max(kPaperGap, (width() - paper.width()) / 2);
        const QRect r(x, kPaperGap, paper.width(), paper.height());
        p.fillRect(r.translated(3, 3), QColor(0x50, 0x50, 0x50));
        if (owner_->PageCount() > 0) owner_->RenderPage(p, owner_->PreviewPage(), r);
        else p.fillRect(r, Qt::white);
        p.setPen(QColor(0x40, 0x40, 0x40));
        p.drawRect(r.adjusted(0, 0, -1, -1));
    }

private:
    PreviewControl* owner_;
};

PreviewControl::PreviewControl(QWidget* parent) : QWidget(parent), Control(this) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    auto* bar = new QWidget(this);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(4, 2, 4, 2);
    auto tool = [&](const controls::Picture& picture, const QString& tip) {
        auto* b = new QToolButton(bar);
        b->setIcon(controls::PictureIcon(picture, style()));
        b->setToolTip(tip);
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        row->addWidget(b);
        return b;
    };
    prev_ = tool(controls::pictures::PreviousPage, tr("Previous Page"));
    pageLabel_ = new QLabel(bar);
    pageLabel_->setMinimumWidth(90);
    pageLabel_->setAlignment(Qt::AlignCenter);
    row->addWidget(pageLabel_);
    next_ = tool(controls::pictures::NextPage, tr("Next Page"));
    zoomBox_ = new QComboBox(bar);
    zoomBox_->setFocusPolicy(Qt::NoFocus);
    for (int z : {50, 75, 100, 125, 150, 200}) zoomBox_->addItem(QStringLiteral("%1%").arg(z), z);
    row->addWidget(zoomBox_);
    print_ = tool(controls::pictures::Print, tr("Print"));
    pdf_ = tool(controls::pictures::SavePdf, tr("Save as PDF"));
    // The right end stays free: the report windows put their exit button there.
    row->addStretch(1);
    outer->addWidget(bar);

    scroll_ = new QScrollArea(this);
    scroll_->setBackgroundRole(QPalette::Dark);
    scroll_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    canvas_ = new Canvas(this);
    scroll_->setWidget(canvas_);
    scroll_->setWidgetResizable(false);
    outer->addWidget(scroll_, 1);
    setFocusPolicy(Qt::StrongFocus);

    connect(prev_, &QToolButton::clicked, this, [this] { PreviousPage(); });
    connect(next_, &QToolButton::clicked, this, [this] { NextPage(); });
    connect(zoomBox_, &QComboBox::activated, this, [this](int i) { setZoom(zoomBox_->itemData(i).toInt()); });
    connect(print_, &QToolButton::clicked, this, [this] { PrintDoc(); });
    connect(pdf_, &QToolButton::clicked, this, [this] { SavePdfAs(); });
    refreshView();
}

PreviewControl::~PreviewControl() = default;

void PreviewControl::setPreviewPage(int page) {
    shownPage_ = std::clamp(page, 1, std::max(1, PageCount()));
    refreshView();
}

void PreviewControl::keyPressEvent(QKeyEvent* e) {
    switch (e->key()) {
    case Qt::Key_PageDown: NextPage(); break;
    case Qt::Key_PageUp: PreviousPage(); break;
    case Qt::Key_Home: setPreviewPage(1); break;
    case Qt::Key_End: setPreviewPage(PageCount()); break;
    default: QWidget::keyPressEvent(e); return;
    }
    e->accept();
}

void PreviewControl::documentChanged() {
    if (!canvas_) return;   // still constructing
    shownPage_ = std::clamp(shownPage_, 1, std::max(1, PageCount()));
    refreshView();
}

void PreviewControl::refreshView() {
    const int n = PageCount();
    pageLabel_->setText(n == 0 ? QString() : tr("Page %1 of %2").arg(shownPage_).arg(n));
    prev_->setEnabled(shownPage_ > 1);
    next_->setEnabled(shownPage_ < n);
    print_->setEnabled(n > 0);
    pdf_->setEnabled(n > 0);
    const int zi = zoomBox_->findData(qRound(Zoom()));
    if (zi >= 0) zoomBox_->setCurrentIndex(zi);
    else {
        zoomBox_->addItem(QStringLiteral("%1%").arg(qRound(Zoom())), qRound(Zoom()));
        zoomBox_->setCurrentIndex(zoomBox_->count() - 1);
    }
    canvas_->resize(canvas_->sizeHint());
    canvas_->update();
}

QList<int> PreviewControl::PrintSequence(int pageCount, int from, int to, int copies, bool collate) {
    QList<int> out;
    if (pageCount <= 0) return out;
    if (from <= 0 && to <= 0) {
        from = 1;
        to = pageCount;
    }
    from = std::max(from, 1);
    to = to <= 0 ? pageCount : std::min(to, pageCount);
    copies = std::max(copies, 1);
    if (collate) {
        for (int c = 0; c < copies; ++c)
            for (int p = from; p <= to; ++p) out.append(p);
    } else {
        for (int p = from; p <= to; ++p)
            for (int c = 0; c < copies; ++c) out.append(p);
    }
    return out;
}

void PreviewControl::PrintTo(QPrinter& printer) const {
    int from = 0, to = 0;
    switch (printer.printRange()) {
    case QPrinter::PageRange:
        from = printer.fromPage();
        to = printer.toPage();
        break;
    case QPrinter::CurrentPage:
        from = to = shownPage_;
        break;
    default:
        break;
    }
    // A printer that makes the copies itself gets each page once.
    const int copies = printer.supportsMultipleCopies() ? 1 : printer.copyCount();
    const QList<int> pages = PrintSequence(PageCount(), from, to, copies, printer.collateCopies());
    if (pages.isEmpty()) return;
    printer.setPageSize(QPageSize(QSizeF(PageWidth(), PageHeight()), QPageSize::Inch));
    printer.setFullPage(true);
    QPainter p(&printer);
    bool first = true;
    for (int page : pages) {
        if (!first) printer.newPage();
        first = false;
        const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
        RenderPage(p, page, QRectF(0, 0, paper.width(), paper.height()));
    }
}

void PreviewControl::PrintDoc() {
    if (PageCount() == 0) return;
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dlg(&printer, window());
    dlg.setMinMax(1, PageCount());
    dlg.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dlg.setOption(QAbstractPrintDialog::PrintCurrentPage, true);
    dlg.setOption(QAbstractPrintDialog::PrintCollateCopies, true);
    if (dlg.exec() == QDialog::Accepted) PrintTo(printer);
}

bool PreviewControl::SavePdf(const QString& path) const {
    QPdfWriter w(path);
    if (!w.setPageSize(QPageSize(QSizeF(PageWidth(), PageHeight()), QPageSize::Inch))) return false;
    w.setPageMargins(QMarginsF(0, 0, 0, 0));
    w.setResolution(600);
    QPainter p;
    if (!p.begin(&w)) return false;
    const QRectF page(0, 0, PageWidth() * 600, PageHeight() * 600);
    for (int i = 1; i <= std::max(1, PageCount()); ++i) {
        if (i > 1) w.newPage();
        if (PageCount() > 0) RenderPage(p, i, page);
    }
    return p.end();
}

void PreviewControl::SavePdfAs() {
    const QString path = QFileDialog::getSaveFileName(window(), tr("Save as PDF"), QString(), tr("PDF files (*.pdf)"));
    if (!path.isEmpty()) SavePdfTold(path);
}

bool PreviewControl::SavePdfTold(const QString& path) const {
    if (SavePdf(path)) return true;
    vb::MsgBox(QStringLiteral("The PDF file %1 could not be written.").arg(QDir::toNativeSeparators(path)), vb::vbOKOnly);
    return false;
}

} // namespace printer
