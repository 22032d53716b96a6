#pragma once
// Reads a laid-out document back as text, the way report tests compare it.
#include <QStringList>
#include "printer/PageDocument.h"

namespace testsupport {

// The cells of one table row (0 is the header).
QStringList row(const printer::Table& t, int r);
// Every paragraph, in order.
QStringList paragraphs(const printer::PageDocument& d);
// The flow down the pages: each paragraph ("*" before a bold one) and
// "[table]" where a table stands.
QStringList flow(const printer::PageDocument& d);
// Every text whose ink reaches past the side margins, off the printable
// edge, or (flow text) into the top or bottom margin: "page n: text".
QStringList outsideMargins(const printer::PageDocument& d);

} // namespace testsupport
