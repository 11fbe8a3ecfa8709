#pragma once

#include <QByteArray>
#include <QString>

// Text as the suite's files and registry store it: the Chinese ANSI code page,
// GBK (code page 936). Characters GBK cannot hold are written as '?'; bytes that
// are not GBK read as the replacement character.
QByteArray toGbk(const QString& text);
QString fromGbk(const QByteArray& bytes);
