#include "LineSplitter.h"

#include <algorithm>

LineSplitter::LineSplitter(int maxLines, qint64 maxLineBytes)
    : m_maxLines(std::max(maxLines, 0)), m_maxLineBytes(std::max<qint64>(maxLineBytes, 0))
{
}

void LineSplitter::feed(QByteArrayView bytes)
{
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    while (p < end && !full()) {
        if (m_afterCr) {
            m_afterCr = false;
            if (*p == '\n') {
                ++p;
                continue;
            }
        }
        const char* const stop = std::find_if(p, end, [](char c) { return c == '\r' || c == '\n'; });
        if (stop > p) {
            const qint64 room = m_maxLineBytes - m_line.size();
            m_line.append(p, static_cast<qsizetype>(std::min<qint64>(room, stop - p)));
            m_lineStarted = true;
        }
        if (stop == end)
            return;
        m_afterCr = *stop == '\r';
        endLine();
        p = stop + 1;
    }
}

void LineSplitter::endOfInput()
{
    if (m_lineStarted && !full())
        endLine();
    m_afterCr = false;
}

void LineSplitter::endLine()
{
    m_lines.append(m_line);
    m_line.clear();
    m_lineStarted = false;
}

QList<QByteArray> LineSplitter::split(QByteArrayView bytes, int maxLines, qint64 maxLineBytes)
{
    LineSplitter splitter(maxLines, maxLineBytes);
    splitter.feed(bytes);
    splitter.endOfInput();
    return splitter.lines();
}
