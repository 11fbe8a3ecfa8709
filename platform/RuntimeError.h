#pragma once

#include <stdexcept>
#include <string>

// A numbered run-time error as the model raises it: callers switch on number(),
// and what() carries the short description.
class RuntimeError : public std::runtime_error {
public:
    RuntimeError(int number, const std::string& description)
        : std::runtime_error(description), m_number(number) {}
    int number() const { return m_number; }

private:
    int m_number = 0;
};

// Every error the platform raises is built here, so that each number and its
// description exist once; callers and handlers name the error, not the number.
// The minefield's own errors are built beside it, in field/FieldErrors.h.
namespace RuntimeErrorNumber {
constexpr int InvalidCall = 5;
constexpr int SubscriptOutOfRange = 9;
constexpr int TypeMismatch = 13;
constexpr int ObjectNotSet = 91;
constexpr int CannotCreateObject = 429;
constexpr int NotSupported = 438;
constexpr int Cancel = 32755;
}

inline RuntimeError invalidProcedureCall()
{
    return RuntimeError(RuntimeErrorNumber::InvalidCall, "Invalid procedure call or argument");
}
inline RuntimeError subscriptOutOfRange()
{
    return RuntimeError(RuntimeErrorNumber::SubscriptOutOfRange, "Subscript out of range");
}
inline RuntimeError typeMismatch() { return RuntimeError(RuntimeErrorNumber::TypeMismatch, "Type mismatch"); }
inline RuntimeError objectNotSet()
{
    return RuntimeError(RuntimeErrorNumber::ObjectNotSet, "Object variable or With block variable not set");
}
inline RuntimeError cannotCreateObject()
{
    return RuntimeError(RuntimeErrorNumber::CannotCreateObject, "ActiveX component can't create object");
}
inline RuntimeError notSupported()
{
    return RuntimeError(RuntimeErrorNumber::NotSupported, "Object doesn't support this property or method");
}
// A file dialog closed with Cancel ends the caller's operation.
inline RuntimeError cancelSelected() { return RuntimeError(RuntimeErrorNumber::Cancel, "Cancel was selected."); }
