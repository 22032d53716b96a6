#pragma once
// Run-time errors: one exception type carrying number and description.
#include <stdexcept>
#include <QString>

namespace vb {

namespace err {
constexpr long Overflow = 6;
constexpr long DivisionByZero = 11;
constexpr long TypeMismatch = 13;
constexpr long FileNotFound = 53;
constexpr long ObjectNotSet = 91;
constexpr long InvalidUseOfNull = 94;
constexpr long NoCurrentRecord = 3021;
constexpr long CouldNotFindFile = 3024;
constexpr long FileInUse = 3045;
constexpr long NotUpdatable = 3251;
constexpr long ItemNotFound = 3265;
constexpr long UnrecognizedFormat = 3343;
constexpr long ObjectClosed = 3704;
constexpr long ObjectOpen = 3705;
constexpr long ProviderNotFound = 3706;
constexpr long ConnectionUnusable = 3709;
constexpr long SqlPrepare = -2147217900;   // a statement the engine cannot prepare
constexpr long SqlEngine = -2147467259;    // any other engine failure
}

// The standard description of an error number ("" for numbers without one,
// and for 3024, 3045 and 3343, whose text names a file: see FileError).
QString ErrorDescription(long number);

// 3024 "Could not find file '<path>'.", 3045 "Could not use '<path>'; file
// already in use." and 3343 "Unrecognized database format '<path>'.".
class RuntimeError;
RuntimeError FileError(long number, const QString& path);

class RuntimeError : public std::runtime_error {
public:
    RuntimeError(long number, QString description);
    // With the standard description; a number without one gets the
    // runtime's generic "Application-defined or object-defined error".
    explicit RuntimeError(long number);
    long Number() const { return number_; }
    const QString& Description() const { return description_; }
    // A refusal of the user's input rather than a fault: the error report
    // shows its description alone.
    static RuntimeError Refusal(long number, QString message);
    bool IsRefusal() const { return refusal_; }
    // The user was asked and chose to stop (a busy file's Cancel): the
    // report shows nothing more.
    static RuntimeError Answered(long number, QString message);
    bool IsAnswered() const { return answered_; }
private:
    long number_;
    QString description_;
    bool refusal_ = false;
    bool answered_ = false;
};

[[noreturn]] void Raise(long number);
[[noreturn]] void Raise(long number, const QString& description);

} // namespace vb
