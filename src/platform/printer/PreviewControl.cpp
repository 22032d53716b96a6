#include "printer/PreviewControl.h"
#include "controls/Pictures.h"
#include <QComboBox>
#include <QCoreApplication>
#include <cerrno>
#include <cstdio>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <unistd.h>
#include <QPrintDialog>
#include <QPrinter>
#include <QScrollArea>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include "forms/App.h"
#include "profile/PrivateProfile.h"
#include "vb/MsgBox.h"

namespace printer {

namespace {
constexpr int kPaperGap = 16;   // pixels of grey around the paper

// The settings file's key of the folder a PDF was last saved to.
const QString kPdfSection = QStringLiteral("PDF");
const QString kPdfKey = QStringLiteral("SaveTo");
QString settingsFile() { return forms::AppPath() + QStringLiteral("\\Vantrel.ini"); }

// Passes the PDF writer's bytes on to the file unbuffered and remembers the
// first write that failed (a full disk), which the writer itself ignores.
class CheckedDevice : public QIODevice {
public:
    explicit CheckedDevice(QFile& file) : file_(file) { open(QIODevice::WriteOnly); }
    bool failed() const { return failed_; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 n) override {
        if (!failed_ && file_.write(data, n) != n) failed_ = true;
        return failed_ ? -1 : n;
    }

private:
    QFile& file_;
    bool failed_ = false;
};

// A finished PDF ends with its end-of-file marker.
bool looksWhole(QFile& file) {
    if (file.size() < 64 || !file.seek(0) || !file.read(5).startsWith("%PDF-")) return false;
    if (!file.seek(file.size() - 32)) return false;
    return file.read(32).contains("%%EOF");
}
} // namespace

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

bool PreviewControl::writePdf(QFile& file) const {
    CheckedDevice out(file);
    QPdfWriter w(&out);
    if (!w.setPageSize(QPageSize(QSizeF(PageWidth(), PageHeight()), QPageSize::Inch))) return false;
    w.setPageMargins(QMarginsF(0, 0, 0, 0));
    w.setResolution(600);
    QPainter p;
    if (!p.begin(&w)) return false;
    const QRectF page(0, 0, PageWidth() * 600, PageHeight() * 600);
    for (int i = 1; i <= std::max(1, PageCount()) && !out.failed(); ++i) {
        if (i > 1) w.newPage();
        if (PageCount() > 0) RenderPage(p, i, page);
    }
    return p.end() && !out.failed() && file.flush();
}

bool PreviewControl::SavePdf(const QString& path) const {
    QFileInfo target(path);
    // A link is written through: the file it names takes the new document.
    if (target.isSymLink()) target = QFileInfo(target.symLinkTarget());
    if (target.fileName().isEmpty() || target.isDir()) return false;
    const QString finalPath = target.absoluteFilePath();
    // A device or pipe is written in place; it is never replaced by a file.
    if (target.exists() && !target.isFile()) {
        QFile device(finalPath);
        return device.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && writePdf(device);
    }
    // Beside the target, so the rename stays on one file system.
    QFile tmp(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
              QStringLiteral(".%1.part").arg(QCoreApplication::applicationPid()));
    if (!tmp.open(QIODevice::ReadWrite | QIODevice::Truncate | QIODevice::Unbuffered)) return false;
    // Checked whole, and on the disk, before it takes the target's name.
    bool ok = writePdf(tmp) && looksWhole(tmp) && ::fsync(tmp.handle()) == 0;
    tmp.close();
    ok = ok && tmp.error() == QFileDevice::NoError;
    if (ok) {
        // An earlier file keeps its permissions; a new one gets the usual ones.
        tmp.setPermissions(target.exists() ? target.permissions()
                                           : QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                 QFileDevice::ReadGroup | QFileDevice::ReadOther);
        ok = std::rename(QFile::encodeName(tmp.fileName()).constData(), QFile::encodeName(finalPath).constData()) == 0;
    }
    if (!ok) tmp.remove();
    return ok;
}

QString PreviewControl::SuggestedPdfPath() const {
    QString folder = profile::GetPrivateProfileString(kPdfSection, kPdfKey, QString(), 1024, settingsFile());
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = QDir::homePath();
    // The document's own name, else its title from the page header ("Invoice #1022" gives "Invoice 1022").
    QString name = DocName();
    if (name.isEmpty()) name = PageHeader().left;
    if (name.isEmpty()) name = PageHeader().right;
    if (name.isEmpty()) name = window()->windowTitle();
    static const QRegularExpression unsafe(QStringLiteral("[\\\\/:*?\"<>|#\\x00-\\x1f]"));
    name = name.replace(unsafe, QStringLiteral(" ")).simplified();
    if (name.startsWith(QLatin1Char('.'))) name.remove(0, 1);
    if (name.isEmpty()) name = QStringLiteral("Document");
    return QDir(folder).filePath(name + QStringLiteral(".pdf"));
}

void PreviewControl::SavePdfAs() {
    QFileDialog dialog(window(), tr("Save as PDF"), SuggestedPdfPath(), tr("PDF files (*.pdf)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // The dialog adds the suffix itself, so it asks before replacing the file that names.
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        SavePdfChosen(dialog.selectedFiles().first());
}

bool PreviewControl::SavePdfChosen(const QString& typed) const {
    QString path = typed;
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) path += QStringLiteral(".pdf");
    if (!SavePdfTold(path)) return false;
    profile::WritePrivateProfileString(kPdfSection, kPdfKey, QFileInfo(path).absolutePath(), settingsFile());
    return true;
}

bool PreviewControl::SavePdfTold(const QString& path) const {
    if (SavePdf(path)) return true;
    vb::MsgBox(QStringLiteral("The PDF file %1 could not be written.").arg(QDir::toNativeSeparators(path)), vb::vbOKOnly);
    return false;
}

} // namespace printer
