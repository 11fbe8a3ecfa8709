#include "CornerPlacement.h"
#include "WindowSlot.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {
// The frame of a 494 × 375 window under a window manager with a 20-pixel title
// bar, and the end of that bar that holds the close button.
const QSize kFrame(496, 396);
const QSize kCloseCorner(32, 20);
}

class tst_placement : public QObject {
    Q_OBJECT
private slots:
    void cornerPosition_data();
    void cornerPosition();
    void slotsAcrossProcesses();
};

void tst_placement::cornerPosition_data()
{
    QTest::addColumn<QRect>("available");
    QTest::addColumn<int>("slot");
    QTest::addColumn<QPoint>("expected");   // null: a cascade, where only the rules below hold
    // 20 twips are one pixel from the right, 450 twips thirty from the bottom.
    QTest::newRow("corner") << QRect(0, 0, 1280, 1000) << 0 << QPoint(783, 574);
    QTest::newRow("second screen, panel on top") << QRect(1280, 24, 1024, 700) << 0 << QPoint(1807, 298);
    QTest::newRow("gaps give way") << QRect(0, 0, 500, 410) << 0 << QPoint(3, 0);
    QTest::newRow("larger than the area") << QRect(10, 10, 300, 200) << 0 << QPoint(10, 10);
    QTest::newRow("second slot stacks above") << QRect(0, 0, 1280, 1000) << 1 << QPoint(783, 178);
    QTest::newRow("second slot cascades") << QRect(0, 0, 1280, 750) << 1 << QPoint();
    QTest::newRow("third slot cascades at the top") << QRect(0, 0, 1280, 1000) << 3 << QPoint();
}

void tst_placement::cornerPosition()
{
    QFETCH(QRect, available);
    QFETCH(int, slot);
    QFETCH(QPoint, expected);
    const QRect frame(::cornerPosition(available, kFrame, slot), kFrame);
    if (!expected.isNull())
        QCOMPARE(frame.topLeft(), expected);
    const bool fits = kFrame.width() <= available.width() && kFrame.height() <= available.height();
    QVERIFY(fits ? available.contains(frame) : frame.topLeft() == available.topLeft());
    // Every window shown before stays closable.
    for (int below = 0; below < slot; ++below) {
        const QRect other(::cornerPosition(available, kFrame, below), kFrame);
        QVERIFY(!frame.intersects(QRect(QPoint(other.right() - kCloseCorner.width() + 1, other.top()), kCloseCorner)));
    }
}

// The second game's window takes the next place while the first game lives; the
// first place is free again once that game is gone, however it ended.
void tst_placement::slotsAcrossProcesses()
{
    QTemporaryDir runtime;
    QVERIFY(runtime.isValid());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    QProcess other;
    other.start(QCoreApplication::applicationDirPath() + QStringLiteral("/tidingo_host"), {QStringLiteral("slot")});
    QVERIFY(other.waitForReadyRead(60000));
    QCOMPARE(other.readAllStandardOutput().trimmed(), QByteArray("0"));

    WindowSlot mine;
    QCOMPARE(mine.take(), 1);
    QCOMPARE(mine.take(), 1);   // shown again, the window keeps its place
    other.kill();
    QVERIFY(other.waitForFinished(60000));
    QCOMPARE(WindowSlot().take(), 0);
}

QTEST_GUILESS_MAIN(tst_placement)
#include "tst_placement.moc"
