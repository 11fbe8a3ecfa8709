#include "AppTestSupport.h"
#include "AppTests.h"

#include "AppCodes.h"
#include "OddsDisplay.h"
#include "OddsFollower.h"
#include "OddsOverlay.h"

#include <QTemporaryDir>
#include <QTest>

#include <vector>

using namespace AppTest;

namespace {

std::vector<int> statuses(cField& f)
{
    std::vector<int> all;
    for (int i = 0; cCell* cell = f.Cell(i); ++i)
        all.push_back(cell->Status());
    return all;
}

int alphaAt(const fMines9& w, int cell)
{
    const QImage& layer = w.oddsDisplay->overlay().layer();
    const int side = w.Field->cDim() / PictureBox::TwipsPerPixel;
    return qAlpha(layer.pixel(cell % w.Field->Xx() * side + side / 2, cell / w.Field->Xx() * side + side / 2));
}

void showOdds(fMines9& w)
{
    w.mnuComp_Click(CompItem::Odds);
    QTRY_VERIFY(w.oddsDisplay->follower().current());
}

}

class TestOddsDisplay : public QObject {
    Q_OBJECT
private slots:
    // A layer that paints into the board's canvas or touches a cell or the view,
    // that does not mark a proven cell, that does not follow a move, or that
    // stays on the board once switched off.
    void overlayLeavesBoardAlone()
    {
        QTemporaryDir dir;
        fMines9 w;
        // The open 1 beside the far cells proves the one next to it mined and,
        // with a single mine on the board, the one beyond safe.
        importFld(w, {writeFld(dir.filePath("a.fld"), {"01000000"})});
        click(*w.Field, 7);
        const QImage canvas = w.Picture1->canvas().copy();
        const std::vector<int> before = statuses(*w.Field);
        const QList<int> views = checkedItems(w.mnuView);

        showOdds(w);
        QVERIFY(w.mnuComp[CompItem::Odds]->isChecked());
        QVERIFY(!w.oddsDisplay->overlay().isHidden());
        QVERIFY(alphaAt(w, 0) > 0);
        QVERIFY(alphaAt(w, 1) > 0);
        QCOMPARE(alphaAt(w, 5), 0);
        const int side = w.Field->cDim() / PictureBox::TwipsPerPixel;
        const QImage& layer = w.oddsDisplay->overlay().layer();
        QVERIFY(layer.copy(0, 0, side, side) != layer.copy(side, 0, side, side));
        w.mnuComp_Click(CompItem::Hint);
        QCOMPARE(w.oddsDisplay->overlay().hint(), 0);

        QCOMPARE(w.Picture1->canvas(), canvas);
        QCOMPARE(statuses(*w.Field), before);
        QCOMPARE(checkedItems(w.mnuView), views);

        click(*w.Field, 0);
        QCOMPARE(w.oddsDisplay->overlay().hint(), -1);
        QTRY_VERIFY(w.oddsDisplay->follower().current());
        QCOMPARE(alphaAt(w, 0), 0);
        QVERIFY(alphaAt(w, 1) > 0);

        w.mnuComp_Click(CompItem::Odds);
        QVERIFY(!w.mnuComp[CompItem::Odds]->isChecked());
        QVERIFY(w.oddsDisplay->overlay().isHidden());
    }

    // A hint that is not the proven safe cell, that points at a certain mine, or
    // that marks anything on a board no placement fits.
    void hint_data()
    {
        QTest::addColumn<QList<int>>("opened");
        QTest::addColumn<QList<int>>("flagged");
        QTest::addColumn<int>("hinted");
        QTest::addColumn<bool>("fits");
        QTest::newRow("proven safe") << QList<int>{7} << QList<int>{} << 0 << true;
        QTest::newRow("only a mine left") << QList<int>{7, 0} << QList<int>{} << -1 << true;
        QTest::newRow("wrong flag") << QList<int>{7} << QList<int>{0} << -1 << false;
    }
    void hint()
    {
        QFETCH(QList<int>, opened);
        QFETCH(QList<int>, flagged);
        QFETCH(int, hinted);
        QFETCH(bool, fits);
        QTemporaryDir dir;
        fMines9 w;
        importFld(w, {writeFld(dir.filePath("a.fld"), {"01000000"})});
        for (int cell : opened)
            click(*w.Field, cell);
        for (int cell : flagged)
            click(*w.Field, cell, PictureBox::RightButton);
        w.mnuComp_Click(CompItem::Hint);
        QCOMPARE(w.oddsDisplay->overlay().hint(), hinted);
        showOdds(w);
        QCOMPARE(w.oddsDisplay->overlay().isHidden(), !fits);
    }
};

int runOddsTests(int argc, char** argv)
{
    TestOddsDisplay tests;
    return QTest::qExec(&tests, argc, argv);
}

#include "tst_odds.moc"
