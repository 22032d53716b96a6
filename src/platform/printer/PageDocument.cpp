#include "printer/PageDocument.h"
#include <algorithm>
#include <cmath>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QRegularExpression>
#include "vb/RuntimeError.h"

namespace printer {

namespace {

// Layout is measured on a fixed 1200-dpi reference, so page breaks never
// depend on the screen the preview happens to run on.
constexpr double kDpi = 1200.0;
constexpr double kCellPadX = 0.06;    // inches, each side
// Kept small: an invoice (letterhead, facts, 20 lines, totals) must fit one
// Letter page between half-inch margins.
constexpr double kCellPadY = 0.01;
constexpr double kRuleWidth = 0.01;

const QImage& referenceDevice() {
    static const QImage img = [] {
        QImage i(1, 1, QImage::Format_RGB32);
        const int dpm = qRound(kDpi / 0.0254);
        i.setDotsPerMeterX(dpm);
        i.setDotsPerMeterY(dpm);
        return i;
    }();
    return img;
}

// Pixel sizes in 1/1200 inch, the unit of both measuring and painting.
QFont makeFont(const FontSpec& f) {
    QFont font(f.family);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(f.size * kDpi / 72.0))));
    font.setBold(f.bold);
    font.setStyleStrategy(QFont::PreferOutline);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

[[noreturn]] void invalidArgument(const QString& what) {
    throw vb::RuntimeError(380, QStringLiteral("Invalid property value (%1)").arg(what));
}

[[noreturn]] void invalidCall(const QString& what) {
    throw vb::RuntimeError(5, QStringLiteral("Invalid procedure call or argument (%1)").arg(what));
}

Qt::Alignment qtAlign(int a) {
    switch (a) {
    case 1: return Qt::AlignHCenter;
    case 2: return Qt::AlignRight;
    default: return Qt::AlignLeft;
    }
}

} // namespace

double ParseLength(const QString& text) {
    static const QRegularExpression re(QStringLiteral("^\\s*([0-9]*\\.?[0-9]+|[0-9]+\\.)\\s*in\\s*$"),
                                       QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(text);
    if (!m.hasMatch()) invalidArgument(QStringLiteral("length \"%1\"").arg(text));
    return m.captured(1).toDouble();
}

QList<TableColumn> ParseTableFormat(const QString& format) {
    QList<TableColumn> cols;
    QString f = format.trimmed();
    if (f.endsWith(QLatin1Char(';'))) f.chop(1);
    if (f.trimmed().isEmpty()) return cols;
    for (QString part : f.split(QLatin1Char('|'))) {
        part = part.trimmed();
        TableColumn c;
        if (part.startsWith(QLatin1Char('^'))) { c.alignment = 1; part.remove(0, 1); }
        else if (part.startsWith(QLatin1Char('>'))) { c.alignment = 2; part.remove(0, 1); }
        else if (part.startsWith(QLatin1Char('<'))) { c.alignment = 0; part.remove(0, 1); }
        c.width = ParseLength(part);
        cols.append(c);
    }
    return cols;
}

QList<QStringList> ParseTableRows(const QString& text) {
    QList<QStringList> rows;
    if (text.isEmpty()) return rows;
    QStringList parts = text.split(QLatin1Char(';'));
    // Only the row ending of the last row is optional; an empty row in the
    // middle (";;") is a row of one empty cell.
    if (parts.size() > 1 && parts.last().isEmpty()) parts.removeLast();
    for (const QString& r : parts) rows.append(r.split(QLatin1Char('|')));
    return rows;
}

QString Table::cell(int r, int c) const {
    const QStringList* row = nullptr;
    if (r == 0) row = &header;
    else if (r >= 1 && r <= rows.size()) row = &rows[r - 1];
    if (!row || c < 0 || c >= row->size()) return QString();
    return row->at(c);
}

bool Table::isBold(int r, int c) const {
    if (r < 0 || r >= bold.size() || c < 0 || c >= bold[r].size()) return false;
    return bold[r][c];
}

struct PageDocument::Pending {
    Table table;
};

PageDocument::PageDocument() {
    InstallFontSubstitutes();
    hdrFont_.family = QStringLiteral("Courier New");
    hdrFont_.size = 14.25;
    font_ = baseFont_;
}

PageDocument::~PageDocument() = default;

void PageDocument::InstallFontSubstitutes() {
    static const bool done = [] {
        QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
        QFont::insertSubstitution(QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"));
        QFont::insertSubstitution(QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"));
        return true;
    }();
    (void)done;
}

// ---- document ------------------------------------------------------------------

void PageDocument::ClearDoc() {
    pages_.clear();
    tables_.clear();
    boxTexts_.clear();
    pending_.reset();
    header_.clear();
    footer_.clear();
    open_ = complete_ = false;
    page_ = 0;
    y_ = 0;
    documentChanged();
}

void PageDocument::StartDoc() {
    pages_.clear();
    tables_.clear();
    boxTexts_.clear();
    pending_.reset();
    header_.clear();
    footer_.clear();
    open_ = true;
    complete_ = false;
    pages_.append(Page());
    page_ = 1;
    y_ = marginTop_;
}

void PageDocument::EndDoc() {
    if (pending_) EndTable();
    open_ = false;
    complete_ = true;
    documentChanged();
}

void PageDocument::NewPage() {
    ensurePage();
    breakPage();
}

void PageDocument::ensurePage() {
    if (page_ == 0) StartDoc();
}

void PageDocument::breakPage() {
    pages_.append(Page());
    page_ = static_cast<int>(pages_.size());
    y_ = marginTop_;
}

int PageDocument::PageCount() const { return static_cast<int>(pages_.size()); }

// ---- settings ---------------------------------------------------------------------

void PageDocument::setZoom(double percent) {
    if (!(percent > 0) || percent > 1000) invalidArgument(QStringLiteral("zoom %1").arg(percent));
    zoom_ = percent;
    documentChanged();
}

void PageDocument::setPageSize(double widthIn, double heightIn) {
    if (!(widthIn > 1) || !(heightIn > 1)) invalidArgument(QStringLiteral("page size"));
    pageWidth_ = widthIn;
    pageHeight_ = heightIn;
}

void PageDocument::setMarginLeft(const QString& length) { marginLeft_ = ParseLength(length); }
void PageDocument::setMarginRight(const QString& length) { marginRight_ = ParseLength(length); }
void PageDocument::setMarginTop(const QString& length) { marginTop_ = ParseLength(length); }
void PageDocument::setMarginBottom(const QString& length) { marginBottom_ = ParseLength(length); }

void PageDocument::setHeader(const QString& text) {
    header_ = text;
    headerBold_ = font_.bold;
}

void PageDocument::setFooter(const QString& text) {
    footer_ = text;
    footerBold_ = font_.bold;
}

void PageDocument::setAlignment(int alignment) {
    if (alignment < 0 || alignment > 2) invalidArgument(QStringLiteral("alignment %1").arg(alignment));
    alignment_ = alignment;
}

void PageDocument::setFontSize(double points) {
    if (!(points >= 1) || points > 1638) invalidArgument(QStringLiteral("font size %1").arg(points));
    font_.size = points;
}

void PageDocument::setBaseFont(const FontSpec& f) {
    baseFont_ = f;
    font_ = f;
}

// ---- measuring --------------------------------------------------------------------

double PageDocument::lineHeight(const FontSpec& f) const {
    QFontMetricsF fm(makeFont(f), &referenceDevice());
    return fm.height() / kDpi;
}

double PageDocument::textWidth(const FontSpec& f, const QString& s) const {
    QFontMetricsF fm(makeFont(f), &referenceDevice());
    return fm.horizontalAdvance(s) / kDpi;
}

// Greedy word wrap of one LF-free line; a word wider than the width stands alone.
QStringList PageDocument::wrap(const FontSpec& f, const QString& text, double width) const {
    if (text.isEmpty() || width <= 0 || textWidth(f, text) <= width) return {text};
    QStringList out;
    QString line;
    const QStringList words = text.split(QLatin1Char(' '));
    for (const QString& w : words) {
        const QString candidate = line.isEmpty() ? w : line + QLatin1Char(' ') + w;
        if (line.isEmpty() || textWidth(f, candidate) <= width) {
            line = candidate;
        } else {
            out.append(line);
            line = w;
        }
    }
    out.append(line);
    return out;
}

// ---- flow -------------------------------------------------------------------------

void PageDocument::Paragraph(const QString& text) {
    ensurePage();
    const double lh = lineHeight(font_);
    const double width = pageWidth_ - marginLeft_ - marginRight_;
    QString t = text;
    t.remove(QLatin1Char('\r'));
    for (const QString& part : t.split(QLatin1Char('\n'))) {
        for (const QString& line : wrap(font_, part, width)) {
            if (y_ + lh > bottomLimit() + 1e-9 && y_ > marginTop_ + 1e-9) breakPage();
            PlacedText p;
            p.kind = PlacedText::Paragraph;
            p.page = page_;
            p.rect = QRectF(marginLeft_, y_, width, lh);
            p.text = line;
            p.alignment = alignment_;
            p.font = font_;
            pages_[page_ - 1].texts.append(p);
            y_ += lh;
        }
    }
}

void PageDocument::TextBox(const QString& text, const QString& left, const QString& top,
                           const QString& width, const QString& height, const QVariant&,
                           const QVariant&, bool) {
    ensurePage();
    const QRectF box(ParseLength(left), ParseLength(top), ParseLength(width), ParseLength(height));
    boxTexts_.append(text);
    const double lh = lineHeight(font_);
    double y = box.top();
    QString t = text;
    t.remove(QLatin1Char('\r'));
    for (const QString& part : t.split(QLatin1Char('\n'))) {
        for (const QString& line : wrap(font_, part, box.width())) {
            PlacedText p;
            p.kind = PlacedText::TextBox;
            p.page = page_;
            p.rect = QRectF(box.left(), y, box.width(), lh);
            p.text = line;
            p.alignment = alignment_;
            p.font = font_;
            pages_[page_ - 1].texts.append(p);
            y += lh;
        }
    }
    // What follows in the flow goes on below the box.
    y_ = std::max(y_, box.bottom());
}

// ---- tables -----------------------------------------------------------------------

void PageDocument::StartTable() {
    ensurePage();
    if (pending_) EndTable();
    pending_ = std::make_unique<Pending>();
    pending_->table.border = border_;
}

void PageDocument::requireTable(const char* op) const {
    if (!pending_) invalidCall(QStringLiteral("%1 without StartTable").arg(QLatin1String(op)));
}

namespace {
void fitBoldGrid(Table& t) {
    const int rows = t.rowCount() + 1;
    const int cols = static_cast<int>(t.columns.size());
    while (t.bold.size() < rows) t.bold.append(QList<bool>());
    for (auto& r : t.bold)
        while (r.size() < cols) r.append(false);
    while (t.rowHeights.size() < rows) t.rowHeights.append(0);
}
} // namespace

void PageDocument::AddTable(const QString& format, const QString& header, const QString& body) {
    requireTable("AddTable");
    Table& t = pending_->table;
    if (!format.isEmpty()) t.columns = ParseTableFormat(format);
    if (!header.isEmpty()) {
        const auto h = ParseTableRows(header);
        t.header = h.isEmpty() ? QStringList() : h.first();
    }
    for (const QStringList& r : ParseTableRows(body)) t.rows.append(r);
    fitBoldGrid(t);
}

void PageDocument::AddTableCells(const QString& format, const QString& header, const QStringList& cells) {
    AddTable(format, header, QString());
    pending_->table.rows.append(cells);
    fitBoldGrid(pending_->table);
}

void PageDocument::setTableBorder(int style) {
    if (style < 0) invalidArgument(QStringLiteral("border %1").arg(style));
    border_ = style;
    if (pending_) pending_->table.border = style;
}

void PageDocument::setTableCell(int setting, const QVariant& value) {
    requireTable("TableCell");
    Table& t = pending_->table;
    if (setting != tcRows) invalidCall(QStringLiteral("TableCell setting %1").arg(setting));
    bool ok = false;
    const int n = value.toInt(&ok);
    if (!ok || n < 0) invalidArgument(QStringLiteral("row count"));
    while (t.rowCount() < n) t.rows.append(QStringList());
    fitBoldGrid(t);
}

void PageDocument::setTableCell(int setting, int row, const QVariant& value) {
    requireTable("TableCell");
    Table& t = pending_->table;
    if (setting != tcRowHeight) invalidCall(QStringLiteral("TableCell setting %1").arg(setting));
    if (row < 0 || row > t.rowCount()) throw vb::RuntimeError(381, QStringLiteral("Subscript out of range"));
    fitBoldGrid(t);
    t.rowHeights[row] = ParseLength(value.toString());
}

void PageDocument::setTableCell(int setting, int row1, int col1, int row2, int col2, const QVariant& value) {
    requireTable("TableCell");
    Table& t = pending_->table;
    if (setting == tcRowHeight) {
        for (int r = std::min(row1, row2); r <= std::max(row1, row2); ++r) setTableCell(setting, r, value);
        return;
    }
    if (setting != tcFontBold) invalidCall(QStringLiteral("TableCell setting %1").arg(setting));
    fitBoldGrid(t);
    if (std::min(row1, row2) < 0 || std::max(row1, row2) > t.rowCount())
        throw vb::RuntimeError(381, QStringLiteral("Subscript out of range"));
    const bool on = value.toBool();
    const int cols = static_cast<int>(t.columns.size());
    for (int r = std::min(row1, row2); r <= std::max(row1, row2); ++r)
        for (int c = std::max(1, std::min(col1, col2)); c <= std::min(cols, std::max(col1, col2)); ++c)
            t.bold[r][c - 1] = on;
}

void PageDocument::EndTable() {
    requireTable("EndTable");
    Table t = std::move(pending_->table);
    pending_.reset();
    t.alignment = alignment_;
    fitBoldGrid(t);
    tables_.append(std::move(t));
    placeTable(static_cast<int>(tables_.size()) - 1);
}

void PageDocument::placeTable(int index) {
    Table& t = tables_[index];
    const double content = pageWidth_ - marginLeft_ - marginRight_;
    double total = 0;
    for (const auto& c : t.columns) total += c.width;
    double x0 = marginLeft_;
    if (t.alignment == 1) x0 += (content - total) / 2;
    else if (t.alignment == 2) x0 += content - total;
    QList<double> edges{x0};
    for (const auto& c : t.columns) edges.append(edges.last() + c.width);
    const int ncols = static_cast<int>(t.columns.size());

    auto cellFont = [&](int r, int c) {
        FontSpec f = font_;
        f.bold = font_.bold || t.isBold(r, c);
        return f;
    };
    // Lines of each cell, and the row's height.
    auto rowLines = [&](int r) {
        QList<QStringList> lines;
        for (int c = 0; c < ncols; ++c)
            lines.append(wrap(cellFont(r, c), t.cell(r, c), t.columns[c].width - 2 * kCellPadX));
        return lines;
    };
    const double lh = lineHeight(font_);
    auto rowHeight = [&](int r, const QList<QStringList>& lines) {
        if (r < t.rowHeights.size() && t.rowHeights[r] > 0) return t.rowHeights[r];
        int n = 1;
        for (const auto& l : lines) n = std::max(n, static_cast<int>(l.size()));
        return n * lh + 2 * kCellPadY;
    };

    const bool hasHeader = ncols > 0;
    const double left = edges.first(), right = edges.last();
    auto hline = [&](double y) {
        if (ncols == 0) return;
        pages_[page_ - 1].lines.append(PlacedLine{page_, QLineF(left, y, right, y), kRuleWidth});
    };
    auto vline = [&](double x, double y1, double y2) {
        pages_[page_ - 1].lines.append(PlacedLine{page_, QLineF(x, y1, x, y2), kRuleWidth});
    };
    double segTop = y_;
    auto closeSegment = [&] {
        if (t.border == tbBoxHeader && y_ > segTop) hline(y_);
    };

    auto placeRow = [&](int r) {
        const auto lines = rowLines(r);
        const double h = rowHeight(r, lines);
        const double top = y_;
        if (ncols > 0) {
            if (r == 0 && (t.border == tbGrid || t.border == tbBoxHeader))
                pages_[page_ - 1].fills.append(PlacedFill{page_, QRectF(left, top, right - left, h)});
            switch (t.border) {
            case tbNone: break;
            case tbGrid:
                hline(top); hline(top + h);
                for (double x : edges) vline(x, top, top + h);
                break;
            case tbBoxRows:
                hline(top); hline(top + h);
                vline(left, top, top + h); vline(right, top, top + h);
                break;
            case tbBoxHeader:
            default:
                if (r == 0 || top == segTop) hline(top);
                if (r == 0) hline(top + h);
                vline(left, top, top + h); vline(right, top, top + h);
                break;
            }
        }
        for (int c = 0; c < ncols; ++c) {
            const FontSpec f = cellFont(r, c);
            const double clh = lineHeight(f);
            const int fit = std::max(1, static_cast<int>(std::floor((h - 2 * kCellPadY + 1e-9) / clh)));
            const int n = std::min(static_cast<int>(lines[c].size()), fit);
            double ty = top + (h - n * clh) / 2;
            for (int i = 0; i < n; ++i) {
                if (lines[c][i].isEmpty()) continue;
                PlacedText p;
                p.kind = PlacedText::Cell;
                p.page = page_;
                p.rect = QRectF(edges[c] + kCellPadX, ty + i * clh, t.columns[c].width - 2 * kCellPadX, clh);
                p.text = lines[c][i];
                p.alignment = t.columns[c].alignment;
                p.font = f;
                p.table = index;
                p.row = r;
                p.col = c;
                pages_[page_ - 1].texts.append(p);
            }
        }
        y_ = top + h;
    };
    auto fits = [&](int r) {
        return y_ + rowHeight(r, rowLines(r)) <= bottomLimit() + 1e-9 || y_ <= marginTop_ + 1e-9;
    };

    // Keep the header with the first body row.
    const double firstBody = t.rowCount() > 0 ? rowHeight(1, rowLines(1)) : 0;
    const double headH = hasHeader ? rowHeight(0, rowLines(0)) : 0;
    if (y_ + headH + firstBody > bottomLimit() + 1e-9 && y_ > marginTop_ + 1e-9) breakPage();
    t.firstPage = page_;
    segTop = y_;
    if (hasHeader) placeRow(0);
    for (int r = 1; r <= t.rowCount(); ++r) {
        if (!fits(r)) {
            closeSegment();
            breakPage();
            segTop = y_;
            // A table running onto the next page repeats its header row there.
            if (hasHeader) placeRow(0);
        }
        placeRow(r);
    }
    closeSegment();
    t.lastPage = page_;
}

// ---- the model --------------------------------------------------------------------

void PageDocument::decorate(Page& p, int page) const {
    auto place = [&](const QString& text, bool bold, bool footer) {
        if (text.isEmpty()) return;
        FontSpec f = hdrFont_;
        f.bold = bold;
        const double lh = lineHeight(f);
        const QStringList parts = text.split(QLatin1Char('|'));
        const QString l = parts.value(0);
        const QString c = parts.value(1);
        const QString r = parts.size() > 2 ? parts.mid(2).join(QLatin1Char('|')) : QString();
        const double band = footer ? marginBottom_ : marginTop_;
        double top = footer ? pageHeight_ - marginBottom_ + std::max(0.0, (band - lh) / 2)
                            : std::max(0.0, (band - lh) / 2);
        const QRectF rect(marginLeft_, top, pageWidth_ - marginLeft_ - marginRight_, lh);
        const QString texts[3] = {l, c, r};
        for (int i = 0; i < 3; ++i) {
            if (texts[i].isEmpty()) continue;
            PlacedText t;
            t.kind = footer ? PlacedText::Footer : PlacedText::Header;
            t.page = page;
            t.rect = rect;
            t.text = texts[i];
            t.alignment = i;
            t.font = f;
            p.texts.append(t);
        }
    };
    place(header_, headerBold_, false);
    place(footer_, footerBold_, true);
}

QList<Page> PageDocument::Pages() const {
    QList<Page> out;
    for (int i = 0; i < pages_.size(); ++i) out.append(PageAt(i + 1));
    return out;
}

Page PageDocument::PageAt(int page) const {
    if (page < 1 || page > pages_.size()) return Page();
    Page p = pages_[page - 1];
    decorate(p, page);
    return p;
}

QList<PlacedText> PageDocument::Texts(PlacedText::Kind kind) const {
    QList<PlacedText> out;
    for (const Page& p : Pages())
        for (const PlacedText& t : p.texts)
            if (t.kind == kind) out.append(t);
    return out;
}

// ---- painting ---------------------------------------------------------------------

void PageDocument::RenderPage(QPainter& painter, int page, const QRectF& target) const {
    painter.save();
    painter.fillRect(target, Qt::white);
    painter.setClipRect(target);
    painter.translate(target.topLeft());
    const double s = target.width() / (pageWidth_ * kDpi);
    painter.scale(s, s);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    const Page p = PageAt(page);
    auto dots = [](const QRectF& r) { return QRectF(r.x() * kDpi, r.y() * kDpi, r.width() * kDpi, r.height() * kDpi); };
    for (const PlacedFill& f : p.fills) painter.fillRect(dots(f.rect), QColor(0xE8, 0xE8, 0xE8));
    for (const PlacedLine& l : p.lines) {
        QPen pen(Qt::black);
        pen.setWidthF(l.width * kDpi);
        pen.setCapStyle(Qt::SquareCap);
        painter.setPen(pen);
        painter.drawLine(QLineF(l.line.p1() * kDpi, l.line.p2() * kDpi));
    }
    painter.setPen(Qt::black);
    for (const PlacedText& t : p.texts) {
        if (t.text.isEmpty()) continue;
        painter.setFont(makeFont(t.font));
        painter.drawText(dots(t.rect), qtAlign(t.alignment) | Qt::AlignVCenter | Qt::TextSingleLine, t.text);
    }
    painter.restore();
}

} // namespace printer
