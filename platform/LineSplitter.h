#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

// Cuts text into lines the way the suite's text files end them: CR LF, a lone LF
// or a lone CR. The input may come in pieces of any size, so that a file is read a
// chunk at a time; a CR at the end of one piece and a LF at the start of the next
// end one line. At most maxLines lines are kept, and at most maxLineBytes bytes of
// each: no input, however long its lines, costs more memory than that.
class LineSplitter {
public:
    LineSplitter(int maxLines, qint64 maxLineBytes);

    // Takes the next piece of input; whatever comes after the last line wanted is ignored.
    void feed(QByteArrayView bytes);
    // The end of the input: a last line without an end counts, an empty tail after
    // the last end does not.
    void endOfInput();
    // True once maxLines lines have ended: nothing more can change them.
    bool full() const { return m_lines.size() >= m_maxLines; }
    // The lines that have ended; a line under way is not among them.
    const QList<QByteArray>& lines() const { return m_lines; }

    // The lines of bytes taken as a whole input.
    static QList<QByteArray> split(QByteArrayView bytes, int maxLines, qint64 maxLineBytes);

private:
    void endLine();

    int m_maxLines = 0;
    qint64 m_maxLineBytes = 0;
    QList<QByteArray> m_lines;
    QByteArray m_line;
    bool m_lineStarted = false;   // the line under way has bytes, kept or not
    bool m_afterCr = false;       // a LF now belongs to the CR that ended the last line
};
