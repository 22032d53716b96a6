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

} // namespace testsupport
