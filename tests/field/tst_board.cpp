#include "FieldCodes.h"
#include "FieldErrors.h"
#include "FieldTestSupport.h"
#include "NoGuessDeal.h"
#include "cCell.h"
#include "cField.h"

#include "Clock.h"
#include "LoadResPicture.h"
#include "PictureBox.h"
#include "RuntimeError.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <set>
#include <vector>

namespace {

constexpr int SizeCount = 4;
constexpr int PixelsPerCell[SizeCount] = {4, 8, 15, 31};
constexpr int Left = PictureBox::LeftButton, Right = PictureBox::RightButton, Middle = PictureBox::MiddleButton;

// A field drawing into a real picture box, with mines exactly where the test
// puts them (laid as the editor would, so no random mines are involved).
struct Board {
    cField field;
    PictureBox box;
    QTimer timer;

    Board(int w, int h, const std::vector<int>& mines, int size = ZoomSize::Normal)
    {
        field.setPic(&box);
        field.setTimer1(&timer);
        layMines(field, w, h, mines, size);
    }

    int status(int index) { return field.Cell(index)->Status(); }
    // The middle of a cell, in twips.
    float cx(int index) const { return (float(index % field.Xx()) + 0.5f) * float(field.cDim()); }
    float cy(int index) const { return (float(index / field.Xx()) + 0.5f) * float(field.cDim()); }
    void down(int button, int index) { field.Pic_MouseDown(button, 0, cx(index), cy(index)); }
    void move(int button, int index) { field.Pic_MouseMove(button, 0, cx(index), cy(index)); }
    void up(int button, int index) { field.Pic_MouseUp(button, 0, cx(index), cy(index)); }
    void click(int button, int index)
    {
        down(button, index);
        up(button, index);
    }

    // Whether the canvas shows the picture with this base code at the cell.
    bool shows(int index, int base)
    {
        const int px = field.cDim() / PictureBox::TwipsPerPixel;
        const QImage cell = box.canvas().copy(index % field.Xx() * px, index / field.Xx() * px, px, px);
        return cell == LoadResPicture(base + field.cAdd()).convertToFormat(QImage::Format_RGB32);
    }
};

// Status of every cell, for comparing whole boards.
std::vector<int> statuses(cField& field)
{
    std::vector<int> out;
    for (int i = 0; field.Cell(i); ++i)
        out.push_back(field.Cell(i)->Status());
    return out;
}

} // namespace

class tst_Board : public QObject {
    Q_OBJECT

private slots:
    void resourcesAreEmbedded();
    void pictureForEveryState_data();
    void pictureForEveryState();
    void paintRedrawsEveryCellInOrder();
    void viewLetWaitsForThePaint();
    void sizeLet_data();
    void sizeLet();
    void sizeLetSameValue();
    void sizeLetRefused_data();
    void sizeLetRefused();

    void pointerToCell_data();
    void pointerToCell();
    void pressBeyondTheCellsBeforeAReset();
    void pressDragRelease();
    void dragBesideTheBoard_data();
    void dragBesideTheBoard();
    void rightClick_data();
    void rightClick();
    void bothButtons_data();
    void bothButtons();
    void bothButtonsDrag();
    void releaseNeverPressesWhatItDidNotPress();
    void doubleClicks_data();
    void doubleClicks();
    void buttonsNeverSwap_data();
    void buttonsNeverSwap();
    void quickClicksOnNeighbours();
    void releaseAfterResetOffBoard();
    void middleRelease();
    void editModeClicks();
    void lostBoardRejectsClicks();
    void eventsOfOneMove_data();
    void eventsOfOneMove();
    void deferredDeal_data();
    void deferredDeal();
    void pendingBoardDealtAtRandom();
};

void tst_Board::resourcesAreEmbedded()
{
    for (int base : {100, 120, 140, 160}) {
        const int side = base == 100 ? 4 : base == 120 ? 8 : base == 140 ? 15 : 31;
        for (int id = base; id <= base + 13; ++id) {
            const QImage& img = LoadResPicture(id);
            QVERIFY2(!img.isNull(), qPrintable(QString::number(id)));
            QCOMPARE(img.size(), QSize(side, side));
            // Drawn by plain row copies, so every picture must already be in canvas format.
            QCOMPARE(img.format(), QImage::Format_RGB32);
        }
    }
    for (int id = 200; id <= 204; ++id)
        QCOMPARE(LoadResPicture(id).size(), QSize(21, 21));
    QVERIFY(LoadResPicture(99).isNull());

    // Loaded once: the same data, and a reference that survives later loads.
    const QImage& first = LoadResPicture(100);
    const qint64 key = first.cacheKey();
    for (int id = 1000; id < 1100; ++id)
        LoadResPicture(id);
    QCOMPARE(first.cacheKey(), key);
    QCOMPARE(LoadResPicture(100).cacheKey(), key);
}

void tst_Board::pictureForEveryState_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("view");
    QTest::addColumn<int>("fieldStatus");
    QTest::addColumn<int>("cellStatus");
    QTest::addColumn<bool>("mine");
    QTest::addColumn<int>("mineNeighbours");
    QTest::addColumn<int>("expected");

    // The picture tables of the board: what a cell shows after a loss and
    // otherwise in the normal view, in the numbers view and in the mines view.
    struct Case {
        const char* name;
        int status;
        bool mine;
        int nr;
        int lost, normal, numbers, mines;
    };
    using namespace CellStatus;
    std::vector<Case> cases = {
        {"exploded", Exploded, true, 2, 112, 112, 100, 110},
        {"covered safe", Covered, false, 3, 111, 111, 103, 100},
        {"covered mine", Covered, true, 3, 110, 111, 100, 110},
        {"flagged safe", Flagged, false, 3, 113, 109, 103, 100},
        {"flagged mine", Flagged, true, 3, 110, 109, 100, 110},
        {"pressed safe", Pressed, false, 3, 100, 100, 103, 100},
        {"pressed mine", Pressed, true, 3, 100, 100, 100, 110},
    };
    static const char* const opened[] = {"opened 0", "opened 1", "opened 2", "opened 3", "opened 4",
                                         "opened 5", "opened 6", "opened 7", "opened 8"};
    for (int nr = 0; nr <= 8; ++nr)
        cases.push_back({opened[nr], Opened, false, nr, 100 + nr, 100 + nr, 100 + nr, 100});

    for (int size = 0; size < SizeCount; ++size) {
        for (int view : {ViewMode::Normal, ViewMode::Numbers, ViewMode::Mines}) {
            for (int fs : {FieldStatus::Lost, FieldStatus::Ready, FieldStatus::Won, FieldStatus::Running,
                           FieldStatus::Resetting}) {
                for (const Case& c : cases) {
                    const int expected = view == ViewMode::Numbers ? c.numbers
                                         : view == ViewMode::Mines ? c.mines
                                         : fs == FieldStatus::Lost ? c.lost
                                                                   : c.normal;
                    QTest::addRow("size %d view %d status %d %s", size, view, fs, c.name)
                        << size << view << fs << c.status << c.mine << c.nr << expected;
                }
            }
        }
    }
}

void tst_Board::pictureForEveryState()
{
    QFETCH(int, size);
    QFETCH(int, view);
    QFETCH(int, fieldStatus);
    QFETCH(int, cellStatus);
    QFETCH(bool, mine);
    QFETCH(int, mineNeighbours);
    QFETCH(int, expected);

    // The cell under test is (1, 1); its neighbours 0, 1, 2, 8, 10, 16, 17, 18
    // carry as many mines as its number should be.
    const int target = 9;
    const std::vector<int> around = {0, 1, 2, 8, 10, 16, 17, 18};
    std::vector<int> mines(around.begin(), around.begin() + mineNeighbours);
    if (mine)
        mines.push_back(target);
    Board b(8, 3, mines, size);
    cCell* cell = b.field.Cell(target);
    QCOMPARE(cell->Nr(), mine ? 0 : mineNeighbours);
    switch (cellStatus) {
    case CellStatus::Exploded:
    case CellStatus::Opened:
        cell->Check(CellAction::Open, b.field);
        break;
    case CellStatus::Flagged:
        cell->Check(CellAction::ToggleFlag, b.field);
        break;
    case CellStatus::Pressed:
        cell->Check(CellAction::TogglePressed, b.field);
        break;
    default:
        break;
    }
    QCOMPARE(cell->Status(), cellStatus);
    b.field.setFldStatus(fieldStatus);
    b.field.setView(view);
    b.box.Refresh();

    const QImage& picture = LoadResPicture(expected + b.field.cAdd());
    QCOMPARE(picture.size(), QSize(PixelsPerCell[size], PixelsPerCell[size]));
    QVERIFY(b.shows(target, expected));
}

void tst_Board::paintRedrawsEveryCellInOrder()
{
    cField field;
    RecordingBox box;
    field.setPic(&box);
    field.Setup(9, 4, 5, ViewMode::Normal, ZoomSize::Small);
    box.pitch = field.cDim();
    box.columns = 9;
    box.drawn.clear();
    box.Refresh();
    std::vector<int> all(36);
    for (int i = 0; i < 36; ++i)
        all[static_cast<size_t>(i)] = i;
    QCOMPARE(box.drawn, all);

    // A click on the board does nothing.
    box.drawn.clear();
    const auto before = statuses(field);
    field.Pic_Click();
    QVERIFY(box.drawn.empty());
    QCOMPARE(statuses(field), before);
}

void tst_Board::viewLetWaitsForThePaint()
{
    Board b(8, 2, {3});
    QVERIFY(b.shows(3, PicCode::Covered));
    b.field.setView(ViewMode::Mines);
    QVERIFY(b.shows(3, PicCode::Covered));
    b.box.Refresh();
    QVERIFY(b.shows(3, PicCode::Mine));
    QVERIFY(b.shows(4, PicCode::Empty));
}

void tst_Board::sizeLet_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("cDim");
    QTest::addColumn<int>("cAdd");
    QTest::addColumn<QSize>("twips");
    QTest::addColumn<QSize>("pixels");
    QTest::newRow("tiny") << 0 << 60 << 0 << QSize(1800, 960) << QSize(120, 64);
    QTest::newRow("small") << 1 << 120 << 20 << QSize(3600, 1920) << QSize(240, 128);
    QTest::newRow("normal") << 2 << 225 << 40 << QSize(6750, 3600) << QSize(450, 240);
    QTest::newRow("large") << 3 << 465 << 60 << QSize(13950, 7440) << QSize(930, 496);
}

void tst_Board::sizeLet()
{
    QFETCH(int, size);
    QFETCH(int, cDim);
    QFETCH(int, cAdd);
    QFETCH(QSize, twips);
    QFETCH(QSize, pixels);

    // Start from another size so that every row really resizes the box.
    Board b(30, 16, {}, size == ZoomSize::Large ? ZoomSize::Tiny : ZoomSize::Large);
    QSize seenByHandler;
    QObject::connect(&b.field, &cField::ChangeSize, [&] { seenByHandler = QSize(b.box.Width(), b.box.Height()); });
    b.field.setSize(size);
    QCOMPARE(b.field.Size(), size);
    QCOMPARE(b.field.cDim(), cDim);
    QCOMPARE(b.field.cAdd(), cAdd);
    QCOMPARE(QSize(b.box.Width(), b.box.Height()), twips);
    QCOMPARE(b.box.size(), pixels);
    QCOMPARE(b.box.canvas().size(), pixels);
    // The window resizes itself around the board in this handler.
    QCOMPARE(seenByHandler, twips);
}

void tst_Board::sizeLetSameValue()
{
    Board b(30, 16, {5});
    b.field.Cell(7)->Check(CellAction::ToggleFlag, b.field);
    const QImage drawn = b.box.canvas();
    QSignalSpy changeSize(&b.field, &cField::ChangeSize);
    b.field.setSize(ZoomSize::Normal);
    QCOMPARE(changeSize.count(), 1);
    QCOMPARE(QSize(b.box.Width(), b.box.Height()), QSize(6750, 3600));
    // Neither let repaints; the board keeps what was drawn.
    QCOMPARE(b.box.canvas(), drawn);

    b.field.setXx(20);
    b.field.setYy(10);
    b.field.setSize(ZoomSize::Normal);
    QCOMPARE(changeSize.count(), 2);
    QCOMPARE(QSize(b.box.Width(), b.box.Height()), QSize(4500, 2250));
    QCOMPARE(b.box.canvas(), drawn.copy(0, 0, 300, 150));
}

void tst_Board::sizeLetRefused_data()
{
    QTest::addColumn<int>("bad");
    QTest::newRow("4") << 4;
    QTest::newRow("-1") << -1;
}

void tst_Board::sizeLetRefused()
{
    QFETCH(int, bad);
    Board b(30, 16, {}, ZoomSize::Small);
    QSignalSpy changeSize(&b.field, &cField::ChangeSize);
    try {
        b.field.setSize(bad);
        QFAIL("a size outside 0..3 was accepted");
    } catch (const RuntimeError& e) {
        QCOMPARE(e.number(), FieldErrorNumber::Size);
        QCOMPARE(QString::fromStdString(e.what()), QStringLiteral("error in size"));
    }
    QCOMPARE(b.field.Size(), bad);
    QCOMPARE(b.field.cDim(), 120);
    QCOMPARE(b.field.cAdd(), 20);
    QCOMPARE(QSize(b.box.Width(), b.box.Height()), QSize(3600, 1920));
    QCOMPARE(changeSize.count(), 0);
}

void tst_Board::pointerToCell_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<float>("x");
    QTest::addColumn<float>("y");
    QTest::addColumn<int>("expected");
    // Normal size, 225 twips a cell, 10 x 4 cells: 2250 x 900 twips.
    QTest::newRow("origin") << 2 << 0.0f << 0.0f << 0;
    QTest::newRow("last twip of the first cell") << 2 << 224.0f << 0.0f << 0;
    QTest::newRow("first twip of the second cell") << 2 << 225.0f << 0.0f << 1;
    QTest::newRow("half rounds down to even") << 2 << 224.5f << 0.0f << 0;
    QTest::newRow("half rounds up to even, into the next row") << 2 << 225.5f << 449.5f << 21;
    QTest::newRow("above half rounds up") << 2 << 224.6f << 0.0f << 1;
    QTest::newRow("bottom-right cell") << 2 << 2249.0f << 899.0f << 39;
    QTest::newRow("tiny size") << 0 << 545.0f << 130.0f << 29;
    QTest::newRow("large size") << 3 << 465.0f << 930.4f << 21;
    // Negative positions that round to zero still lie on the board.
    QTest::newRow("just left of zero") << 2 << -0.4f << 10.0f << 0;
    QTest::newRow("half a twip left") << 2 << -0.5f << 10.0f << 0;
    // Beside the board: never a cell, not even one of a neighbouring row.
    QTest::newRow("left of the board") << 2 << -0.6f << 300.0f << -1;
    QTest::newRow("far left") << 2 << -200.0f << 300.0f << -1;
    QTest::newRow("right of row 0") << 2 << 2250.0f << 10.0f << -1;
    QTest::newRow("right of row 1") << 2 << 2300.0f << 300.0f << -1;
    QTest::newRow("above") << 2 << 300.0f << -1.0f << -1;
    QTest::newRow("below") << 2 << 300.0f << 900.0f << -1;
    QTest::newRow("below right") << 2 << 2500.0f << 1000.0f << -1;
}

void tst_Board::pointerToCell()
{
    QFETCH(int, size);
    QFETCH(float, x);
    QFETCH(float, y);
    QFETCH(int, expected);

    Board b(10, 4, {}, size);
    const auto before = statuses(b.field);
    b.field.Pic_MouseDown(Left, 0, x, y);
    QCOMPARE(b.field.Index0, expected);
    QCOMPARE(b.field.Mouse, qint16(1));
    auto after = before;
    if (expected >= 0)
        after[static_cast<size_t>(expected)] = CellStatus::Pressed;
    QCOMPARE(statuses(b.field), after);
}

void tst_Board::pressBeyondTheCellsBeforeAReset()
{
    // A wider board is only dealt by the next reset; until then the box is
    // already wide but the cells past the old count do not exist.
    Board b(10, 4, {});
    b.field.setXx(20);
    b.field.setSize(ZoomSize::Normal);
    QCOMPARE(b.box.Width(), 4500);
    b.field.Pic_MouseDown(Left, 0, 15.5f * 225, 2.5f * 225);
    QCOMPARE(b.field.Index0, -1);
    b.field.Pic_MouseUp(Left, 0, 15.5f * 225, 2.5f * 225);
    QCOMPARE(b.field.Mouse, qint16(0));
    QCOMPARE(b.field.FldStatus(), FieldStatus::Ready);
}

void tst_Board::pressDragRelease()
{
    FixedClock clock;
    Board b(10, 4, {0});
    b.down(Left, 12);
    QCOMPARE(b.status(12), CellStatus::Pressed);
    QVERIFY(b.shows(12, PicCode::Empty));
    QCOMPARE(b.field.Index0, 12);

    b.move(Left, 12);
    QCOMPARE(b.status(12), CellStatus::Pressed);
    b.move(Left, 25);
    QCOMPARE(b.status(12), CellStatus::Covered);
    QVERIFY(b.shows(12, PicCode::Covered));
    QCOMPARE(b.status(25), CellStatus::Pressed);
    QCOMPARE(b.field.Index0, 25);

    // Onto the bottom-right cell like onto any other.
    b.move(Left, 39);
    QCOMPARE(b.status(25), CellStatus::Covered);
    QCOMPARE(b.status(39), CellStatus::Pressed);
    QCOMPARE(b.field.Index0, 39);

    // Off the board the pressed look stays on the last cell reached, and the
    // release opens that cell, not the one under the pointer.
    b.field.Pic_MouseMove(Left, 0, 5000.0f, 5000.0f);
    b.field.Pic_MouseUp(Left, 0, 5000.0f, 5000.0f);
    QCOMPARE(b.field.Index0, 39);
    QCOMPARE(b.field.Mouse, qint16(0));
    QCOMPARE(b.field.FldStatus(), FieldStatus::Running);
    QVERIFY(b.timer.isActive());
    // Cell 39 is empty: the flood opens everything but the mine and its number ring.
    QCOMPARE(b.status(39), CellStatus::Opened);
    QVERIFY(b.shows(39, PicCode::Empty));
    QCOMPARE(b.status(0), CellStatus::Covered);
    QCOMPARE(b.status(11), CellStatus::Opened);
    QVERIFY(b.shows(11, PicCode::Empty + 1));
}

void tst_Board::dragBesideTheBoard_data()
{
    QTest::addColumn<float>("x");
    QTest::addColumn<float>("y");
    // From cell 9 (the end of row 0) of a 10 x 4 board at normal size.
    QTest::newRow("right of row 0") << 2260.0f << 100.0f;
    QTest::newRow("right of row 2") << 2700.0f << 500.0f;
    QTest::newRow("left of row 1") << -100.0f << 300.0f;
    QTest::newRow("above") << 2000.0f << -20.0f;
    QTest::newRow("below") << 1000.0f << 950.0f;
}

void tst_Board::dragBesideTheBoard()
{
    QFETCH(float, x);
    QFETCH(float, y);
    for (bool both : {false, true}) {
        // Cell 9 shows 1 (the mine below it), so opening it opens nothing else.
        Board b(10, 4, {19});
        b.down(Left, 9);
        if (both)
            b.down(Right, 9);
        const auto pressed = statuses(b.field);
        b.field.Pic_MouseMove(b.field.Mouse, 0, x, y);
        QCOMPARE(b.field.Index0, 9);
        QCOMPARE(statuses(b.field), pressed);
        if (both)
            b.field.Pic_MouseUp(Right, 0, x, y);
        b.field.Pic_MouseMove(Left, 0, x, y);
        b.field.Pic_MouseUp(Left, 0, x, y);
        QCOMPARE(b.field.Mouse, qint16(0));
        // The gesture acted on cell 9 alone and left every other cell covered.
        for (int i = 0; i < 40; ++i)
            QCOMPARE(b.status(i), i == 9 ? CellStatus::Opened : CellStatus::Covered);
    }
}

void tst_Board::rightClick_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("after");
    QTest::addColumn<int>("counterChange");
    QTest::newRow("covered") << int(CellStatus::Covered) << int(CellStatus::Flagged) << -1;
    QTest::newRow("flagged") << int(CellStatus::Flagged) << int(CellStatus::Covered) << 1;
    QTest::newRow("opened") << int(CellStatus::Opened) << int(CellStatus::Opened) << 0;
}

void tst_Board::rightClick()
{
    QFETCH(int, start);
    QFETCH(int, after);
    QFETCH(int, counterChange);

    FixedClock clock;
    Board b(10, 4, {0, 1, 2});
    const int target = 15;
    if (start == CellStatus::Opened)
        b.field.Cell(target)->Check(CellAction::Open, b.field);
    if (start == CellStatus::Flagged) {
        b.field.Cell(target)->Check(CellAction::ToggleFlag, b.field);
        b.field.CntM();
    }
    const int counter = b.field.MCnt();
    QSignalSpy update(&b.field, &cField::Update);

    clock.now = 2000.0f;
    b.down(Right, target);
    // The right button shows the press like the left, and it does not follow the pointer.
    QCOMPARE(b.status(target), start == CellStatus::Covered ? CellStatus::Pressed : start);
    b.move(Right, 33);
    QCOMPARE(b.field.Index0, target);
    b.up(Right, 33);
    QCOMPARE(b.status(target), after);
    QVERIFY(b.shows(target, after == CellStatus::Flagged ? PicCode::Flag
                            : after == CellStatus::Opened ? PicCode::Empty + b.field.Cell(target)->Nr()
                                                          : PicCode::Covered));
    QCOMPARE(b.field.MCnt(), counter + counterChange);
    QCOMPARE(b.status(33), CellStatus::Covered);
    // Even the first right click of a game is a move: the clock starts.
    QCOMPARE(b.field.FldStatus(), FieldStatus::Running);
    QVERIFY(b.timer.isActive());
    clock.now = 2007.0f;
    QCOMPARE(b.field.Time(), 7.0f);
    QCOMPARE(update.count(), 2);
}

void tst_Board::bothButtons_data()
{
    QTest::addColumn<int>("flags");
    QTest::addColumn<int>("firstUp");
    QTest::addColumn<bool>("chords");
    // Cell 14 of a 10 x 4 board shows 3: mines at 3, 4 and 5; 13, 15, 23, 24, 25 are safe.
    QTest::newRow("three flags, left up first") << 3 << Left << true;
    QTest::newRow("three flags, right up first") << 3 << Right << true;
    QTest::newRow("two flags") << 2 << Left << false;
}

void tst_Board::bothButtons()
{
    QFETCH(int, flags);
    QFETCH(int, firstUp);
    QFETCH(bool, chords);

    Board b(10, 4, {3, 4, 5, 39});
    b.field.Cell(14)->Check(CellAction::Open, b.field);
    QCOMPARE(b.field.Cell(14)->Nr(), 3);
    for (int m = 0; m < flags; ++m)
        b.field.Cell(3 + m)->Check(CellAction::ToggleFlag, b.field);
    b.field.CntM();
    const int counter = b.field.MCnt();

    b.down(Left, 14);
    b.down(Right, 14);
    QCOMPARE(b.field.Mouse, qint16(3));
    const std::set<int> covered = {13, 15, 23, 24, 25};
    for (int n : b.field.Cell(14)->Ngh()) {
        const bool flagged = n >= 3 && n < 3 + flags;
        QCOMPARE(b.status(n), flagged ? CellStatus::Flagged : CellStatus::Pressed);
        QVERIFY(b.shows(n, flagged ? PicCode::Flag : PicCode::Empty));
    }
    b.up(firstUp, 14);
    QCOMPARE(b.field.Mouse, qint16(3 - firstUp));
    for (int n : covered)
        QCOMPARE(b.status(n), chords ? CellStatus::Opened : CellStatus::Covered);
    if (!chords)
        QCOMPARE(b.status(5), CellStatus::Covered);
    // The last release acts as a single button on the opened centre: nothing changes.
    const auto afterChord = statuses(b.field);
    b.up(3 - firstUp, 14);
    QCOMPARE(b.field.Mouse, qint16(0));
    QCOMPARE(statuses(b.field), afterChord);
    QCOMPARE(b.field.MCnt(), counter);
    QCOMPARE(b.field.FldStatus(), FieldStatus::Running);
}

void tst_Board::bothButtonsDrag()
{
    Board b(10, 4, {});
    b.down(Left, 11);
    b.down(Right, 11);
    b.move(Left | Right, 13);
    // The centre cell and every neighbour of the new place are pressed, nothing else.
    std::set<int> pressed = {13};
    for (int n : b.field.Cell(13)->Ngh())
        pressed.insert(n);
    for (int i = 0; i < 40; ++i)
        QCOMPARE(b.status(i), pressed.count(i) ? CellStatus::Pressed : CellStatus::Covered);
    QCOMPARE(b.field.Index0, 13);

    // Both buttons on a covered cell: the first release chords nothing and returns
    // the neighbours; the one released last acts on the cell itself.
    b.up(Right, 13);
    for (int i = 0; i < 40; ++i)
        QCOMPARE(b.status(i), i == 13 ? CellStatus::Pressed : CellStatus::Covered);
    b.up(Left, 13);
    QCOMPARE(b.status(13), CellStatus::Opened);

    b.field.Reset();
    b.down(Left, 13);
    b.down(Right, 13);
    b.up(Left, 13);
    b.up(Right, 13);
    QCOMPARE(b.status(13), CellStatus::Flagged);
    QCOMPARE(b.field.MCnt(), -1);
}

void tst_Board::releaseNeverPressesWhatItDidNotPress()
{
    // The second button goes down beside the board, so no neighbour was pressed:
    // neither the release nor a drag may leave covered cells looking opened.
    Board b(10, 4, {39});
    b.down(Left, 14);
    b.field.Pic_MouseDown(Right, 0, -300.0f, b.cy(14));
    QCOMPARE(b.field.Mouse, qint16(3));
    QCOMPARE(b.field.Index0, 14);
    b.move(Left | Right, 15);
    b.up(Right, 15);
    b.up(Left, 15);
    for (int i = 0; i < 40; ++i) {
        QVERIFY2(b.status(i) != CellStatus::Pressed, qPrintable(QString::number(i)));
        QCOMPARE(b.shows(i, PicCode::Empty), b.status(i) == CellStatus::Opened && b.field.Cell(i)->Nr() == 0);
    }

    // A left press beside the board keeps the last gesture's cell; dragging in from
    // there must not press that stale cell.
    b.field.Reset();
    b.click(Right, 5);
    b.click(Right, 5);
    QCOMPARE(b.status(5), CellStatus::Covered);
    b.field.Pic_MouseDown(Left, 0, -300.0f, b.cy(5));
    b.move(Left, 25);
    QCOMPARE(b.status(5), CellStatus::Covered);
    QCOMPARE(b.status(25), CellStatus::Pressed);
}

void tst_Board::doubleClicks_data()
{
    QTest::addColumn<bool>("realEvents");
    QTest::newRow("handlers") << false;
    QTest::newRow("widget events") << true;
}

void tst_Board::doubleClicks()
{
    QFETCH(bool, realEvents);

    Board b(10, 4, {0});
    b.box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&b.box));
    QSignalSpy update(&b.field, &cField::Update);
    QWindow* window = b.box.windowHandle();
    const int px = b.field.cDim() / PictureBox::TwipsPerPixel;
    auto doubleClick = [&](int button, int index) {
        if (realEvents) {
            const QPoint at(index % 10 * px + 3, index / 10 * px + 3);
            QTest::mouseMove(window, at);
            QTest::mouseDClick(window, button == Left ? Qt::LeftButton : Qt::RightButton, {}, at);
        } else {
            b.click(button, index);
            b.field.Pic_DblClick();
            b.up(button, index);
        }
    };

    // A right double-click sets a flag and takes it away again.
    doubleClick(Right, 1);
    QCOMPARE(b.status(1), CellStatus::Covered);
    QVERIFY(b.shows(1, PicCode::Covered));
    QCOMPARE(b.field.MCnt(), 1);
    QCOMPARE(b.field.Mouse, qint16(0));

    // A left double-click opens and re-opens the same cell; the second press
    // shows no pressed look and raises no Update 0.
    update.clear();
    doubleClick(Left, 11);
    QCOMPARE(b.status(11), CellStatus::Opened);
    QCOMPARE(b.field.Mouse, qint16(0));
    QCOMPARE(b.field.LastMouse, qint16(Left));
    QList<int> signs;
    for (const auto& args : update)
        signs << args.at(0).toInt();
    QCOMPARE(signs, (QList<int>{0, 1, 1}));
}

void tst_Board::buttonsNeverSwap_data()
{
    QTest::addColumn<QString>("mishap");
    QTest::newRow("left held across a new game") << "reset";
    QTest::newRow("left held while a menu takes the pointer") << "cancel";
    QTest::newRow("double-click whose first press missed the board") << "double";
    QTest::newRow("release of a left the field never saw pressed") << "stray";
    QTest::newRow("left pressed again, its release lost") << "again";
}

void tst_Board::buttonsNeverSwap()
{
    QFETCH(QString, mishap);
    FixedClock clock;
    Board b(10, 4, {0});
    QSignalSpy update(&b.field, &cField::Update);
    if (mishap == "reset") {
        b.down(Left, 12);
        // A board without mines, so that the clicks below cannot meet one.
        b.field.setMTot(0);
        b.field.Reset();
        b.up(Left, 12);
        QCOMPARE(b.status(12), CellStatus::Covered);
    } else if (mishap == "cancel") {
        b.down(Left, 12);
        update.clear();
        b.field.Pic_MouseCancel();
        // The pressed look goes and the smile is told the press is over.
        QCOMPARE(b.status(12), CellStatus::Covered);
        QVERIFY(b.shows(12, PicCode::Covered));
        QCOMPARE(update.count(), 1);
        QCOMPARE(update.first().first().toInt(), 1);
    } else if (mishap == "double") {
        // The second press is a press of its own on the cell under it.
        b.field.Pic_DblClickAt(Left, 0, b.cx(1), b.cy(1));
        QCOMPARE(b.status(1), CellStatus::Pressed);
        b.up(Left, 1);
        QCOMPARE(b.status(1), CellStatus::Opened);
    } else if (mishap == "stray") {
        b.up(Left, 12);
        QCOMPARE(b.status(12), CellStatus::Covered);
        QCOMPARE(b.field.FldStatus(), FieldStatus::Ready);
    } else if (mishap == "again") {
        b.down(Left, 12);
        b.down(Left, 10);
        QCOMPARE(b.status(12), CellStatus::Covered);
        QCOMPARE(b.status(10), CellStatus::Pressed);
        b.up(Left, 10);
        QCOMPARE(b.status(10), CellStatus::Opened);
    }
    QCOMPARE(b.field.Mouse, qint16(0));

    // Left still opens and right still flags, and nothing stays pressed.
    b.click(Right, 15);
    QCOMPARE(b.status(15), CellStatus::Flagged);
    b.click(Left, 11);
    QCOMPARE(b.status(11), CellStatus::Opened);
    QCOMPARE(b.field.Mouse, qint16(0));
    for (int i = 0; i < 40; ++i)
        QVERIFY(b.status(i) != CellStatus::Pressed);
}

void tst_Board::quickClicksOnNeighbours()
{
    // Tiny cells: two quick clicks easily land on neighbouring cells.
    Board b(10, 4, {2, 3}, ZoomSize::Tiny);
    b.click(Left, 12);
    b.field.Pic_DblClickAt(Left, 0, b.cx(13), b.cy(13));
    b.up(Left, 13);
    QCOMPARE(b.status(12), CellStatus::Opened);
    QCOMPARE(b.status(13), CellStatus::Opened);
    QCOMPARE(b.field.Mouse, qint16(0));

    // On the same cell it stays a double-click: a flag set and taken away again.
    b.click(Right, 30);
    b.field.Pic_DblClickAt(Right, 0, b.cx(30), b.cy(30));
    QCOMPARE(b.status(30), CellStatus::Flagged);
    b.up(Right, 30);
    QCOMPARE(b.status(30), CellStatus::Covered);
    QCOMPARE(b.field.Mouse, qint16(0));
}

void tst_Board::releaseAfterResetOffBoard()
{
    Board b(10, 4, {0});
    QSignalSpy update(&b.field, &cField::Update);
    QSignalSpy enable(&b.field, &cField::FieldEnable);
    const auto before = statuses(b.field);
    b.field.Pic_MouseDown(Left, 0, 3000.0f, 100.0f);
    QCOMPARE(b.field.Mouse, qint16(1));
    QCOMPARE(b.field.Index0, -1);
    QCOMPARE(update.count(), 1);
    b.field.Pic_MouseUp(Left, 0, 100.0f, 100.0f);
    // Nothing to act on: the button is counted down and that is all.
    QCOMPARE(b.field.Mouse, qint16(0));
    QCOMPARE(statuses(b.field), before);
    QCOMPARE(b.field.FldStatus(), FieldStatus::Ready);
    QCOMPARE(update.count(), 1);
    QCOMPARE(enable.count(), 0);
    QVERIFY(!b.timer.isActive());
}

void tst_Board::middleRelease()
{
    Board b(10, 4, {0});
    const auto before = statuses(b.field);
    b.click(Middle, 15);
    QCOMPARE(statuses(b.field), before);
    QCOMPARE(b.field.FldStatus(), FieldStatus::Running);
    QCOMPARE(b.field.Mouse, qint16(0));
}

void tst_Board::editModeClicks()
{
    Board b(10, 4, {0});
    b.field.setEdit(true);
    QCOMPARE(b.field.View(), ViewMode::Mines);
    b.box.Refresh();
    QSignalSpy update(&b.field, &cField::Update);
    QSignalSpy enable(&b.field, &cField::FieldEnable);

    b.down(Left, 22);
    // No pressed look in edit mode, and dragging moves nothing.
    QCOMPARE(b.status(22), CellStatus::Covered);
    b.move(Left, 35);
    QCOMPARE(b.field.Index0, 22);
    b.up(Left, 35);
    QVERIFY(b.field.Cell(22)->Mine());
    QVERIFY(b.shows(22, PicCode::Mine));
    QCOMPARE(b.field.MTot(), 2);
    QCOMPARE(b.field.MCnt(), 2);
    QCOMPARE(b.field.Cell(12)->Nr(), 1);
    QCOMPARE(b.field.Cell(11)->Nr(), 2);
    QVERIFY(std::find(b.field.FreePool().begin(), b.field.FreePool().end(), 22) == b.field.FreePool().end());

    // Any button takes it away again.
    b.click(Right, 22);
    QVERIFY(!b.field.Cell(22)->Mine());
    QVERIFY(b.shows(22, PicCode::Empty));
    QCOMPARE(b.field.MTot(), 1);
    QCOMPARE(b.field.MCnt(), 1);
    QCOMPARE(b.field.Cell(12)->Nr(), 0);
    QCOMPARE(b.field.FreePool().size(), size_t(39));

    // Editing is no move: no clock, no status change, no win check.
    QCOMPARE(b.field.FldStatus(), FieldStatus::Ready);
    QVERIFY(!b.timer.isActive());
    // Each press shows the surprised face, each release gives the counter back.
    QList<int> signs;
    for (const auto& args : update)
        signs << args.at(0).toInt();
    QCOMPARE(signs, (QList<int>{0, 1, 0, 1}));
    QCOMPARE(enable.count(), 0);
    QCOMPARE(b.field.Mouse, qint16(0));
}

void tst_Board::lostBoardRejectsClicks()
{
    Board b(10, 4, {0, 2, 39});
    b.field.Cell(12)->Check(CellAction::ToggleFlag, b.field);  // a wrong flag
    b.field.Cell(2)->Check(CellAction::ToggleFlag, b.field);
    b.field.CntM();
    b.field.Cell(1)->Check(CellAction::Open, b.field);
    b.box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&b.box));
    QWindow* window = b.box.windowHandle();
    const int px = b.field.cDim() / PictureBox::TwipsPerPixel;
    const QPoint onCell1(px + 2, 2);

    // Chord on the opened 2 beside a wrong flag: the first release loses the game.
    QTest::mouseMove(window, onCell1);
    QTest::mousePress(window, Qt::LeftButton, {}, onCell1);
    QTest::mousePress(window, Qt::RightButton, {}, onCell1);
    QTest::mouseRelease(window, Qt::LeftButton, {}, onCell1);
    QCOMPARE(b.field.FldStatus(), FieldStatus::Lost);
    QVERIFY(!b.box.isEnabled());
    QVERIFY(b.shows(0, PicCode::Exploded));
    QVERIFY(b.shows(2, PicCode::Mine));
    QVERIFY(b.shows(12, PicCode::WrongFlag));
    QVERIFY(b.shows(39, PicCode::Mine));
    QVERIFY(b.shows(1, PicCode::Empty + 2));
    QVERIFY(b.shows(30, PicCode::Covered));

    // The second release never reaches the field, nor does any later click; the
    // button it still held was let go with the board, so none stays counted.
    QTest::mouseRelease(window, Qt::RightButton, {}, onCell1);
    QCOMPARE(b.field.Mouse, qint16(0));
    const auto before = statuses(b.field);
    QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(px * 5 + 2, px * 3 + 2));
    QTest::mouseClick(window, Qt::RightButton, {}, QPoint(px * 5 + 2, px * 3 + 2));
    QCOMPARE(statuses(b.field), before);
    QCOMPARE(b.field.FldStatus(), FieldStatus::Lost);

    // Edit mode opens the board again, for editing only.
    b.field.setEdit(true);
    QVERIFY(b.box.isEnabled());
    QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(px * 5 + 2, px * 3 + 2));
    QVERIFY(b.field.Cell(35)->Mine());
    QCOMPARE(b.field.FldStatus(), FieldStatus::Lost);
}

void tst_Board::eventsOfOneMove_data()
{
    QTest::addColumn<bool>("mineFlagged");
    QTest::addColumn<QStringList>("expected");
    // Update 0 comes before any cell changes; the status becomes running, then
    // the win check decides and reports.
    QTest::newRow("game goes on") << false
                                  << QStringList{"Update0 cell 0", "FieldEnable status 2", "Update1 cell 1"};
    QTest::newRow("move wins") << true
                               << QStringList{"Update0 cell 0", "FieldEnable status 2", "FieldEnable status 1",
                                              "Update1 cell 1"};
}

void tst_Board::eventsOfOneMove()
{
    QFETCH(bool, mineFlagged);
    QFETCH(QStringList, expected);

    Board b(10, 4, {0});
    if (mineFlagged) {
        b.field.Cell(0)->Check(CellAction::ToggleFlag, b.field);
        b.field.CntM();
    }
    QStringList events;
    QSignalSpy update(&b.field, &cField::Update);
    QObject::connect(&b.field, &cField::Update, [&](int sign) {
        events << QStringLiteral("Update%1 cell %2").arg(sign).arg(b.status(15));
    });
    QObject::connect(&b.field, &cField::FieldEnable, [&] {
        events << QStringLiteral("FieldEnable status %1").arg(b.field.FldStatus());
    });
    b.click(Left, 15);
    QCOMPARE(events.join(" | "), expected.join(" | "));
    QCOMPARE(update.count(), 2);
    QCOMPARE(b.box.isEnabled(), !mineFlagged);
}

void tst_Board::deferredDeal_data()
{
    QTest::addColumn<QString>("gesture");
    QTest::addColumn<int>("dealtAt");  // -1: still waiting for its deal
    QTest::addColumn<int>("flags");
    // Lx left click on cell x, Rx right, Mx middle, Bx both buttons with the
    // left let go last, Dx>y left pressed on x and dragged to y.
    QTest::newRow("left click") << "L40" << 40 << 0;
    QTest::newRow("dragged") << "D40>50" << 50 << 0;
    QTest::newRow("flag") << "R40" << -1 << 1;
    QTest::newRow("left on the flag") << "R40 L40" << -1 << 1;
    QTest::newRow("middle") << "M40" << -1 << 0;
    QTest::newRow("both, left last") << "B40" << 40 << 0;
    QTest::newRow("flag elsewhere kept") << "R0 L40" << 40 << 1;
}

// A deal put off to the first opening: made at the wrong moment (on a flag, a
// chord, another button), for the wrong cell, after the cell opened (which
// would show it empty), or losing the flags set before it.
void tst_Board::deferredDeal()
{
    QFETCH(QString, gesture);
    QFETCH(int, dealtAt);
    QFETCH(int, flags);
    constexpr int Mines = 10;
    Board b(9, 9, {});
    b.field.setMTot(Mines);
    b.field.setDeferDeal(true);
    b.field.Reset();
    QVERIFY(b.field.DealPending());
    QCOMPARE(b.field.MCnt(), Mines);
    QVERIFY(b.field.FreePool().size() == 81u);

    QList<int> requested;
    connect(&b.field, &cField::DealRequested, &b.field, [&](int cell) {
        requested << cell;
        QCOMPARE(b.status(cell) == CellStatus::Opened, false);
        DealWithoutGuess(b.field, cell, std::chrono::seconds(60));
    });
    for (const QString& step : gesture.split(QLatin1Char(' '))) {
        const QStringList cells = step.mid(1).split(QLatin1Char('>'));
        const int at = cells[0].toInt();
        switch (step[0].toLatin1()) {
        case 'L': b.click(Left, at); break;
        case 'R': b.click(Right, at); break;
        case 'M': b.click(Middle, at); break;
        case 'B': b.down(Left, at); b.down(Right, at); b.up(Right, at); b.up(Left, at); break;
        case 'D': b.down(Left, at); b.move(Left, cells[1].toInt()); b.up(Left, cells[1].toInt()); break;
        }
    }
    QCOMPARE(requested, dealtAt < 0 ? QList<int>{} : QList<int>{dealtAt});
    QCOMPARE(b.field.DealPending(), dealtAt < 0);
    if (dealtAt >= 0)
        QCOMPARE(b.status(dealtAt), CellStatus::Opened);
    int flagged = 0;
    for (int i = 0; b.field.Cell(i); ++i)
        flagged += b.status(i) == CellStatus::Flagged;
    QCOMPARE(flagged, flags);
    QCOMPARE(b.field.MCnt(), Mines - flags);
}

// Nobody to deal, or edit mode first: the board must not be played or edited
// without its mines.
void tst_Board::pendingBoardDealtAtRandom()
{
    for (const bool edit : {false, true}) {
        Board b(9, 9, {});
        b.field.setMTot(30);
        b.field.setDeferDeal(true);
        b.field.Reset();
        edit ? b.field.setEdit(true) : b.click(Left, 40);
        QVERIFY(!b.field.DealPending());
        QCOMPARE(static_cast<int>(b.field.FreePool().size()), 81 - 30);
    }
}

QTEST_MAIN(tst_Board)
#include "tst_board.moc"
