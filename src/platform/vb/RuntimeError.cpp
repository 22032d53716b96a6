#include "vb/RuntimeError.h"

namespace vb {

QString ErrorDescription(long number) {
    switch (number) {
    case err::Overflow: return QStringLiteral("Overflow");
    case err::DivisionByZero: return QStringLiteral("Division by zero");
    case err::TypeMismatch: return QStringLiteral("Type mismatch");
    case err::FileNotFound: return QStringLiteral("File not found");
    case err::ObjectNotSet: return QStringLiteral("Object variable or With block variable not set");
    case err::InvalidUseOfNull: return QStringLiteral("Invalid use of Null");
    case err::NoCurrentRecord:
        return QStringLiteral("Either BOF or EOF is True, or the current record has been deleted. "
                              "Requested operation requires a current record.");
    case err::NotUpdatable:
        return QStringLiteral("Current Recordset does not support updating. This may be a limitation "
                              "of the provider, or of the selected locktype.");
    case err::ItemNotFound:
        return QStringLiteral("Item cannot be found in the collection corresponding to the requested "
                              "name or ordinal.");
    case err::ObjectClosed: return QStringLiteral("Operation is not allowed when the object is closed.");
    case err::ObjectOpen: return QStringLiteral("Operation is not allowed when the object is open.");
    case err::ProviderNotFound:
        return QStringLiteral("Provider cannot be found. It may not be properly installed.");
    case err::ConnectionUnusable:
        return QStringLiteral("The connection cannot be used to perform this operation. It is either "
                              "closed or invalid in this context.");
    default: return QString();
    }
}

RuntimeError FileError(long number, const QString& path) {
    switch (number) {
    case err::CouldNotFindFile:
        return RuntimeError(number, QStringLiteral("Could not find file '%1'.").arg(path));
    case err::FileInUse:
        return RuntimeError(number, QStringLiteral("Could not use '%1'; file already in use.").arg(path));
    case err::UnrecognizedFormat:
        return RuntimeError(number, QStringLiteral("Unrecognized database format '%1'.").arg(path));
    default:
        return RuntimeError(number);
    }
}

static QString standardOrGeneric(long number) {
    QString d = ErrorDescription(number);
    return d.isEmpty() ? QStringLiteral("Application-defined or object-defined error") : d;
}

RuntimeError::RuntimeError(long number, QString description)
    : std::runtime_error(description.toStdString()), number_(number), description_(std::move(description)) {}

RuntimeError::RuntimeError(long number) : RuntimeError(number, standardOrGeneric(number)) {}

RuntimeError RuntimeError::Refusal(long number, QString message) {
    RuntimeError e(number, std::move(message));
    e.refusal_ = true;
    return e;
}

RuntimeError RuntimeError::Answered(long number, QString message) {
    RuntimeError e(number, std::move(message));
    e.answered_ = true;
    return e;
}

void Raise(long number) { throw RuntimeError(number); }
void Raise(long number, const QString& description) { throw RuntimeError(number, description); }

} // namespace vb
