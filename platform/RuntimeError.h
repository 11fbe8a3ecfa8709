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

// The platform's own "Subscript out of range".
inline RuntimeError subscriptOutOfRange() { return RuntimeError(9, "Subscript out of range"); }
