#pragma once

#include <QByteArray>
#include <QString>

// Text that goes to or comes from the registry or a file keeps the ANSI code page
// of the Chinese system the suite was made for: GBK (code page 936).
QByteArray toAnsi(const QString& text);
QString fromAnsi(const QByteArray& bytes);
