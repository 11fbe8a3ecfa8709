#include "DealProgress.h"

#include <QCoreApplication>
#include <QProgressDialog>

namespace {
constexpr int FullPercent = 100;
}

DealProgress::DealProgress(QWidget* owner) : m_owner(owner)
{
    m_clock.start();
}

DealProgress::~DealProgress()
{
    delete m_dialog;
}

bool DealProgress::report(int percent)
{
    if (!m_dialog) {
        // Before the dialog nothing is processed: the board must not take another
        // move while this one is still being dealt.
        if (m_clock.elapsed() < ShowAfter.count())
            return true;
        m_dialog = new QProgressDialog(QStringLiteral("正在生成无猜局…"), QStringLiteral("取消"), 0, FullPercent,
                                       m_owner);
        m_dialog->setWindowTitle(QStringLiteral("无猜局"));
        m_dialog->setWindowModality(Qt::ApplicationModal);
        m_dialog->setMinimumDuration(0);
        m_dialog->setAutoClose(false);
        m_dialog->setAutoReset(false);
        m_dialog->show();
    }
    m_dialog->setValue(percent);
    QCoreApplication::processEvents();
    return m_dialog && !m_dialog->wasCanceled();
}
