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
    using printer::PlacedText;
    QStringList out;
    const double e = 1e-6, edge = printer::PageDocument::kPrintableEdge;
    for (const printer::Page& p : d.Pages())
        for (const PlacedText& t : p.texts) {
            const double w = printer::PageDocument::TextWidth(t.font, t.text);
            const double x = t.alignment == 0 ? t.rect.left() : t.alignment == 2 ? t.rect.right() - w
                                                                                 : t.rect.center().x() - w / 2;
            const bool flow = t.kind == PlacedText::Paragraph || t.kind == PlacedText::Cell;
            if (x < d.MarginLeft() - e || x + w > d.PageWidth() - d.MarginRight() + e || t.rect.top() < edge - e ||
                t.rect.bottom() > d.PageHeight() - edge + e ||
                (flow && (t.rect.top() < d.MarginTop() - e || t.rect.bottom() > d.PageHeight() - d.MarginBottom() + e)))
                out << QStringLiteral("page %1: %2").arg(t.page).arg(t.text);
        }
    return out;
}

} // namespace testsupport
