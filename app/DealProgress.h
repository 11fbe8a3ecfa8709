#pragma once

#include <QElapsedTimer>
#include <QPointer>

#include <chrono>

class QProgressDialog;
class QWidget;

// What the player sees of a deal while it is being made. A deal that is over
// quickly shows nothing; a longer one shows a dialog with its progress and a
// button to cancel it, modal so that nothing else can change the board meanwhile,
// and lets the windows repaint at every report.
class DealProgress {
public:
    // How long a deal may take before the dialog appears.
    static constexpr std::chrono::milliseconds ShowAfter{300};

    explicit DealProgress(QWidget* owner);
    ~DealProgress();
    DealProgress(const DealProgress&) = delete;
    DealProgress& operator=(const DealProgress&) = delete;

    // The deal's progress callback: false once the player cancelled.
    bool report(int percent);

private:
    QWidget* m_owner = nullptr;
    QElapsedTimer m_clock;
    QPointer<QProgressDialog> m_dialog;
};
