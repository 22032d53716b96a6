#include "printer/PageDocument.h"
#include <algorithm>
#include <cmath>
#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPen>
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
// Between the parts of a page header or footer.
constexpr double kBandGap = 0.15;
constexpr double kEps = 1e-9;

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

// The lines of a text as they are measured and drawn: LF, CR LF (or a CR
// alone, from an older file) break the line, and a tab is one space, so
// nothing is judged to fit at one width and drawn at another.
QStringList plainLines(const QString& text) {
    QString t = text;
    if (t.contains(QLatin1Char('\r'))) {
        t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    }
    t.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return t.split(QLatin1Char('\n'));
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
    // "<number> in", blanks allowed around both; read by hand, as every
    // margin, column width and row height of a document passes here, most
    // of them the same few texts again and again.
    thread_local QString lastText;
    thread_local double lastValue = 0;
    if (!lastText.isNull() && text == lastText) return lastValue;
    const QStringView s(text);
    const qsizetype n = s.size();
    auto blank = [&](qsizetype k) {
        const char16_t c = s[k].unicode();
        return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
    };
    auto digit = [&](qsizetype k) { return s[k] >= QLatin1Char('0') && s[k] <= QLatin1Char('9'); };
    qsizetype i = 0;
    while (i < n && blank(i)) ++i;
    const qsizetype begin = i;
    qsizetype whole = 0, fraction = 0;
    while (i < n && digit(i)) ++i, ++whole;
    if (i < n && s[i] == QLatin1Char('.'))
        for (++i; i < n && digit(i); ++i) ++fraction;
    const qsizetype end = i;
    while (i < n && blank(i)) ++i;
    const bool unit = i + 2 <= n && (s[i] == QLatin1Char('i') || s[i] == QLatin1Char('I')) &&
                      (s[i + 1] == QLatin1Char('n') || s[i + 1] == QLatin1Char('N'));
    if (unit) i += 2;
    while (i < n && blank(i)) ++i;
    if (whole + fraction == 0 || !unit || i != n) invalidArgument(QStringLiteral("length \"%1\"").arg(text));
    lastValue = s.mid(begin, end - begin).toDouble();
    lastText = text;
    return lastValue;
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

HeaderParts HeaderParts::fromText(const QString& text) {
    const QStringList parts = text.split(QLatin1Char('|'));
    HeaderParts h;
    h.left = parts.value(0);
    h.centre = parts.value(1);
    h.right = parts.size() > 2 ? parts.mid(2).join(QLatin1Char('|')) : QString();
    return h;
}

bool Table::isBold(int r, int c) const {
    if (r < 0 || r >= bold.size() || c < 0 || c >= bold[r].size()) return false;
    return bold[r][c];
}

struct PageDocument::Pending {
    Table table;
    // The format and header texts last given: the documents pass the same
    // ones with every row, so they are parsed once.
    QString format, header;
    int gridColumns = 0;   // the width the bold grid's rows have
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
    header_ = footer_ = HeaderParts();
    bands_.reset();
    lastTable_ = -1;
    chain_.reset();
    sections_.clear();
    docName_.clear();
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
    header_ = footer_ = HeaderParts();
    bands_.reset();
    lastTable_ = -1;
    chain_.reset();
    sections_ = {Section{1, QString()}};
    docName_.clear();
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
    chain_.reset();
    sections_.append(Section{page_ + 1, QString()});
    breakPage();
}

void PageDocument::StartSection(const QString& title) {
    ensurePage();
    if (sections_.last().firstPage == page_) sections_.last().title = title;
    else sections_.append(Section{page_, title});
}

int PageDocument::sectionOf(int page) const {
    const auto it = std::upper_bound(sections_.cbegin(), sections_.cend(), page,
                                     [](int p, const Section& s) { return p < s.firstPage; });
    return static_cast<int>(it - sections_.cbegin()) - 1;
}

void PageDocument::ensurePage() {
    if (page_ == 0) StartDoc();
}

void PageDocument::breakPage() {
    lastTable_ = -1;
    // Pages of one document hold about as much as the one before: room made
    // once, instead of moving every placed text each time a list grows.
    Page next;
    if (!pages_.isEmpty()) {
        next.texts.reserve(pages_.last().texts.size());
        next.lines.reserve(pages_.last().lines.size());
    }
    pages_.append(std::move(next));
    page_ = static_cast<int>(pages_.size());
    y_ = marginTop_;
    // A client's document running on says whose it is above what follows.
    if (!sections_.isEmpty() && !sections_.last().title.isEmpty()) {
        FontSpec f = baseFont_;
        f.bold = true;
        const double lh = lineHeight(f);
        const double width = pageWidth_ - marginLeft_ - marginRight_;
        const Fitted fitted = fit(f, sections_.last().title + QStringLiteral(" (continued)"), width, lh);
        PlacedText p;
        p.page = page_;
        p.rect = QRectF(marginLeft_, y_, width, lineHeight(fitted.font));
        p.text = fitted.lines.join(QLatin1Char(' '));
        p.font = fitted.font;
        pages_.last().texts.append(p);
        y_ += lh * 1.5;
    }
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
    bands_.reset();
}

void PageDocument::setMarginLeft(const QString& length) { marginLeft_ = ParseLength(length); bands_.reset(); }
void PageDocument::setMarginRight(const QString& length) { marginRight_ = ParseLength(length); bands_.reset(); }
void PageDocument::setMarginTop(const QString& length) { marginTop_ = ParseLength(length); bands_.reset(); }
void PageDocument::setMarginBottom(const QString& length) { marginBottom_ = ParseLength(length); bands_.reset(); }

void PageDocument::setHeader(const HeaderParts& parts) {
    header_ = parts;
    headerBold_ = font_.bold;
    bands_.reset();
}

void PageDocument::setFooter(const HeaderParts& parts) {
    footer_ = parts;
    footerBold_ = font_.bold;
    bands_.reset();
}

namespace {
QString joinParts(const HeaderParts& h) {
    if (h.isEmpty()) return QString();
    return h.left + QLatin1Char('|') + h.centre + QLatin1Char('|') + h.right;
}
} // namespace

QString PageDocument::Header() const { return joinParts(header_); }
QString PageDocument::Footer() const { return joinParts(footer_); }

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

namespace {

// A document measures thousands of cells in a handful of fonts: the metrics
// of each are built once (a QFont and its metrics cost far more than a
// measurement), and the widths of the texts it measured are kept, as a
// report measures the same headings, names and words page after page.
struct Measured {
    FontSpec spec;
    std::unique_ptr<QFontMetricsF> fm;
    QHash<QString, double> widths;
    double height = -1;           // inches, once asked
    double ascii[95] = {};        // advance of ' '..'~', once asked
    bool asciiKnown = false;
};

Measured& measuredOf(const FontSpec& f) {
    thread_local std::vector<std::unique_ptr<Measured>> cache;
    for (const auto& e : cache)
        if (e->spec.size == f.size && e->spec.bold == f.bold && e->spec.family == f.family) return *e;
    // Sizes set smaller to fit come and go; the cache stays small.
    if (cache.size() >= 64) cache.erase(cache.begin());
    cache.push_back(std::make_unique<Measured>(
        Measured{f, std::make_unique<QFontMetricsF>(makeFont(f), &referenceDevice()), {}}));
    return *cache.back();
}

} // namespace

double PageDocument::lineHeight(const FontSpec& f) const {
    Measured& m = measuredOf(f);
    if (m.height < 0) m.height = m.fm->height() / kDpi;
    return m.height;
}

bool PageDocument::surelyFits(const FontSpec& f, const QString& text, double width) {
    // Set text is never wider than its characters' own advances put side by
    // side (pairs only ever move closer); the margin covers a font that
    // kerns apart. Anything not plain ASCII, or close to the width, is measured.
    Measured& m = measuredOf(f);
    if (!m.asciiKnown) {
        for (int c = 0; c < 95; ++c) m.ascii[c] = m.fm->horizontalAdvance(QChar(char16_t(32 + c))) / kDpi;
        m.asciiKnown = true;
    }
    double sum = 0;
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c < 32 || c > 126) return false;
        sum += m.ascii[c - 32];
    }
    return sum * 1.03 <= width;
}

double PageDocument::TextWidth(const FontSpec& f, const QString& text) {
    Measured& m = measuredOf(f);
    const auto it = m.widths.constFind(text);
    if (it != m.widths.cend()) return *it;
    if (m.widths.size() >= 8192) m.widths.clear();
    const double w = m.fm->horizontalAdvance(text) / kDpi;
    m.widths.insert(text, w);
    return w;
}

double PageDocument::textWidth(const FontSpec& f, const QString& s) const { return TextWidth(f, s); }

// Greedy word wrap of one LF-free line; a word wider than the width is
// broken between its characters, so no line reaches past the width (but for
// a single character wider than it).
QStringList PageDocument::wrap(const FontSpec& f, const QString& text, double width, double textW) const {
    if (text.isEmpty() || width <= 0) return {text};
    if (textW >= 0 ? textW <= width : surelyFits(f, text, width) || textWidth(f, text) <= width) return {text};
    QStringList out;
    QString line;
    const QStringList words = text.split(QLatin1Char(' '));
    for (const QString& w : words) {
        const QString candidate = line.isEmpty() ? w : line + QLatin1Char(' ') + w;
        if (textWidth(f, candidate) <= width) {
            line = candidate;
            continue;
        }
        if (!line.isEmpty()) out.append(line);
        line = w;
        while (textWidth(f, line) > width && line.size() > 1) {
            qsizetype n = 1;
            while (n < line.size() && textWidth(f, line.left(n + 1)) <= width) ++n;
            out.append(line.left(n));
            line = line.mid(n);
        }
    }
    out.append(line);
    return out;
}

PageDocument::Fitted PageDocument::fit(const FontSpec& f, const QString& text, double width,
                                      double height) const {
    const QStringList parts = plainLines(text);
    auto wrapAll = [&](const FontSpec& font) {
        QStringList lines;
        for (const QString& part : parts) lines += wrap(font, part, width);
        return lines;
    };
    // Each part's lines must fit the width unbroken at the size chosen too,
    // so a word is only broken when even the smallest size cannot hold it.
    auto fits = [&](const FontSpec& font, const QStringList& lines) {
        if (lines.size() * lineHeight(font) > height + kEps) return false;
        for (const QString& part : parts)
            for (const QString& w : part.split(QLatin1Char(' ')))
                if (textWidth(font, w) > width + kEps) return false;
        return true;
    };
    Fitted out{f, wrapAll(f)};
    if (fits(f, out.lines)) return out;
    for (double size = f.size - 0.5; size >= kMinFitSize - kEps; size -= 0.5) {
        FontSpec smaller = f;
        smaller.size = size;
        QStringList lines = wrapAll(smaller);
        out = Fitted{smaller, lines};
        if (fits(smaller, lines)) return out;
    }
    return out;
}

// ---- flow -------------------------------------------------------------------------

void PageDocument::Paragraph(const QString& text) {
    ensurePage();
    lastTable_ = -1;
    const double lh = lineHeight(font_);
    const double width = pageWidth_ - marginLeft_ - marginRight_;
    if (keepWithNext_) {
        if (!chain_ || chain_->page != page_) chain_ = KeptChain{page_, pages_[page_ - 1].texts.size(), y_};
    } else {
        keepChainWith(lh);
    }
    for (const QString& part : plainLines(text)) {
        for (const QString& line : wrap(font_, part, width)) {
            // Kept paragraphs reaching past the page start the next one together.
            if (y_ + lh > bottomLimit() + 1e-9 && y_ > marginTop_ + 1e-9 &&
                !(keepWithNext_ && keepChainWith(bottomLimit(), true)))
                breakPage();
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
    lastTable_ = -1;
    chain_.reset();
    QRectF box(ParseLength(left), ParseLength(top), ParseLength(width), ParseLength(height));
    // Nothing is printed past the side margins, where many printers cannot
    // print: a box reaching over one is narrowed to it, and its text wraps or is set smaller.
    box.setLeft(std::clamp(box.left(), marginLeft_, pageWidth_ - marginRight_));
    box.setRight(std::clamp(box.right(), box.left(), pageWidth_ - marginRight_));
    boxTexts_.append(text);
    // Held to its box: a long name is set smaller rather than running into
    // the box below it.
    const Fitted fitted = fit(font_, text, box.width(), box.height());
    const double lh = lineHeight(fitted.font);
    double y = box.top();
    for (const QString& line : fitted.lines) {
        PlacedText p;
        p.kind = PlacedText::TextBox;
        p.page = page_;
        p.rect = QRectF(box.left(), y, box.width(), lh);
        p.text = line;
        p.alignment = alignment_;
        p.font = fitted.font;
        pages_[page_ - 1].texts.append(p);
        y += lh;
    }
    // What follows in the flow goes on below the box (and below its text,
    // should even the smallest size not fit it).
    y_ = std::max({y_, box.bottom(), y});
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

// The bold grid and the row heights grow with the rows; only a change of
// the column count goes over the rows already there.
void PageDocument::fitBoldGrid(Pending& p) {
    Table& t = p.table;
    const int rows = t.rowCount() + 1;
    const int cols = static_cast<int>(t.columns.size());
    if (cols > p.gridColumns) {
        for (auto& r : t.bold)
            while (r.size() < cols) r.append(false);
        p.gridColumns = cols;
    }
    while (t.bold.size() < rows) t.bold.append(QList<bool>(p.gridColumns, false));
    while (t.rowHeights.size() < rows) t.rowHeights.append(0);
}

void PageDocument::takeFormat(const QString& format, const QString& header) {
    Pending& p = *pending_;
    Table& t = p.table;
    if (!format.isEmpty() && format != p.format) {
        t.columns = ParseTableFormat(format);
        p.format = format;
    }
    if (!header.isEmpty() && header != p.header) {
        const auto h = ParseTableRows(header);
        t.header = h.isEmpty() ? QStringList() : h.first();
        p.header = header;
    }
}

void PageDocument::AddTable(const QString& format, const QString& header, const QString& body) {
    requireTable("AddTable");
    takeFormat(format, header);
    Table& t = pending_->table;
    for (const QStringList& r : ParseTableRows(body)) {
        t.rows.append(r);
        t.filler = 0;
    }
    fitBoldGrid(*pending_);
}

void PageDocument::AddTableCells(const QString& format, const QString& header, const QStringList& cells) {
    requireTable("AddTable");
    takeFormat(format, header);
    pending_->table.rows.append(cells);
    pending_->table.filler = 0;
    fitBoldGrid(*pending_);
}

void PageDocument::AddTableCells(const QString& format, const QStringList& header, const QStringList& cells) {
    requireTable("AddTable");
    takeFormat(format, QString());
    if (!header.isEmpty()) {
        pending_->table.header = header;
        pending_->header.clear();
    }
    pending_->table.rows.append(cells);
    pending_->table.filler = 0;
    fitBoldGrid(*pending_);
}

void PageDocument::setTableKeepTogether(bool on) {
    requireTable("TableKeepTogether");
    pending_->table.keepTogether = on;
}

void PageDocument::setTableKeepWithPrevious(bool on) {
    requireTable("TableKeepWithPrevious");
    pending_->table.keepWithPrevious = on;
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
    t.fixedRows = n;
    while (t.rowCount() < n) {
        t.rows.append(QStringList());
        ++t.filler;
    }
    fitBoldGrid(*pending_);
}

void PageDocument::setTableCell(int setting, int row, const QVariant& value) {
    requireTable("TableCell");
    Table& t = pending_->table;
    if (setting != tcRowHeight) invalidCall(QStringLiteral("TableCell setting %1").arg(setting));
    if (row < 0 || row > t.rowCount()) throw vb::RuntimeError(381, QStringLiteral("Subscript out of range"));
    fitBoldGrid(*pending_);
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
    fitBoldGrid(*pending_);
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
    fitBoldGrid(*pending_);
    Table t = std::move(pending_->table);
    pending_.reset();
    t.alignment = alignment_;
    t.font = font_;
    // Rows past the row count set are laid out like the last counted row.
    if (t.fixedRows > 0 && t.fixedRows < t.rowHeights.size())
        for (int r = t.fixedRows + 1; r < t.rowHeights.size(); ++r)
            if (t.rowHeights[r] <= 0) t.rowHeights[r] = t.rowHeights[t.fixedRows];
    tables_.append(std::move(t));
    const int index = static_cast<int>(tables_.size()) - 1;
    // Each row is wrapped and measured once, whatever moves afterwards.
    const QList<RowLayout> rows = layoutRows(tables_[index]);
    if (tables_[index].keepWithPrevious) keepWithPrevious(index, rows);
    keepChainWith(leadHeight(tables_[index], rows));
    const FlowMark before = mark();
    placeTable(index, rows);
    lastTable_ = index;
    lastTableMark_ = before;
}

// ---- table layout -----------------------------------------------------------------

struct PageDocument::RowLayout {
    QList<QStringList> lines;   // per column
    QList<FontSpec> fonts;      // per column
    double lineHeight = 0;      // the tallest of the row's fonts
    double height = 0;          // the whole row: at least its set height, and all its text
};

QList<double> PageDocument::columnWidths(const Table& t) const {
    const double content = pageWidth_ - marginLeft_ - marginRight_;
    double total = 0;
    for (const auto& c : t.columns) total += c.width;
    // A table wider than the room between the margins is narrowed to it,
    // each column in proportion, rather than printed past the margin.
    const double scale = total > content + kEps ? content / total : 1.0;
    QList<double> out;
    for (const auto& c : t.columns) out.append(c.width * scale);
    return out;
}

QList<PageDocument::RowLayout> PageDocument::layoutRows(const Table& t) const {
    const int ncols = static_cast<int>(t.columns.size());
    const QList<double> widths = columnWidths(t);
    const double baseLh = lineHeight(t.font);
    QList<RowLayout> out;
    for (int r = 0; r <= t.rowCount(); ++r) {
        RowLayout row;
        row.lineHeight = baseLh;
        int n = 1;
        for (int c = 0; c < ncols; ++c) {
            FontSpec f = t.font;
            f.bold = t.font.bold || t.isBold(r, c);
            const QString raw = t.cell(r, c);
            const QStringList parts = plainLines(raw);
            const double inner = widths[c] - 2 * kCellPadX;
            // A word wider than its column is set smaller rather than broken.
            auto widest = [&](const FontSpec& font) {
                double w = 0;
                for (const QString& part : parts)
                    for (const QString& word : part.split(QLatin1Char(' '))) w = std::max(w, textWidth(font, word));
                return w;
            };
            auto widestPart = [&](const FontSpec& font) {
                double w = 0;
                for (const QString& part : parts)
                    if (!part.isEmpty() && !surelyFits(font, part, inner)) w = std::max(w, textWidth(font, part));
                return w;
            };
            double w = widestPart(f);
            if (inner > 0 && w > inner + kEps && widest(f) > inner + kEps) {
                f.size = std::max(kMinFitSize, std::floor(f.size * inner / widest(f) * 4) / 4);
                while (f.size > kMinFitSize && widest(f) > inner + kEps) f.size = std::max(kMinFitSize, f.size - 0.25);
                w = -1;   // measured at the size it was before
            }
            row.fonts.append(f);
            QStringList lines;
            // A single line already measured is not measured again.
            for (const QString& part : parts) lines += wrap(f, part, inner, parts.size() == 1 ? w : -1);
            row.lines.append(lines);
            row.lineHeight = std::max(row.lineHeight, lineHeight(f));
            n = std::max(n, static_cast<int>(row.lines.last().size()));
        }
        const double needed = n * row.lineHeight + 2 * kCellPadY;
        const double set = r < t.rowHeights.size() ? t.rowHeights[r] : 0;
        // The height set is a least height: text is never cut to fit it.
        row.height = std::max(set, needed);
        out.append(row);
    }
    return out;
}

double PageDocument::tableHeight(const QList<RowLayout>& rows) const {
    double h = 0;
    for (const RowLayout& r : rows) h += r.height;
    return h;
}

PageDocument::FlowMark PageDocument::mark() const {
    FlowMark m;
    m.pages = static_cast<int>(pages_.size());
    m.page = page_;
    m.y = y_;
    if (page_ >= 1) {
        const Page& p = pages_[page_ - 1];
        m.texts = p.texts.size();
        m.lines = p.lines.size();
        m.fills = p.fills.size();
    }
    return m;
}

void PageDocument::rollback(const FlowMark& m) {
    while (pages_.size() > m.pages) pages_.removeLast();
    page_ = m.page;
    y_ = m.y;
    Page& p = pages_[page_ - 1];
    p.texts.resize(m.texts);
    p.lines.resize(m.lines);
    p.fills.resize(m.fills);
}

// A table that must stay with the one before it and does not fit after it:
// the earlier table is laid out again from where it started, breaking to the
// next page before its last filled row (or later, when that many rows and
// this table would not fit one page together).
void PageDocument::keepWithPrevious(int index, const QList<RowLayout>& ownRows) {
    const int prev = lastTable_;
    if (prev < 0 || prev >= index) return;
    const double own = tableHeight(ownRows);
    if (y_ + own <= bottomLimit() + kEps) return;
    const Table& p = tables_[prev];
    if (p.rowCount() == 0 || p.columns.isEmpty()) return;
    const QList<RowLayout> rows = layoutRows(p);
    // The earlier table's empty filler rows give way first.
    if (p.fillerShown > 0) {
        rollback(lastTableMark_);
        placeTable(prev, rows, 0, own);
        if (y_ + own <= bottomLimit() + kEps) return;
    }
    const int n = p.rowCount() - p.filler;
    if (n == 0) return;
    int k = n;
    for (int r = n; r >= 1; --r) {
        bool filled = false;
        for (int c = 0; c < p.columns.size() && !filled; ++c) filled = !p.cell(r, c).isEmpty();
        if (filled) {
            k = r;
            break;
        }
    }
    const double room = bottomLimit() - marginTop_;
    auto moved = [&](int from) {
        double h = rows[0].height + own;
        for (int r = from; r <= n; ++r) h += rows[r].height;
        return h;
    };
    while (k < n && moved(k) > room + kEps) ++k;
    if (moved(k) > room + kEps) return;
    rollback(lastTableMark_);
    placeTable(prev, rows, k, own);
}

double PageDocument::leadHeight(const Table& t, const QList<RowLayout>& rows) const {
    const double headH = t.columns.isEmpty() ? 0 : rows[0].height;
    double firstBody = t.rowCount() > 0 ? rows[1].height : 0;
    // The header with the first body row (or as much of it as a page holds).
    firstBody = std::min(firstBody, bottomLimit() - marginTop_ - headH);
    // A table kept together moves whole to the next page when it fits one.
    const double whole = tableHeight(rows);
    if (t.keepTogether && whole <= bottomLimit() - marginTop_ + kEps) return whole;
    return headH + firstBody;
}

bool PageDocument::keepChainWith(double needed, bool goesOn) {
    if (!chain_) return false;
    const KeptChain c = *chain_;
    chain_.reset();
    if (c.page != page_ || c.top <= marginTop_ + kEps || y_ + needed <= bottomLimit() + kEps) return false;
    QList<PlacedText>& texts = pages_[page_ - 1].texts;
    const QList<PlacedText> moved = texts.mid(c.text);
    texts.resize(c.text);
    const double height = y_ - c.top;
    breakPage();
    if (goesOn) chain_ = KeptChain{page_, pages_[page_ - 1].texts.size(), y_};
    const double shift = y_ - c.top;
    for (PlacedText t : moved) {
        t.page = page_;
        t.rect.translate(0, shift);
        pages_[page_ - 1].texts.append(t);
    }
    y_ += height;
    return true;
}

void PageDocument::placeTable(int index, const QList<RowLayout>& rows, int breakBefore, double reserve) {
    Table& t = tables_[index];
    const double content = pageWidth_ - marginLeft_ - marginRight_;
    const QList<double> widths = columnWidths(t);
    double total = 0;
    for (double w : widths) total += w;
    double x0 = marginLeft_;
    if (t.alignment == 1) x0 += (content - total) / 2;
    else if (t.alignment == 2) x0 += content - total;
    QList<double> edges{x0};
    for (double w : widths) edges.append(edges.last() + w);
    const int ncols = static_cast<int>(t.columns.size());

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

    // Places lines [from, from + count) of row r's cells in a piece of
    // height h; a whole row centres its text, a piece of a row taller than
    // a page starts at its top.
    auto placePiece = [&](int r, int from, int count, double h, bool whole) {
        const RowLayout& row = rows[r];
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
            const FontSpec& f = row.fonts[c];
            const double clh = lineHeight(f);
            const int n = std::clamp(static_cast<int>(row.lines[c].size()) - from, 0, count);
            const double ty = whole ? top + (h - n * clh) / 2 : top + kCellPadY;
            for (int i = 0; i < n; ++i) {
                const QString& text = row.lines[c][from + i];
                if (text.isEmpty()) continue;
                PlacedText p;
                p.kind = PlacedText::Cell;
                p.page = page_;
                p.rect = QRectF(edges[c] + kCellPadX, ty + i * clh, widths[c] - 2 * kCellPadX, clh);
                p.text = text;
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
    auto lineCount = [&](int r) {
        int n = 1;
        for (const auto& l : rows[r].lines) n = std::max(n, static_cast<int>(l.size()));
        return n;
    };
    const double headH = hasHeader ? rows[0].height : 0;
    auto atTop = [&] { return y_ <= marginTop_ + kEps; };
    auto newSegment = [&] {
        closeSegment();
        breakPage();
        segTop = y_;
        // A table running onto the next page repeats its header row there.
        if (hasHeader) placePiece(0, 0, lineCount(0), headH, true);
    };
    // A row taller than a whole page goes on over as many pages as it needs.
    auto placeRow = [&](int r) {
        const RowLayout& row = rows[r];
        if (y_ + row.height <= bottomLimit() + kEps) {
            placePiece(r, 0, lineCount(r), row.height, true);
            return;
        }
        // The header row itself starts a page without repeating itself.
        auto nextPage = [&] {
            if (r > 0) return newSegment();
            breakPage();
            segTop = y_;
        };
        if (row.height <= bottomLimit() - marginTop_ - headH + kEps) {
            if (!atTop()) nextPage();
            placePiece(r, 0, lineCount(r), row.height, true);
            return;
        }
        const int n = lineCount(r);
        int from = 0;
        while (from < n) {
            int fit = static_cast<int>(std::floor((bottomLimit() - y_ - 2 * kCellPadY + kEps) / row.lineHeight));
            if (fit < 1) {
                nextPage();
                fit = std::max(1, static_cast<int>(std::floor((bottomLimit() - y_ - 2 * kCellPadY + kEps) /
                                                              row.lineHeight)));
            }
            const int count = std::min(fit, n - from);
            placePiece(r, from, count, count * row.lineHeight + 2 * kCellPadY, false);
            from += count;
        }
    };

    double needed = leadHeight(t, rows);
    if (breakBefore == 1) needed = bottomLimit() - marginTop_ + 1;
    if (y_ + needed > bottomLimit() + kEps && !atTop()) breakPage();
    t.firstPage = page_;
    segTop = y_;
    if (hasHeader) placeRow(0);
    const int given = t.rowCount() - t.filler;
    t.fillerShown = 0;
    for (int r = 1; r <= t.rowCount(); ++r) {
        if (r == breakBefore && r > 1 && !atTop()) newSegment();
        // Filler rows only fill what the page has left.
        if (r > given && y_ + rows[r].height > bottomLimit() - reserve + kEps) break;
        if (r > given) ++t.fillerShown;
        placeRow(r);
    }
    closeSegment();
    t.lastPage = page_;
}

// ---- the model --------------------------------------------------------------------

// The parts of a header or footer as laid out in their band, the margin
// between the paper's printable edge and the flow. When the parts do not all
// fit the width at their size, each gets room in proportion to its width and
// is set smaller (or wrapped) within it, so no two parts overlap.
QList<PlacedText> PageDocument::layoutBand(const HeaderParts& parts, bool bold, bool footer) const {
    QList<PlacedText> out;
    if (parts.isEmpty()) return out;
    FontSpec f = hdrFont_;
    f.bold = bold;
    const double x0 = marginLeft_;
    const double w = pageWidth_ - marginLeft_ - marginRight_;
    const double bandTop = footer ? pageHeight_ - marginBottom_ : kPrintableEdge;
    const double bandBottom = footer ? pageHeight_ - kPrintableEdge : marginTop_;
    // A band thinner than a line still holds one line, from its printable edge.
    const double bandH = std::max(bandBottom - bandTop, lineHeight(f));

    const QString texts[3] = {parts.left, parts.centre, parts.right};
    double natural[3];
    int present = 0;
    double sum = 0;
    for (int i = 0; i < 3; ++i) {
        natural[i] = texts[i].isEmpty() ? 0 : textWidth(f, texts[i]);
        if (!texts[i].isEmpty()) ++present;
        sum += natural[i];
    }
    const double gaps = std::max(0, present - 1) * kBandGap;
    QRectF rects[3];
    if (sum + gaps <= w + kEps) {
        rects[0] = QRectF(x0, 0, natural[0], 0);
        rects[2] = QRectF(x0 + w - natural[2], 0, natural[2], 0);
        const double from = x0 + (natural[0] > 0 ? natural[0] + kBandGap : 0);
        const double to = x0 + w - (natural[2] > 0 ? natural[2] + kBandGap : 0);
        const double mid = x0 + w / 2;
        // Centred on the page when the other two leave it room there, else
        // centred in the room between them.
        if (mid - natural[1] / 2 >= from - kEps && mid + natural[1] / 2 <= to + kEps)
            rects[1] = QRectF(mid - natural[1] / 2, 0, natural[1], 0);
        else
            rects[1] = QRectF(from, 0, to - from, 0);
    } else {
        const double room = w - gaps;
        double x = x0;
        for (int i = 0; i < 3; ++i) {
            if (texts[i].isEmpty()) continue;
            const double width = room * natural[i] / sum;
            rects[i] = QRectF(x, 0, width, 0);
            x += width + kBandGap;
        }
    }
    for (int i = 0; i < 3; ++i) {
        if (texts[i].isEmpty()) continue;
        const Fitted fitted = fit(f, texts[i], rects[i].width(), bandH);
        const double lh = lineHeight(fitted.font);
        const double height = fitted.lines.size() * lh;
        double y = bandTop + std::max(0.0, (bandH - height) / 2);
        for (const QString& line : fitted.lines) {
            PlacedText t;
            t.kind = footer ? PlacedText::Footer : PlacedText::Header;
            t.page = 0;
            t.rect = QRectF(rects[i].left(), y, rects[i].width(), lh);
            t.text = line;
            t.alignment = i;
            t.font = fitted.font;
            out.append(t);
            y += lh;
        }
    }
    return out;
}

void PageDocument::decorate(Page& p, int page) const {
    if (!bands_) {
        bands_ = layoutBand(header_, headerBold_, false) + layoutBand(footer_, footerBold_, true);
        numberedFooters_.clear();
    }
    // A client's document of more than one page counts its own pages in the
    // footer's right part (when the footer leaves it free).
    const QList<PlacedText>* footer = nullptr;
    const int s = sectionOf(page);
    if (s >= 0 && !sections_[s].title.isEmpty() && footer_.right.isEmpty()) {
        const int first = sections_[s].firstPage;
        const int last = s + 1 < sections_.size() ? sections_[s + 1].firstPage - 1 : PageCount();
        if (last > first) {
            const QString number = QStringLiteral("Page %1 of %2").arg(page - first + 1).arg(last - first + 1);
            auto it = numberedFooters_.find(number);
            if (it == numberedFooters_.end()) {
                HeaderParts parts = footer_;
                parts.right = number;
                it = numberedFooters_.insert(number, layoutBand(parts, footerBold_, true));
            }
            footer = &*it;
        }
    }
    for (PlacedText t : *bands_) {
        if (footer && t.kind == PlacedText::Footer) continue;
        t.page = page;
        p.texts.append(t);
    }
    if (footer)
        for (PlacedText t : *footer) {
            t.page = page;
            p.texts.append(t);
        }
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
