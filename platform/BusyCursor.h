#pragma once

// Shows the application's busy cursor for its lifetime. The cursor comes back on
// every way out, a failing command included, and a program without a GUI
// application (a console test, a benchmark) simply shows nothing.
class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    bool m_shown = false;
};
