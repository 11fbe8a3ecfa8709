#pragma once

#include <QMetaMethod>
#include <QObject>

// Tells whether anything is connected to a signal of another object. Qt only lets
// an object ask this about itself; the engine needs to know whether anybody watches
// the field it works on.
class SignalProbe : public QObject {
public:
    template <typename Signal>
    static bool connected(const QObject& sender, Signal signal)
    {
        // Named through this class, the protected member may be taken; the
        // pointer then works on any object.
        const auto probe = &SignalProbe::isSignalConnected;
        return (sender.*probe)(QMetaMethod::fromSignal(signal));
    }
};
