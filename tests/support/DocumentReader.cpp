#include "support/DocumentReader.h"

namespace testsupport {

QStringList row(const printer::Table& t, int r) {
    QStringList cells;
    for (int c = 0; c < t.columns.size(); ++c) cells << t.cell(r, c);
    return cells;
}

QStringList paragraphs(const printer::PageDocument& d) {
    QStringList out;
    for (const printer::PlacedText& t : d.Texts(printer::PlacedText::Paragraph)) out << t.text;
    return out;
}

QStringList flow(const printer::PageDocument& d) {
    QStringList out;
    int lastTable = -1;
    for (const printer::Page& p : d.Pages())
        for (const printer::PlacedText& t : p.texts) {
            if (t.kind == printer::PlacedText::Paragraph) out << (t.font.bold ? "*" : "") + t.text;
            if (t.kind == printer::PlacedText::Cell && t.table != lastTable) {
                out << QStringLiteral("[table]");
                lastTable = t.table;
            }
        }
    return out;
}

QStringList outsideMargins(const printer::PageDocument& d) {
    QStringList out;
    const double e = 1e-6, edge = printer::PageDocument::kPrintableEdge, bottom = d.PageHeight() - d.MarginBottom();
    for (const printer::Page& p : d.Pages())
        for (const printer::PlacedText& t : p.texts) {
            const double w = printer::PageDocument::TextWidth(t.font, t.text), free = t.rect.width() - w;
            const double x = t.rect.left() + (t.alignment == 2 ? free : t.alignment == 1 ? free / 2 : 0);
            const bool flow = t.kind == printer::PlacedText::Paragraph || t.kind == printer::PlacedText::Cell;
            if (x < d.MarginLeft() - e || x + w > d.PageWidth() - d.MarginRight() + e || t.rect.top() < edge - e ||
                t.rect.bottom() > d.PageHeight() - edge + e ||
                (flow && (t.rect.top() < d.MarginTop() - e || t.rect.bottom() > bottom + e)))
                out << QStringLiteral("page %1: %2").arg(t.page).arg(t.text);
        }
    return out;
}

} // namespace testsupport
