#pragma once
// The page-layout document the report windows build: a flow of paragraphs
// and tables running from the top margin down, page after page, plus text
// boxes placed at fixed positions, with a page header and footer.
//
//     doc.setPageMode(1); doc.setZoom(100);
//     doc.setMarginLeft("0.5in"); ... doc.StartDoc();
//     doc.setHeader({QString(), QString(), "Invoice #1001"});
//     doc.setFontBold(true);
//     doc.TextBox("Acme", "2in", "0.25in", "4in", ".25in", false);
//     doc.Paragraph("");
//     doc.StartTable(); doc.setTableBorder(9);
//     doc.AddTable("^1in|3in|>1.125in;", "Date|Description|Amount;", "1/2/2026|Paid|$5.00;");
//     doc.setTableCell(tcRows, 20);
//     doc.setTableCell(tcRowHeight, 1, "0.25in");
//     doc.setTableCell(tcFontBold, 0, 1, 0, 3, true);
//     doc.EndTable();
//     doc.setFooter("|We appreciate your business!|");
//     doc.EndDoc();
//
// Every operation lays out at once, so CurrentY and PageCount are always
// current, and a document left unfinished by an error still shows what was
// placed. Nothing given is ever dropped: a table row grows to hold its
// wrapped text, a text box's text is set smaller until it fits its box, and
// the parts of a page header or footer are set smaller (or wrapped) so they
// never run into each other. Lengths are texts of inches ("0.5in", ".25in"); a bad length
// raises run-time error 380. Positions in the laid-out model are inches from
// the page's top-left corner. Text boxes are measured from the page's edge,
// like the margins.
//
// Tests read the model, not pixels: Pages() (every placed text with its
// kind, rectangle and style; the lines drawn) and Tables() (each finished
// table's cells, as built).
#include <memory>
#include <optional>
#include <QHash>
#include <QList>
#include <QRectF>
#include <QLineF>
#include <QString>
#include <QStringList>
#include <QVariant>

class QPainter;

namespace printer {

// Settings of setTableCell.
enum TableCellSetting {
    tcRows = 1,          // no index: the body row count (rows are never dropped, see setTableCell)
    tcRowHeight = 7,     // row r: its height, a length text
    tcFontBold = 25,     // row1, col1, row2, col2: bold over the range
};

// Table border styles (setTableBorder).
enum TableBorderStyle {
    tbNone = 0,          // no lines
    tbBoxRows = 8,       // outer box and a line between rows
    tbGrid = 9,          // every cell boxed, header shaded
    tbBoxHeader = 10,    // outer box and a rule under the header, header shaded
};

// Inches of a length text: a decimal number followed by "in" (blanks
// around allowed, leading zero optional). Raises 380 when it is not one.
double ParseLength(const QString& text);

// Font of the flow or of the page header and footer.
struct FontSpec {
    QString family = QStringLiteral("Arial");
    double size = 11.25;   // points
    bool bold = false;
};

// The three parts of a page header or footer, taken as values: a "|" in
// them is text, not a separator.
struct HeaderParts {
    QString left, centre, right;
    bool isEmpty() const { return left.isEmpty() && centre.isEmpty() && right.isEmpty(); }
    // "left|centre|right": the first "|" ends the left part, the second the centre.
    static HeaderParts fromText(const QString& text);
};

// One column of a table format.
struct TableColumn {
    double width = 0;      // inches
    int alignment = 0;     // 0 left, 1 centre, 2 right
};

// The format language of AddTable: "^1in|3in|>1.125in;" — "^" centre,
// ">" right, "<" or none left. Raises 380 on a bad width.
QList<TableColumn> ParseTableFormat(const QString& format);
// Rows of a header or body text: cells split at "|", rows ended by ";"
// (the last ";" optional). "" gives no row.
QList<QStringList> ParseTableRows(const QString& text);

// A finished table as the document built it.
struct Table {
    QList<TableColumn> columns;
    QStringList header;              // row 0
    QList<QStringList> rows;         // rows 1..n (index 0 is row 1)
    QList<double> rowHeights;        // 0 = fits its text; index 0 is row 0
    QList<QList<bool>> bold;         // [row][col], row 0 the header
    int border = tbGrid;
    int alignment = 0;               // placement between the side margins
    int firstPage = 1, lastPage = 1;
    int fixedRows = 0;               // the row count set (tcRows); 0 none
    // The empty rows the row count added after the last row given: they give
    // way (fewer, down to none) before a row or what is kept with the table
    // moves to the next page, and never start a page of their own.
    int filler = 0;
    int fillerShown = 0;             // how many of them were placed
    bool keepTogether = false;       // never split across pages
    bool keepWithPrevious = false;   // stays on the page of the previous table's last filled rows
    FontSpec font;                   // the flow's font when it was finished
    // Text of row r (0 = header), column c (0-based); "" past the end.
    QString cell(int r, int c) const;
    bool isBold(int r, int c) const;
    int rowCount() const { return static_cast<int>(rows.size()); }   // body rows
};

// One placed piece of text.
struct PlacedText {
    enum Kind { Paragraph, TextBox, Cell, Header, Footer };
    Kind kind = Paragraph;
    int page = 1;                    // 1-based
    QRectF rect;                     // inches from the page's top-left; the text's line box
    QString text;                    // one line
    int alignment = 0;               // 0 left, 1 centre, 2 right, within rect
    FontSpec font;
    int table = -1, row = -1, col = -1;   // a cell: its table (index into Tables()), row (0 header), column
};

struct PlacedLine {
    int page = 1;
    QLineF line;                     // inches
    double width = 0.01;             // inches
};

struct PlacedFill {
    int page = 1;
    QRectF rect;                     // inches
};

struct Page {
    QList<PlacedText> texts;
    QList<PlacedLine> lines;
    QList<PlacedFill> fills;
};

class PageDocument {
public:
    PageDocument();
    virtual ~PageDocument();
    PageDocument(const PageDocument&) = delete;
    PageDocument& operator=(const PageDocument&) = delete;

    // Liberation fonts stand in for Arial and Courier New; done once, also by the constructor.
    static void InstallFontSubstitutes();

    // ---- document ------------------------------------------------------------
    void ClearDoc();
    void StartDoc();                 // a new, empty document; the flow at the top margin of page 1
    void EndDoc();                   // completes it and shows it
    void NewPage();
    bool IsDocOpen() const { return open_; }      // between StartDoc and EndDoc
    bool IsDocComplete() const { return complete_; }

    // ---- settings ------------------------------------------------------------
    void setPageMode(int mode) { pageMode_ = mode; }
    int PageMode() const { return pageMode_; }
    void setZoom(double percent);
    double Zoom() const { return zoom_; }
    // Page size in inches; Letter portrait unless changed.
    void setPageSize(double widthIn, double heightIn);
    double PageWidth() const { return pageWidth_; }
    double PageHeight() const { return pageHeight_; }

    void setMarginLeft(const QString& length);
    void setMarginRight(const QString& length);
    void setMarginTop(const QString& length);
    void setMarginBottom(const QString& length);
    double MarginLeft() const { return marginLeft_; }
    double MarginRight() const { return marginRight_; }
    double MarginTop() const { return marginTop_; }
    double MarginBottom() const { return marginBottom_; }

    // "left|centre|right", on every page; they take the bold setting in force
    // when set. Text from the data goes in as HeaderParts, so a "|" in it
    // stays text.
    void setHeader(const QString& text) { setHeader(HeaderParts::fromText(text)); }
    void setFooter(const QString& text) { setFooter(HeaderParts::fromText(text)); }
    void setHeader(const HeaderParts& parts);
    void setFooter(const HeaderParts& parts);
    // The parts joined by "|" ("" when all are empty).
    QString Header() const;
    QString Footer() const;
    HeaderParts PageHeader() const { return header_; }
    HeaderParts PageFooter() const { return footer_; }

    void setAlignment(int alignment);      // 0 left, 1 centre, 2 right
    int Alignment() const { return alignment_; }
    void setFontBold(bool bold) { font_.bold = bold; }
    bool FontBold() const { return font_.bold; }
    void setFontSize(double points);
    double FontSize() const { return font_.size; }
    void setFontName(const QString& family) { font_.family = family; }
    QString FontName() const { return font_.family; }
    // The design fonts: the flow's base font (Arial 11.25) and the font of
    // the page header and footer (Courier New 14.25).
    void setBaseFont(const FontSpec& f);
    FontSpec BaseFont() const { return baseFont_; }
    void setHdrFont(const FontSpec& f) { hdrFont_ = f; bands_.reset(); }
    FontSpec HdrFont() const { return hdrFont_; }

    // ---- flow ---------------------------------------------------------------
    // Appends a paragraph (word-wrapped between the margins, LF or CR LF
    // starts a new line, a tab is a space); "" appends an empty line.
    void Paragraph(const QString& text);
    // Paragraphs placed while this is on stay on one page with the block that
    // follows them (a table's header and first row, or a paragraph's first
    // line): a heading never stands alone at the foot of a page.
    void setKeepWithNext(bool on) { keepWithNext_ = on; }
    bool KeepWithNext() const { return keepWithNext_; }
    // The pages from here to the next NewPage form one client's document:
    // when it runs past one page, every later page begins with title and
    // " (continued)" above the flow, and the footer's right part reads
    // "Page n of m", counted within it. StartDoc and NewPage end it.
    void StartSection(const QString& title);
    // The name a saved copy is offered under ("Invoice 1022"); StartDoc clears it.
    void setDocName(const QString& name) { docName_ = name; }
    QString DocName() const { return docName_; }
    // The text in the rectangle (lengths from the page's edge, held within
    // the side margins), on the current page, one line per LF, word-wrapped to the box's width and set
    // smaller until it fits the box's height. The flow then goes on below the
    // box if the box reaches lower than the flow. The two arguments between the
    // height and the flag are not used by this program's documents.
    void TextBox(const QString& text, const QString& left, const QString& top,
                 const QString& width, const QString& height,
                 const QVariant& = QVariant(), const QVariant& = QVariant(), bool flag = false);

    void StartTable();
    // Adds the body's rows to the table begun; a non-empty format or header
    // replaces the table's own (the documents pass the same ones every call).
    void AddTable(const QString& format, const QString& header, const QString& body);
    // Like AddTable, but with one body row given cell by cell, so a cell text
    // may hold "|" or ";".
    void AddTableCells(const QString& format, const QString& header, const QStringList& cells);
    // The same with the header row also given cell by cell.
    void AddTableCells(const QString& format, const QStringList& header, const QStringList& cells);
    void setTableBorder(int style);
    // tcRows: value the body row count; rows added beyond it are kept (a
    // document never hides rows it was given) and take the height of the
    // last counted row. tcRowHeight: row, value a length: the row is at least
    // that high and grows to hold its wrapped text.
    // tcFontBold: row1, col1, row2, col2 (columns 1-based), value bool.
    void setTableCell(int setting, const QVariant& value);
    void setTableCell(int setting, int row, const QVariant& value);
    void setTableCell(int setting, int row1, int col1, int row2, int col2, const QVariant& value);
    // A table that is never split across pages: when it does not fit in what
    // is left of the page, it starts the next one.
    void setTableKeepTogether(bool on);
    // A table that stays on the page of the table placed just before it
    // (nothing placed between): when it does not fit after it, the earlier
    // table's rows from its last filled row on move to the next page too.
    void setTableKeepWithPrevious(bool on);
    void EndTable();                 // places the table into the flow at the current position

    // ---- where the flow stands ---------------------------------------------
    double CurrentY() const { return y_; }       // inches from the page's top
    int CurrentPage() const { return page_; }
    int PageCount() const;

    // ---- the laid-out model ------------------------------------------------------
    // Pages 1..PageCount (index 0 is page 1), headers and footers included.
    QList<Page> Pages() const;
    Page PageAt(int page) const;    // 1-based
    const QList<Table>& Tables() const { return tables_; }
    // Every placed text of one kind, in placing order (headers/footers per page).
    QList<PlacedText> Texts(PlacedText::Kind kind) const;
    // The text boxes' texts as given (with their LF), in order.
    QStringList TextBoxTexts() const { return boxTexts_; }

    // The width (inches) of text set in f, as the document measures it.
    static double TextWidth(const FontSpec& f, const QString& text);

    // Paints page (1-based) into target (device units), white paper included.
    void RenderPage(QPainter& painter, int page, const QRectF& target) const;

protected:
    // The document changed enough to repaint (EndDoc, ClearDoc, zoom).
    virtual void documentChanged() {}

public:
    // Headers and footers keep at least this far (inches) from the paper's
    // edge, where most printers cannot print.
    static constexpr double kPrintableEdge = 0.25;
    // The smallest size (points) text is set at to fit its room.
    static constexpr double kMinFitSize = 6.0;

private:
    struct Pending;                    // the table being built
    struct RowLayout;
    struct FlowMark {                  // where the flow stood, to take back what followed
        int pages = 0, page = 0;
        double y = 0;
        qsizetype texts = 0, lines = 0, fills = 0;
    };
    struct Fitted {
        FontSpec font;
        QStringList lines;
    };
    double lineHeight(const FontSpec& f) const;
    double textWidth(const FontSpec& f, const QString& s) const;
    // True when text certainly fits width without measuring it.
    static bool surelyFits(const FontSpec& f, const QString& text, double width);
    // textW: the text's width when already measured in f, else negative.
    QStringList wrap(const FontSpec& f, const QString& text, double width, double textW = -1) const;
    // The text (LF breaks lines) wrapped to width, set smaller until its
    // lines fit height, down to kMinFitSize.
    Fitted fit(const FontSpec& f, const QString& text, double width, double height) const;
    void ensurePage();
    void breakPage();
    double bottomLimit() const { return pageHeight_ - marginBottom_; }
    QList<double> columnWidths(const Table& t) const;   // as laid out, within the margins
    QList<RowLayout> layoutRows(const Table& t) const;
    double tableHeight(const QList<RowLayout>& rows) const;
    // reserve: room (inches) the filler rows leave free at the page's foot.
    void placeTable(int index, const QList<RowLayout>& rows, int breakBefore = 0, double reserve = 0);
    // What must fit below the flow for a table to start on this page.
    double leadHeight(const Table& t, const QList<RowLayout>& rows) const;
    // Moves the kept paragraphs just placed to the next page when needed
    // (inches) does not fit below them; goesOn: they are still being placed.
    bool keepChainWith(double needed, bool goesOn = false);
    int sectionOf(int page) const;     // index into sections_
    void keepWithPrevious(int index, const QList<RowLayout>& ownRows);
    void fitBoldGrid(Pending& p);
    void takeFormat(const QString& format, const QString& header);
    FlowMark mark() const;
    void rollback(const FlowMark& m);
    void requireTable(const char* op) const;
    QList<PlacedText> layoutBand(const HeaderParts& parts, bool bold, bool footer) const;
    void decorate(Page& p, int page) const;

    int pageMode_ = 1;
    double zoom_ = 100;
    double pageWidth_ = 8.5, pageHeight_ = 11;
    double marginLeft_ = 0.5, marginRight_ = 0.5, marginTop_ = 0.5, marginBottom_ = 0.5;
    HeaderParts header_, footer_;
    mutable std::optional<QList<PlacedText>> bands_;   // header and footer as laid out, page 0
    bool headerBold_ = false, footerBold_ = false;
    int alignment_ = 0;
    FontSpec baseFont_;
    FontSpec hdrFont_;
    FontSpec font_;
    int border_ = tbGrid;

    bool open_ = false, complete_ = false;
    int page_ = 0;                       // 0: no page yet
    double y_ = 0;
    QList<Page> pages_;
    QList<Table> tables_;
    QStringList boxTexts_;
    std::unique_ptr<Pending> pending_;
    int lastTable_ = -1;                 // the table last placed, while nothing followed it
    FlowMark lastTableMark_;             // where the flow stood before it
    bool keepWithNext_ = false;
    struct KeptChain {                   // the kept paragraphs waiting for their block
        int page = 0;
        qsizetype text = 0;
        double top = 0;
    };
    std::optional<KeptChain> chain_;
    struct Section {
        int firstPage = 1;
        QString title;                   // "" no continuation
    };
    QList<Section> sections_;
    mutable QHash<QString, QList<PlacedText>> numberedFooters_;   // by "n/m"
    QString docName_;
};

} // namespace printer
