#include "vb/ErrorTrap.h"
#include "vb/MsgBox.h"

namespace vb {

QString ErrorReportText(const QString& label, long number, const QString& description) {
    // Written exactly as the report has always read: no blank after the
    // label's hyphen (so "--2147217900"), and a description's own full stop
    // is kept even though the sentence adds another.
    return label + QString::number(number) + QLatin1Char(' ') + description +
           QStringLiteral(".  If error persists contact Vantrels author.");
}

void ShowErrorReport(const QString& label, const RuntimeError& e) {
    if (e.IsAnswered()) return;
    if (e.IsRefusal()) {
        MsgBox(e.Description(), vbOKOnly);
        return;
    }
    MsgBox(ErrorReportText(label, e.Number(), e.Description()), vbOKOnly);
}

RuntimeError ToRuntimeError(std::exception_ptr p) {
    if (!p) return RuntimeError(err::SqlEngine, QStringLiteral("Unspecified error"));
    try {
        std::rethrow_exception(p);
    } catch (const RuntimeError& e) {
        return e;
    } catch (const std::exception& e) {
        return RuntimeError(err::SqlEngine, QString::fromUtf8(e.what()));
    } catch (...) {
        return RuntimeError(err::SqlEngine, QStringLiteral("Unspecified error"));
    }
}

} // namespace vb
