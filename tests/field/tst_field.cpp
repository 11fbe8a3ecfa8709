#include "FieldCodes.h"
#include "FieldErrors.h"
#include "FieldTestSupport.h"
#include "cCell.h"
#include "cField.h"

#include "Clock.h"
#include "PictureBox.h"
#include "RuntimeError.h"
#include "Rnd.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <set>
#include <utility>
#include <vector>

namespace {

// The plain recursive walk, one call per cell, as the oracle for the field's
// flood, which walks without recursion.
void referenceChkCell(cField& field, int index, std::vector<int>& order);

void referenceChkAll(cField& field, int index, std::vector<int>& order)
{
    for (int n : field.Cell(index)->Ngh()) {
        if (field.Cell(n)->Status() == CellStatus::Covered)
            referenceChkCell(field, n, order);
    }
}

void referenceChkCell(cField& field, int index, std::vector<int>& order)
{
    cCell* cell = field.Cell(index);
    const int before = cell->Status();
    cell->Check(CellAction::Open, field);
    if (cell->Status() != before)
        order.push_back(index);
    if (cell->Nr() == 0 && cell->Status() == CellStatus::Opened)
        referenceChkAll(field, index, order);
}

std::vector<int> expectedNeighbours(int index, int w, int h)
{
    const int x = index % w, y = index / w;
    std::vector<int> out;
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            if ((dx || dy) && x + dx >= 0 && x + dx < w && y + dy >= 0 && y + dy < h)
                out.push_back((y + dy) * w + x + dx);
        }
    }
    return out;
}

int statusCount(cField& field, int status)
{
    int n = 0;
    for (int i = 0; field.Cell(i); ++i)
        n += field.Cell(i)->Status() == status ? 1 : 0;
    return n;
}

// The statuses and numbers of the cells themselves, as the field's bytes must give them.
std::pair<std::vector<std::int8_t>, std::vector<std::int8_t>> cellBytes(cField& field)
{
    std::pair<std::vector<std::int8_t>, std::vector<std::int8_t>> bytes;
    for (int i = 0; field.Cell(i); ++i) {
        bytes.first.push_back(static_cast<std::int8_t>(field.Cell(i)->Status()));
        bytes.second.push_back(static_cast<std::int8_t>(field.Cell(i)->Nr()));
    }
    return bytes;
}

void verifyBytes(cField& field)
{
    const auto truth = cellBytes(field);
    QCOMPARE(field.statusBytes(), truth.first);
    QCOMPARE(field.numberBytes(), truth.second);
}

void flag(cField& field, int index)
{
    field.Cell(index)->Check(CellAction::ToggleFlag, field);
    field.CntM();
}

} // namespace

class tst_Field : public QObject {
    Q_OBJECT

private slots:
    void cellTransitions_data();
    void cellTransitions();
    void cellNrRange();
    void errorDescriptions_data();
    void errorDescriptions();
    void cellInitAndNeighbours();

    void neighbourOrderOnKnownCells();
    void widthAndHeightLimits();
    void mineTotalLet();
    void cellAccess();
    void resetInvariants_data();
    void resetInvariants();
    void resetWithTooManyMines();
    void addMineFollowsThePool();
    void addMineRefusesTheLastFreeCell();
    void generatorIsNotReseeded();
    void poolRebuildAndFlagCount();

    void floodMatchesRecursiveWalk_data();
    void floodMatchesRecursiveWalk();
    void floodOpensWholeLargestBoard();
    void flagsAreWalls();
    void reopeningAnEmptyCell();
    void winAndLoss();
    void chordWithWrongFlagLoses();
    void lossRedrawsOnlyCoveredAndFlagged();

    void statusSwitchesTimerAndBoard();
    void timeKeepsFirstStartAndFreezesInEditMode();
    void timeAcrossMidnight();
    void setupAndResetEvents();

    void resetDrawsAsTheAscendingPool_data();
    void resetDrawsAsTheAscendingPool();
    void countsAndRecordFollowEveryChange();
    void neighbourListsAsResetBuiltThem();
};

void tst_Field::cellTransitions_data()
{
    QTest::addColumn<int>("before");
    QTest::addColumn<bool>("mine");
    QTest::addColumn<int>("action");
    QTest::addColumn<int>("after");

    using namespace CellStatus;
    const struct {
        const char* name;
        int before;
        bool mine;
        int action, after;
    } rows[] = {
        {"covered open", Covered, false, CellAction::Open, Opened},
        {"covered open mine", Covered, true, CellAction::Open, Exploded},
        {"covered flag", Covered, false, CellAction::ToggleFlag, Flagged},
        {"covered press", Covered, false, CellAction::TogglePressed, Pressed},
        {"opened open", Opened, false, CellAction::Open, Opened},
        {"opened flag", Opened, false, CellAction::ToggleFlag, Opened},
        {"opened press", Opened, false, CellAction::TogglePressed, Opened},
        {"flagged open", Flagged, true, CellAction::Open, Flagged},
        {"flagged flag", Flagged, false, CellAction::ToggleFlag, Covered},
        {"flagged press", Flagged, false, CellAction::TogglePressed, Flagged},
        {"pressed open", Pressed, false, CellAction::Open, Opened},
        {"pressed open mine", Pressed, true, CellAction::Open, Exploded},
        {"pressed flag", Pressed, false, CellAction::ToggleFlag, Flagged},
        {"pressed press", Pressed, false, CellAction::TogglePressed, Covered},
        {"exploded open", Exploded, true, CellAction::Open, Exploded},
        {"exploded flag", Exploded, true, CellAction::ToggleFlag, Exploded},
        {"exploded press", Exploded, true, CellAction::TogglePressed, Exploded},
        {"unknown action", Covered, false, 5, Covered},
    };
    for (const auto& r : rows)
        QTest::newRow(r.name) << r.before << r.mine << r.action << r.after;
}

void tst_Field::cellTransitions()
{
    QFETCH(int, before);
    QFETCH(bool, mine);
    QFETCH(int, action);
    QFETCH(int, after);

    cField field;
    cCell cell;
    cell.Init(0, 9, mine);
    // Reach the starting status through the actions themselves.
    switch (before) {
    case CellStatus::Opened:
        cell.Check(CellAction::Open, field);
        break;
    case CellStatus::Flagged:
        cell.Check(CellAction::ToggleFlag, field);
        break;
    case CellStatus::Pressed:
        cell.Check(CellAction::TogglePressed, field);
        break;
    case CellStatus::Exploded:
        cell.Check(CellAction::Open, field);
        break;
    default:
        break;
    }
    QCOMPARE(cell.Status(), before);
    cell.Check(action, field);
    QCOMPARE(cell.Status(), after);
    QCOMPARE(cell.Mine(), mine);
}

void tst_Field::cellNrRange()
{
    cCell cell;
    cell.setNr(8);
    QCOMPARE(cell.Nr(), 8);
    cell.setNr(0);
    QCOMPARE(cell.Nr(), 0);
    cell.setNr(3);
    for (int bad : {9, -1, 100}) {
        try {
            cell.setNr(bad);
            QFAIL("Nr accepted a value outside 0..8");
        } catch (const RuntimeError& e) {
            QCOMPARE(e.number(), FieldErrorNumber::CellNumber);
            QCOMPARE(QString::fromStdString(e.what()), QStringLiteral("error in Cell.Nr"));
        }
        QCOMPARE(cell.Nr(), 3);
    }
}

// Handlers and other programs tell the minefield's errors apart by these.
void tst_Field::errorDescriptions_data()
{
    QTest::addColumn<std::function<RuntimeError()>>("make");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("description");
    QTest::newRow("cell number") << std::function(cellNumberError) << 100 << "error in Cell.Nr";
    QTest::newRow("mine total") << std::function(mineTotalError) << 101 << "error in MTot";
    QTest::newRow("cell") << std::function(cellError) << 900 << "error in cell";
    QTest::newRow("size") << std::function(sizeError) << 999 << "error in size";
}

void tst_Field::errorDescriptions()
{
    QFETCH(std::function<RuntimeError()>, make);
    QFETCH(int, number);
    QFETCH(QString, description);
    const RuntimeError error = make();
    QCOMPARE(error.number(), number);
    QCOMPARE(QString::fromStdString(error.what()), description);
}

void tst_Field::cellInitAndNeighbours()
{
    cField field;
    cCell cell;
    QVERIFY(cell.Ngh().empty());
    cell.Check(CellAction::ToggleFlag, field);
    cell.setNr(4);
    cell.addNgh(7);
    cell.Init(37, 30, false);
    QCOMPARE(cell.X(), 7);
    QCOMPARE(cell.Y(), 1);
    QCOMPARE(cell.Status(), CellStatus::Covered);
    // Init leaves the number and the neighbours alone.
    QCOMPARE(cell.Nr(), 4);
    cell.addNgh(3);
    cell.addNgh(5);
    QCOMPARE(cell.Ngh(), (std::vector<int>{7, 3, 5}));
}

void tst_Field::neighbourOrderOnKnownCells()
{
    cField field;
    field.Setup(30, 16, 10, ViewMode::Normal, ZoomSize::Normal);
    QCOMPARE(field.Cell(0)->Ngh(), (std::vector<int>{1, 30, 31}));
    QCOMPARE(field.Cell(31)->Ngh(), (std::vector<int>{0, 1, 2, 30, 32, 60, 61, 62}));
    QCOMPARE(field.Cell(479)->Ngh(), (std::vector<int>{448, 449, 478}));

    field.Setup(8, 1, 0, ViewMode::Normal, ZoomSize::Normal);
    QCOMPARE(field.Cell(0)->Ngh(), (std::vector<int>{1}));
    for (int i = 1; i < 7; ++i)
        QCOMPARE(field.Cell(i)->Ngh(), (std::vector<int>{i - 1, i + 1}));
    QCOMPARE(field.Cell(7)->Ngh(), (std::vector<int>{6}));
}

void tst_Field::widthAndHeightLimits()
{
    cField field;
    QSignalSpy changeXx(&field, &cField::ChangeXx);
    field.setXx(30);
    field.setYy(16);
    for (int bad : {7, 256, 0, -5}) {
        field.setXx(bad);
        QCOMPARE(field.Xx(), 30);
    }
    QCOMPARE(changeXx.count(), 5);
    field.setXx(8);
    field.setXx(255);
    QCOMPARE(field.Xx(), 255);

    QSignalSpy anySignal(&field, &cField::ChangeSize);
    for (int bad : {0, 167, -1}) {
        field.setYy(bad);
        QCOMPARE(field.Yy(), 16);
    }
    field.setYy(1);
    QCOMPARE(field.Yy(), 1);
    field.setYy(166);
    QCOMPARE(field.Yy(), 166);
    QCOMPARE(changeXx.count(), 7);
    QCOMPARE(anySignal.count(), 0);
}

void tst_Field::mineTotalLet()
{
    cField field;
    field.Setup(9, 9, 10, ViewMode::Normal, ZoomSize::Normal);
    try {
        field.setMTot(-1);
        QFAIL("a negative mine total was accepted");
    } catch (const RuntimeError& e) {
        QCOMPARE(e.number(), FieldErrorNumber::MineTotal);
        QCOMPARE(QString::fromStdString(e.what()), QStringLiteral("error in MTot"));
    }
    QCOMPARE(field.MTot(), 10);
    // The let only stores: the board and the counter stay as they are.
    field.setMTot(500);
    QCOMPARE(field.MCnt(), 10);
    field.setMTot(0);
    field.Reset();
    QCOMPARE(field.FreePool().size(), size_t(81));
    for (int i = 0; field.Cell(i); ++i)
        QVERIFY(!field.Cell(i)->Mine());
}

void tst_Field::cellAccess()
{
    cField field;
    // A new field has one slot, so walking to the first null stops after it.
    QVERIFY(field.Cell(0));
    QVERIFY(!field.Cell(1));
    field.Setup(9, 9, 10, ViewMode::Normal, ZoomSize::Normal);
    QVERIFY(field.Cell(80));
    QVERIFY(!field.Cell(81));
    try {
        field.Cell(-1);
        QFAIL("a negative index was accepted");
    } catch (const RuntimeError& e) {
        QCOMPARE(e.number(), RuntimeErrorNumber::SubscriptOutOfRange);
    }
    for (int bad : {-1, 81}) {
        try {
            field.setCell(bad, std::make_unique<cCell>());
            QFAIL("a cell was stored outside the board");
        } catch (const RuntimeError& e) {
            QCOMPARE(e.number(), FieldErrorNumber::Cell);
            QCOMPARE(QString::fromStdString(e.what()), QStringLiteral("error in cell"));
        }
    }
    auto replacement = std::make_unique<cCell>();
    cCell* raw = replacement.get();
    field.setCell(40, std::move(replacement));
    QCOMPARE(field.Cell(40), raw);
    // Taking a cell away leaves a fresh, covered one: no index of the board is ever empty.
    field.Cell(41)->Check(CellAction::ToggleFlag, field);
    field.setCell(41, nullptr);
    const cField& seen = field;
    QVERIFY(seen.Cell(41));
    QCOMPARE(seen.Cell(41)->Status(), CellStatus::Covered);
    QVERIFY(!seen.Cell(81));
}

void tst_Field::resetInvariants_data()
{
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("mines");
    for (auto [w, h] : {std::pair{8, 1}, {9, 9}, {30, 16}, {255, 166}}) {
        for (int mines : {0, 1, w * h - 1, w * h / 5}) {
            const QByteArray name = QByteArray::number(w) + "x" + QByteArray::number(h) + " with "
                                    + QByteArray::number(mines);
            QTest::newRow(name.constData()) << w << h << mines;
        }
    }
}

void tst_Field::resetInvariants()
{
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(int, mines);

    cField field;
    field.Randomize(static_cast<quint32>(w * 1000 + mines));
    field.Setup(w, h, mines, ViewMode::Normal, ZoomSize::Small);
    for (int round = 0; round < 3; ++round) {
        QCOMPARE(field.FldStatus(), FieldStatus::Ready);
        QCOMPARE(field.MCnt(), mines);
        QCOMPARE(field.Index0, -1);
        QCOMPARE(field.Mouse, qint16(0));
        QCOMPARE(field.cellCount(), w * h);
        QVERIFY(!field.Cell(w * h));

        std::vector<int> safe;
        int mineCount = 0;
        for (int i = 0; i < w * h; ++i) {
            cCell* cell = field.Cell(i);
            QCOMPARE(cell->Status(), CellStatus::Covered);
            QCOMPARE(cell->X(), i % w);
            QCOMPARE(cell->Y(), i / w);
            const std::vector<int> ngh = expectedNeighbours(i, w, h);
            if (cell->Ngh() != ngh)
                QFAIL(qPrintable(QStringLiteral("neighbours of cell %1 differ").arg(i)));
            if (cell->Mine()) {
                ++mineCount;
                QCOMPARE(cell->Nr(), 0);
            } else {
                safe.push_back(i);
                const int n = static_cast<int>(
                    std::count_if(ngh.begin(), ngh.end(), [&](int k) { return field.Cell(k)->Mine(); }));
                QCOMPARE(cell->Nr(), n);
            }
        }
        QCOMPARE(mineCount, mines);
        // The pool is exactly the safe cells, ascending and without a gap.
        QCOMPARE(field.FreePool(), safe);
        field.Reset();
    }
}

void tst_Field::resetWithTooManyMines()
{
    cField field;
    PictureBox box;
    field.setPic(&box);
    field.Setup(9, 9, 80, ViewMode::Normal, ZoomSize::Normal);
    QCOMPARE(field.FreePool().size(), size_t(1));
    QCOMPARE(statusCount(field, CellStatus::Covered), 81);

    field.setMTot(81);
    try {
        field.Reset();
        QFAIL("a board without a free cell was dealt");
    } catch (const RuntimeError& e) {
        QCOMPARE(e.number(), RuntimeErrorNumber::SubscriptOutOfRange);
    }
    // The reset stopped at the failing draw: still resetting, board disabled.
    QCOMPARE(field.FldStatus(), FieldStatus::Resetting);
    QVERIFY(!box.isEnabled());
    QCOMPARE(field.FreePool().size(), size_t(1));
}

void tst_Field::addMineFollowsThePool()
{
    // Each draw picks entry floor(r * (u + 0.99999999)) of the ascending pool.
    cField field;
    field.Setup(10, 3, 0, ViewMode::Normal, ZoomSize::Normal);
    field.Randomize(77);
    Rnd mirror;
    mirror.Randomize(77);
    std::vector<int> pool = field.FreePool();
    for (int k = 0; k < 29; ++k) {
        const int u = static_cast<int>(pool.size()) - 1;
        const int r = static_cast<int>(std::floor(static_cast<double>(mirror()) * (u + 0.99999999)));
        QVERIFY(r >= 0 && r <= u);
        const int chosen = pool[static_cast<size_t>(r)];
        pool.erase(pool.begin() + r);
        field.AddMine();
        QVERIFY(field.Cell(chosen)->Mine());
        QCOMPARE(field.FreePool(), pool);
    }
}

void tst_Field::addMineRefusesTheLastFreeCell()
{
    cField field;
    field.Setup(8, 1, 7, ViewMode::Normal, ZoomSize::Normal);
    const int freeCell = field.FreePool().at(0);
    try {
        field.AddMine();
        QFAIL("the last free cell was mined");
    } catch (const RuntimeError& e) {
        QCOMPARE(e.number(), RuntimeErrorNumber::SubscriptOutOfRange);
    }
    QVERIFY(!field.Cell(freeCell)->Mine());
    QCOMPARE(field.FreePool(), std::vector<int>{freeCell});

    cField fresh;
    try {
        fresh.AddMine();
        QFAIL("a field without a pool placed a mine");
    } catch (const RuntimeError& e) {
        QCOMPARE(e.number(), RuntimeErrorNumber::SubscriptOutOfRange);
    }
}

void tst_Field::generatorIsNotReseeded()
{
    auto layout = [](cField& field) {
        std::vector<bool> mines;
        for (int i = 0; field.Cell(i); ++i)
            mines.push_back(field.Cell(i)->Mine());
        return mines;
    };
    cField a, b;
    a.Randomize(5);
    b.Randomize(5);
    a.Setup(30, 16, 99, ViewMode::Normal, ZoomSize::Normal);
    b.Setup(30, 16, 99, ViewMode::Normal, ZoomSize::Normal);
    const auto first = layout(a);
    QCOMPARE(layout(b), first);
    a.Reset();
    b.Reset();
    // The second board continues the same sequence instead of repeating the first.
    QVERIFY(layout(a) != first);
    QCOMPARE(layout(a), layout(b));

    // Fields made at the same moment still deal different boards.
    cField c, d;
    c.Setup(30, 16, 99, ViewMode::Normal, ZoomSize::Normal);
    d.Setup(30, 16, 99, ViewMode::Normal, ZoomSize::Normal);
    QVERIFY(layout(c) != layout(d));
}

void tst_Field::poolRebuildAndFlagCount()
{
    cField field;
    layMines(field, 8, 2, {0, 5, 15});
    QCOMPARE(field.FreePool(), (std::vector<int>{1, 2, 3, 4, 6, 7, 8, 9, 10, 11, 12, 13, 14}));
    QCOMPARE(field.Cell(1)->Nr(), 1);
    QCOMPARE(field.Cell(4)->Nr(), 1);
    QCOMPARE(field.Cell(14)->Nr(), 2);
    QCOMPARE(field.Cell(6)->Nr(), 2);

    field.Cell(1)->Check(CellAction::ToggleFlag, field);
    field.Cell(2)->Check(CellAction::TogglePressed, field);
    field.CntM();
    QCOMPARE(field.MCnt(), 2);

    for (int i = 0; field.Cell(i); ++i)
        field.Cell(i)->setMine(true);
    try {
        field.CntO();
        QFAIL("an all-mine board gave a pool");
    } catch (const RuntimeError& e) {
        QCOMPARE(e.number(), RuntimeErrorNumber::SubscriptOutOfRange);
    }
    QCOMPARE(field.FreePool(), std::vector<int>{0});
}

void tst_Field::floodMatchesRecursiveWalk_data()
{
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("mines");
    QTest::addColumn<int>("flags");
    // Whether the field is kept from vouching for its lists, so that it walks them.
    QTest::addColumn<bool>("lists");
    // Whether the walk starts with ChkAll, which leaves the start cell as it is:
    // a covered empty one is then opened and walked from on the way.
    QTest::addColumn<bool>("around");
    QTest::newRow("8x1") << 8 << 1 << 1 << 1 << false << false;
    QTest::newRow("9x9 sparse") << 9 << 9 << 5 << 3 << false << false;
    QTest::newRow("30x16 expert") << 30 << 16 << 99 << 10 << false << false;
    QTest::newRow("30x16 thin") << 30 << 16 << 20 << 25 << false << false;
    QTest::newRow("64x40") << 64 << 40 << 200 << 40 << false << false;
    QTest::newRow("255x166") << 255 << 166 << 2000 << 300 << false << false;
    QTest::newRow("30x16 expert, lists") << 30 << 16 << 99 << 10 << true << false;
    QTest::newRow("255x166, lists") << 255 << 166 << 2000 << 300 << true << false;
    QTest::newRow("30x16 thin, around") << 30 << 16 << 20 << 25 << false << true;
    QTest::newRow("30x16 thin, lists, around") << 30 << 16 << 20 << 25 << true << true;
}

void tst_Field::floodMatchesRecursiveWalk()
{
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(int, mines);
    QFETCH(int, flags);
    QFETCH(bool, lists);
    QFETCH(bool, around);

    std::mt19937 rng(static_cast<unsigned>(w * h + mines));
    const int boards = w * h > 10000 ? 3 : 40;
    for (int b = 0; b < boards; ++b) {
        const auto seed = static_cast<quint32>(rng());
        const int start = static_cast<int>(rng() % static_cast<unsigned>(w * h));
        std::vector<int> flagged;
        for (int f = 0; f < flags; ++f)
            flagged.push_back(static_cast<int>(rng() % static_cast<unsigned>(w * h)));

        RecordingBox box;
        box.columns = w;
        cField field;
        field.Randomize(seed);
        field.Setup(w, h, mines, ViewMode::Normal, ZoomSize::Tiny);
        if (lists)
            field.setXx(w);
        QCOMPARE(field.standardNeighbours(), !lists);
        field.setPic(&box);
        box.pitch = field.cDim();
        cField reference;
        reference.Randomize(seed);
        reference.Setup(w, h, mines, ViewMode::Normal, ZoomSize::Tiny);
        std::set<int> flagSet(flagged.begin(), flagged.end());
        for (int f : flagSet) {
            field.Cell(f)->Check(CellAction::ToggleFlag, field);
            reference.Cell(f)->Check(CellAction::ToggleFlag, reference);
        }

        box.drawn.clear();
        std::vector<int> expected;
        if (around) {
            field.ChkAll(start);
            referenceChkAll(reference, start, expected);
        } else {
            field.ChkCell(start);
            referenceChkCell(reference, start, expected);
        }
        // Every open redraws its cell once, so the drawing order is the opening order.
        std::vector<int> opened;
        for (int i : box.drawn) {
            if (field.Cell(i)->Status() != CellStatus::Flagged)
                opened.push_back(i);
        }
        if (!around && field.Cell(start)->Status() == CellStatus::Flagged)
            opened.clear();
        QCOMPARE(opened, expected);
        for (int i = 0; i < w * h; ++i)
            QCOMPARE(field.Cell(i)->Status(), reference.Cell(i)->Status());
    }
}

void tst_Field::floodOpensWholeLargestBoard()
{
    cField field;
    field.Setup(255, 166, 0, ViewMode::Normal, ZoomSize::Tiny);
    QSignalSpy update(&field, &cField::Update);
    field.ChkCell(0);
    QCOMPARE(statusCount(field, CellStatus::Opened), 255 * 166);
    // A mine-free board is won by the same move.
    field.ChkWin();
    QCOMPARE(field.FldStatus(), FieldStatus::Won);
    QCOMPARE(update.count(), 1);
    QCOMPARE(update.at(0).at(0).toInt(), 1);
}

void tst_Field::flagsAreWalls()
{
    // One mine in the corner; a flagged safe column splits the empty region.
    cField field;
    layMines(field, 9, 3, {8});
    for (int row = 0; row < 3; ++row)
        flag(field, row * 9 + 3);
    field.ChkCell(0);
    for (int row = 0; row < 3; ++row) {
        QCOMPARE(field.Cell(row * 9 + 3)->Status(), CellStatus::Flagged);
        for (int x = 0; x < 9; ++x) {
            const int expected = x < 3 ? CellStatus::Opened : x == 3 ? CellStatus::Flagged : CellStatus::Covered;
            QCOMPARE(field.Cell(row * 9 + x)->Status(), expected);
        }
    }
    // Opening a flagged cell does nothing at all.
    field.ChkCell(3);
    QCOMPARE(field.Cell(3)->Status(), CellStatus::Flagged);
    QCOMPARE(field.Cell(4)->Status(), CellStatus::Covered);
}

void tst_Field::reopeningAnEmptyCell()
{
    cField field;
    layMines(field, 8, 3, {7});
    flag(field, 1);
    field.ChkCell(0);
    QCOMPARE(field.Cell(1)->Status(), CellStatus::Flagged);
    QCOMPARE(field.Cell(2)->Status(), CellStatus::Opened);
    // Unflag and open the already opened empty corner: its covered neighbour opens.
    flag(field, 1);
    field.ChkCell(0);
    QCOMPARE(field.Cell(1)->Status(), CellStatus::Opened);

    const int openedBefore = statusCount(field, CellStatus::Opened);
    field.ChkCell(5);
    QCOMPARE(statusCount(field, CellStatus::Opened), openedBefore);
}

void tst_Field::winAndLoss()
{
    cField field;
    layMines(field, 8, 2, {0, 15});
    QSignalSpy update(&field, &cField::Update);

    // Every safe cell open, one mine unflagged: the game goes on.
    field.setFldStatus(FieldStatus::Running);
    for (int i = 1; i < 15; ++i)
        field.ChkCell(i);
    flag(field, 0);
    field.ChkWin();
    QCOMPARE(field.FldStatus(), FieldStatus::Running);
    flag(field, 15);
    field.ChkWin();
    QCOMPARE(field.FldStatus(), FieldStatus::Won);
    QCOMPARE(update.count(), 2);

    // A wrong flag with the counter at zero keeps a mine covered: no win.
    layMines(field, 8, 2, {0, 15});
    field.setFldStatus(FieldStatus::Running);
    flag(field, 0);
    flag(field, 14);
    for (int i = 1; i < 14; ++i)
        field.ChkCell(i);
    QCOMPARE(field.MCnt(), 0);
    field.ChkWin();
    QCOMPARE(field.FldStatus(), FieldStatus::Running);

    // Opening a mine loses, even on the very first move.
    layMines(field, 8, 2, {0, 15});
    field.setFldStatus(FieldStatus::Running);
    field.ChkCell(15);
    field.ChkWin();
    QCOMPARE(field.FldStatus(), FieldStatus::Lost);
}

void tst_Field::chordWithWrongFlagLoses()
{
    // Row 0: mines at 0 and 2, so cell 9 (x 1, y 1) shows 2.
    cField field;
    layMines(field, 8, 3, {0, 2});
    field.setFldStatus(FieldStatus::Running);
    field.ChkCell(9);
    QCOMPARE(field.Cell(9)->Nr(), 2);
    flag(field, 0);
    flag(field, 10);  // wrong: no mine there
    field.ChkAll(9);
    QCOMPARE(field.Cell(2)->Status(), CellStatus::Exploded);
    QCOMPARE(field.Cell(10)->Status(), CellStatus::Flagged);
    field.ChkWin();
    QCOMPARE(field.FldStatus(), FieldStatus::Lost);
}

void tst_Field::lossRedrawsOnlyCoveredAndFlagged()
{
    cField field;
    RecordingBox box;
    box.columns = 8;
    layMines(field, 8, 2, {0, 7});
    field.setPic(&box);
    box.pitch = field.cDim();
    field.ChkCell(3);
    flag(field, 0);
    field.ChkCell(7);
    box.drawn.clear();
    field.ChkWin();
    std::vector<int> expected;
    for (int i = 0; i < 16; ++i) {
        const int s = field.Cell(i)->Status();
        if (s == CellStatus::Covered || s == CellStatus::Flagged)
            expected.push_back(i);
    }
    QVERIFY(!expected.empty());
    QCOMPARE(box.drawn, expected);
}

void tst_Field::statusSwitchesTimerAndBoard()
{
    FixedClock clock;
    cField field;
    PictureBox box;
    QTimer timer;
    field.setPic(&box);
    field.setTimer1(&timer);
    field.Setup(9, 9, 10, ViewMode::Normal, ZoomSize::Normal);
    QCOMPARE(timer.interval(), 1000);
    QSignalSpy enable(&field, &cField::FieldEnable);

    const struct {
        int status;
        bool edit;
        bool timerOn;
        bool enabled;
    } steps[] = {
        {FieldStatus::Running, false, true, true},   {FieldStatus::Won, false, false, false},
        {FieldStatus::Running, false, true, true},   {FieldStatus::Lost, false, false, false},
        {FieldStatus::Lost, true, false, true},      {FieldStatus::Won, true, false, true},
        {FieldStatus::Resetting, false, false, false}, {FieldStatus::Ready, false, false, true},
        {FieldStatus::Running, true, false, true},
    };
    int expectedSignals = 0;
    for (const auto& step : steps) {
        if (field.Edit() != step.edit) {
            field.setEdit(step.edit);
            ++expectedSignals;
            QCOMPARE(field.View(), step.edit ? ViewMode::Mines : ViewMode::Normal);
        }
        field.setFldStatus(step.status);
        ++expectedSignals;
        QCOMPARE(field.FldStatus(), step.status);
        QCOMPARE(timer.isActive(), step.timerOn);
        QCOMPARE(box.isEnabled(), step.enabled);
        QCOMPARE(enable.count(), expectedSignals);
    }
    // An unknown status is stored and does nothing else.
    field.setFldStatus(7);
    QCOMPARE(field.FldStatus(), 7);
    QCOMPARE(enable.count(), expectedSignals);
}

void tst_Field::timeKeepsFirstStartAndFreezesInEditMode()
{
    FixedClock clock;
    cField field;
    field.Setup(9, 9, 10, ViewMode::Normal, ZoomSize::Normal);
    clock.now = 100.0f;
    field.setFldStatus(FieldStatus::Running);
    clock.now = 105.0f;
    field.setFldStatus(FieldStatus::Running);
    clock.now = 112.5f;
    QCOMPARE(field.Time(), 12.5f);

    // Edit mode holds the clock at the seconds played so far, however long it lasts
    // and however often the status is re-applied in it.
    field.setEdit(true);
    clock.now = 300.0f;
    QCOMPARE(field.Time(), 12.5f);
    field.setFldStatus(FieldStatus::Running);
    field.setEdit(true);
    clock.now = 400.0f;
    QCOMPARE(field.Time(), 12.5f);
    field.setEdit(false);
    clock.now = 410.0f;
    QCOMPARE(field.Time(), 22.5f);

    // A reset forgets the carried seconds; the next first move starts from zero.
    field.Reset();
    clock.now = 500.0f;
    field.setFldStatus(FieldStatus::Running);
    clock.now = 503.0f;
    QCOMPARE(field.Time(), 3.0f);
    // The time is not frozen by the end of a game.
    field.setFldStatus(FieldStatus::Won);
    clock.now = 507.0f;
    QCOMPARE(field.Time(), 7.0f);
}

void tst_Field::timeAcrossMidnight()
{
    FixedClock clock;
    cField field;
    field.Setup(9, 9, 10, ViewMode::Normal, ZoomSize::Normal);
    clock.now = 86395.0f;
    field.setFldStatus(FieldStatus::Running);
    clock.now = 5.0f;
    QCOMPARE(field.Time(), 10.0f);
}

void tst_Field::setupAndResetEvents()
{
    cField field;
    QStringList events;
    QObject::connect(&field, &cField::ChangeXx, [&] { events << "ChangeXx"; });
    QObject::connect(&field, &cField::ChangeSize, [&] { events << "ChangeSize"; });
    QObject::connect(&field, &cField::FieldEnable, [&] { events << "FieldEnable"; });
    QObject::connect(&field, &cField::Update, [&](int sign) {
        events << QStringLiteral("Update%1 status %2").arg(sign).arg(field.FldStatus());
    });
    field.Setup(30, 16, 99, ViewMode::Normal, ZoomSize::Normal);
    QCOMPARE(events, (QStringList{"ChangeXx", "ChangeSize", "FieldEnable", "Update1 status 3", "FieldEnable",
                                  "FieldEnable", "Update1 status 0"}));
    QCOMPARE(field.Xx(), 30);
    QCOMPARE(field.Yy(), 16);
    QCOMPARE(field.MTot(), 99);

    // A refused size stops the set-up before anything is dealt.
    events.clear();
    try {
        field.Setup(9, 9, 10, ViewMode::Normal, 4);
        QFAIL("size 4 was accepted");
    } catch (const RuntimeError& e) {
        QCOMPARE(e.number(), FieldErrorNumber::Size);
    }
    QCOMPARE(events, QStringList{"ChangeXx"});
    QCOMPARE(field.cellCount(), 30 * 16);
}

void tst_Field::resetDrawsAsTheAscendingPool_data()
{
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("mines");
    QTest::addColumn<quint32>("seed");
    QTest::newRow("beginner") << 9 << 9 << 10 << 5u;
    QTest::newRow("expert") << 30 << 16 << 99 << 6u;
    QTest::newRow("one free cell left") << 9 << 9 << 80 << 7u;
    QTest::newRow("no free cell left") << 9 << 9 << 81 << 8u;
    QTest::newRow("largest") << 255 << 166 << 8466 << 20240607u;
    QTest::newRow("largest, almost full") << 255 << 166 << 42000 << 9u;
}

// A reset takes its mines from an ascending pool: draw r = floor(x * (u + 0.99999999))
// for the u + 1 entries left in the ascending pool, take entry r, close the gap.
// Whatever the field keeps meanwhile, the same seed must give the same cells, the
// same pool afterwards, and the same stop on the draw that would take the last cell.
void tst_Field::resetDrawsAsTheAscendingPool()
{
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(int, mines);
    QFETCH(quint32, seed);

    std::vector<int> pool(static_cast<size_t>(w * h));
    for (int i = 0; i < w * h; ++i)
        pool[static_cast<size_t>(i)] = i;
    std::vector<int> expectedMines;
    bool expectStop = false;
    Rnd mirror;
    mirror.Randomize(seed);
    for (int m = 0; m < mines; ++m) {
        const int u = static_cast<int>(pool.size()) - 1;
        const int r = static_cast<int>(std::floor(static_cast<double>(mirror()) * (u + 0.99999999)));
        if (u == 0) {
            expectStop = true;
            break;
        }
        expectedMines.push_back(pool[static_cast<size_t>(r)]);
        pool.erase(pool.begin() + r);
    }
    std::sort(expectedMines.begin(), expectedMines.end());

    cField field;
    field.Setup(w, h, 0, ViewMode::Normal, ZoomSize::Tiny);
    field.setMTot(mines);
    field.Randomize(seed);
    bool stopped = false;
    try {
        field.Reset();
    } catch (const RuntimeError& e) {
        QCOMPARE(e.number(), RuntimeErrorNumber::SubscriptOutOfRange);
        stopped = true;
    }
    QCOMPARE(stopped, expectStop);
    std::vector<int> laid;
    for (int i = 0; cCell* cell = field.Cell(i); ++i) {
        if (cell->Mine())
            laid.push_back(i);
    }
    QCOMPARE(laid, expectedMines);
    QCOMPARE(field.FreePool(), pool);
    // A deal that stopped leaves the field resetting.
    QCOMPARE(field.FldStatus(), stopped ? FieldStatus::Resetting : FieldStatus::Ready);
}

// The mine counter and the win check count flags, covered and exploded cells as
// the play goes instead of walking the board; whatever moves a status (a move of
// the field, a cell handed to another field, a cell initialised or replaced from
// outside) they must answer as a walk of the board would, and the record of
// changed cells must name every cell that changed or admit that it cannot. The
// statuses and numbers the field keeps as bytes must be the cells' own after
// all of these, after numbers set from outside or recounted by a mine edited
// in, and after a new deal or a new size.
void tst_Field::countsAndRecordFollowEveryChange()
{
    std::mt19937 rng(4242);
    const auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    for (int round = 0; round < 60; ++round) {
        cField field, other;
        field.Randomize(static_cast<quint32>(round));
        field.Setup(12, 9, 14, ViewMode::Normal, ZoomSize::Tiny);
        other.Setup(8, 2, 0, ViewMode::Normal, ZoomSize::Tiny);
        const int count = field.cellCount();
        unsigned ticket = field.clearStatusLog();
        std::vector<int> seen(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i)
            seen[static_cast<size_t>(i)] = field.Cell(i)->Status();

        for (int step = 0; step < 80; ++step) {
            const int i = pick(count);
            bool followable = true;
            switch (pick(11)) {
            case 0: field.ChkCell(i); break;
            case 1: field.ChkAll(i); break;
            case 2:
            case 3: field.Cell(i)->Check(CellAction::ToggleFlag, field); break;
            case 4: field.Cell(i)->Check(CellAction::TogglePressed, field); break;
            case 5: field.Cell(i)->Check(CellAction::Open, field); break;
            case 6:
                // Initialised from outside, as a loader does.
                followable = field.Cell(i)->Status() == CellStatus::Covered;
                field.Cell(i)->Init(i, field.Xx(), field.Cell(i)->Mine());
                break;
            case 9: field.Cell(i)->setNr(pick(9)); break;
            case 10: {
                // A mine put in or taken out by hand, which counts the numbers again.
                const float x = static_cast<float>((i % field.Xx()) * field.cDim() + 1);
                const float y = static_cast<float>((i / field.Xx()) * field.cDim() + 1);
                field.setEdit(true);
                field.Pic_MouseDown(PictureBox::LeftButton, 0, x, y);
                field.Pic_MouseUp(PictureBox::LeftButton, 0, x, y);
                field.setEdit(false);
                break;
            }
            case 7: {
                // A cell of this field acted on through another one.
                const int status = field.Cell(i)->Status();
                followable = status == CellStatus::Opened || status == CellStatus::Exploded;
                field.Cell(i)->Check(CellAction::ToggleFlag, other);
                break;
            }
            default: {
                if (pick(4) != 0)
                    continue;
                auto cell = std::make_unique<cCell>();
                cell->Init(i, field.Xx(), pick(2) == 0);
                cell->Check(CellAction::Open, other);
                field.setCell(i, std::move(cell));
                field.SetNgh(i);
                followable = false;
                break;
            }
            }

            verifyBytes(field);
            const int before = field.FldStatus();
            field.CntM();
            QCOMPARE(field.MCnt(), field.MTot() - statusCount(field, CellStatus::Flagged));
            field.ChkWin();
            int expected = before;
            if (statusCount(field, CellStatus::Exploded) > 0)
                expected = FieldStatus::Lost;
            else if (statusCount(field, CellStatus::Covered) == 0 && field.MCnt() == 0)
                expected = FieldStatus::Won;
            QCOMPARE(field.FldStatus(), expected);

            if (field.statusLogComplete(ticket)) {
                QVERIFY2(followable, "the record claims to be complete after a change it could not follow");
                const std::set<int> logged(field.statusLog().begin(), field.statusLog().end());
                for (int k = 0; k < count; ++k) {
                    if (field.Cell(k)->Status() != seen[static_cast<size_t>(k)])
                        QVERIFY2(logged.count(k), qPrintable(QStringLiteral("cell %1 changed unrecorded").arg(k)));
                }
            }
            ticket = field.clearStatusLog();
            for (int k = 0; k < count; ++k)
                seen[static_cast<size_t>(k)] = field.Cell(k)->Status();
        }
        // Another reader starting its own record voids the older ticket.
        const unsigned mine = field.clearStatusLog();
        field.clearStatusLog();
        QVERIFY(!field.statusLogComplete(mine));

        // Whatever the game left, the next deal starts from fresh cells.
        field.Reset();
        QCOMPARE(statusCount(field, CellStatus::Covered), count);
        QCOMPARE(field.MCnt(), field.MTot());
        int mines = 0;
        for (int i = 0; i < count; ++i) {
            const cCell* cell = field.Cell(i);
            mines += cell->Mine();
            QCOMPARE(cell->X(), i % field.Xx());
            QCOMPARE(cell->Y(), i / field.Xx());
            QCOMPARE(cell->Ngh(), expectedNeighbours(i, field.Xx(), field.Yy()));
        }
        QCOMPARE(mines, field.MTot());
        verifyBytes(field);
        field.Cell(0)->Check(CellAction::ToggleFlag, field);
        field.CntM();
        QCOMPARE(field.MCnt(), field.MTot() - 1);
        verifyBytes(field);
        field.Setup(8 + round % 5, 3 + round % 4, round % 7, ViewMode::Normal, ZoomSize::Tiny);
        verifyBytes(field);
    }
}

void tst_Field::neighbourListsAsResetBuiltThem()
{
    cField field;
    QVERIFY(!field.standardNeighbours());
    field.Setup(10, 4, 5, ViewMode::Normal, ZoomSize::Tiny);
    QVERIFY(field.standardNeighbours());
    // One more neighbour anywhere, a new width or a replaced cell: the lists can
    // no longer be taken for the grid's.
    field.Cell(7)->addNgh(0);
    QVERIFY(!field.standardNeighbours());
    field.Reset();
    QVERIFY(field.standardNeighbours());
    field.setXx(12);
    QVERIFY(!field.standardNeighbours());
    field.Reset();
    QVERIFY(field.standardNeighbours());
    field.setCell(3, std::make_unique<cCell>());
    QVERIFY(!field.standardNeighbours());

    // Built cell by cell as an import builds it, the lists are the grid's as well,
    // unless a cell got its list twice, or got it while it stood at another place
    // (cell 19, on the right edge, taken for cell 20 on the left one).
    for (int spoil = 0; spoil < 3; ++spoil) {
        cField built;
        built.setXx(10);
        built.setYy(4);
        built.RedimCell();
        for (int i = 0; i < 40; ++i) {
            built.Cell(i)->Init(spoil == 2 && i == 19 ? 20 : i, 10, false);
            built.SetNgh(i);
            if (spoil == 1 && i == 5)
                built.SetNgh(i);
        }
        QCOMPARE(built.standardNeighbours(), spoil == 0);
    }
}

QTEST_MAIN(tst_Field)
#include "tst_field.moc"
