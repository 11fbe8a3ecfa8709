#include "cField.h"

#include "FieldCodes.h"
#include "FieldErrors.h"
#include "GridNeighbours.h"

#include "Attempt.h"
#include "Clock.h"
#include "PictureBox.h"
#include "RuntimeError.h"

#include <QMetaMethod>

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

namespace {
constexpr float SecondsPerDay = 86400.0f;
// Left and right held together: the chord that opens around a number.
constexpr int BothButtons = PictureBox::LeftButton | PictureBox::RightButton;

struct SizeInfo {
    int cDim;  // cell pitch in twips
    int cAdd;  // offset of the size's pictures from the base codes
};
constexpr SizeInfo Sizes[] = {{60, PicOffset::Tiny}, {120, PicOffset::Small}, {225, PicOffset::Normal},
                              {465, PicOffset::Large}};
}

cField::cField(QObject* parent) : QObject(parent) {}

cField::~cField() = default;

PictureBox* cField::Pic() const
{
    return m_Pic.data();
}

void cField::setPic(PictureBox* nPic)
{
    if (m_Pic)
        disconnect(m_Pic, nullptr, this, nullptr);
    m_Pic = nPic;
    if (!nPic)
        return;
    connect(nPic, &PictureBox::MouseDown, this, &cField::Pic_MouseDown);
    connect(nPic, &PictureBox::MouseMove, this, &cField::Pic_MouseMove);
    connect(nPic, &PictureBox::MouseUp, this, &cField::Pic_MouseUp);
    connect(nPic, &PictureBox::MouseDblClick, this, &cField::Pic_DblClickAt);
    connect(nPic, &PictureBox::MouseCancel, this, &cField::Pic_MouseCancel);
    connect(nPic, &PictureBox::Click, this, &cField::Pic_Click);
    connect(nPic, &PictureBox::Paint, this, &cField::Pic_Paint);
}

QTimer* cField::Timer1() const
{
    return m_Timer1.data();
}

void cField::setTimer1(QTimer* nTimer)
{
    m_Timer1 = nTimer;
    if (nTimer)
        m_timerOn = nTimer->isActive();
}

bool cField::timerOn() const
{
    return m_Timer1 ? m_Timer1->isActive() : m_timerOn;
}

void cField::switchTimer(bool on)
{
    m_timerOn = on;
    if (!m_Timer1)
        return;
    if (on)
        m_Timer1->start();
    else
        m_Timer1->stop();
}

void cField::setXx(int nXx)
{
    m_nghBuilt = -1;
    if (nXx >= MinXx && nXx <= MaxXx)
        m_Xx = nXx;
    // Raised for a refused width too: the window re-reads the width either way.
    emit ChangeXx();
}

void cField::setYy(int nYy)
{
    m_nghBuilt = -1;
    if (nYy >= MinYy && nYy <= MaxYy)
        m_Yy = nYy;
}

void cField::setView(int nView)
{
    m_View = nView;
}

void cField::setSize(int nSize)
{
    m_Size = nSize;
    if (nSize < ZoomSize::Tiny || nSize > ZoomSize::Large)
        throw sizeError();
    m_cDim = Sizes[nSize].cDim;
    m_cAdd = Sizes[nSize].cAdd;
    if (m_Pic) {
        // Resizing an unchanged box would still cost a relayout of the window.
        if (m_Pic->Width() != m_Xx * m_cDim)
            m_Pic->setWidth(m_Xx * m_cDim);
        if (m_Pic->Height() != m_Yy * m_cDim)
            m_Pic->setHeight(m_Yy * m_cDim);
    }
    emit ChangeSize();
}

void cField::setFldStatus(int nFldStatus)
{
    m_FldStatus = nFldStatus;
    switch (nFldStatus) {
    case FieldStatus::Ready:
        switchTimer(false);
        EnableField(true);
        break;
    case FieldStatus::Won:
    case FieldStatus::Lost:
        // A finished board takes no more moves, but it can still be edited.
        switchTimer(false);
        EnableField(m_Edit);
        break;
    case FieldStatus::Running:
        if (m_Edit) {
            // Edit mode holds the clock and keeps the seconds played so far. Holding
            // it again must not count the same seconds twice.
            if (!m_clockHeld) {
                m_CarriedTime = Time();
                m_clockHeld = true;
            }
            switchTimer(false);
        } else if (!timerOn()) {
            m_StartTime = Timer();
            m_clockHeld = false;
            switchTimer(true);
        }
        EnableField(true);
        break;
    case FieldStatus::Resetting:
        switchTimer(false);
        EnableField(false);
        break;
    default:
        break;
    }
}

void cField::DealPendingAtRandom()
{
    if (!m_dealPending)
        return;
    m_dealPending = false;
    attempt("deal pending board", [&] { placeMines(m_MTot); });
    CntNr();
}

void cField::setEdit(bool nEdit)
{
    if (nEdit)
        DealPendingAtRandom();
    m_Edit = nEdit;
    setView(nEdit ? ViewMode::Mines : ViewMode::Normal);
    setFldStatus(m_FldStatus);
}

float cField::Time() const
{
    if (m_clockHeld)
        return m_CarriedTime;
    float elapsed = Timer() - m_StartTime;
    // The clock restarts at midnight; a game running across it keeps counting.
    if (elapsed < 0.0f)
        elapsed += SecondsPerDay;
    return elapsed + m_CarriedTime;
}

void cField::setMTot(int nMTot)
{
    if (nMTot < 0)
        throw mineTotalError();
    m_MTot = nMTot;
}

const cCell* cField::cellOutside(int Index) const
{
    if (Index < 0)
        throw subscriptOutOfRange();
    return nullptr;
}

std::vector<std::unique_ptr<cCell>> cField::freshCells(size_t count)
{
    std::vector<std::unique_ptr<cCell>> cells(count);
    for (auto& cell : cells)
        cell = std::make_unique<cCell>();
    return cells;
}

cCell& cField::cellRef(int Index)
{
    cCell* cell = Cell(Index);
    if (!cell)
        throw objectNotSet();
    return *cell;
}

void cField::setCell(int Index, std::unique_ptr<cCell> nCell)
{
    if (Index < 0 || Index >= static_cast<int>(m_Cells.size()))
        throw cellError();
    // Taking a cell away leaves a fresh one in its place, so that every index
    // of the board still has its cell.
    m_Cells[static_cast<size_t>(Index)] = nCell ? std::move(nCell) : std::make_unique<cCell>();
    forgetStatuses();
}

void cField::Randomize(quint32 seed)
{
    m_rnd.Randomize(seed);
}

void cField::Setup(int width, int height, int mines, int view, int size)
{
    if (m_Timer1) {
        m_Timer1->stop();
        m_Timer1->setInterval(1000);
    }
    m_timerOn = false;
    setXx(width);
    setYy(height);
    setMTot(mines);
    setView(view);
    setSize(size);
    Reset();
}

void cField::Reset()
{
    setFldStatus(FieldStatus::Resetting);
    emit Update(1);
    RedimCell();
    const int count = cellCount();
    for (int i = 0; i < count; ++i) {
        Cell(i)->Init(i, m_Xx, false);
        SetNgh(i);
        m_FreePool[static_cast<size_t>(i)] = i;
    }
    // No error handling of its own: a mine total the board cannot hold stops the
    // reset at the failing draw, leaving the field disabled in the resetting status.
    m_dealPending = m_deferDeal;
    if (!m_dealPending)
        placeMines(m_MTot);
    CntM();
    CntNr();
    Index0 = -1;
    Mouse = 0;
    LastMouse = 0;
    EnableField(true);
    if (m_Pic)
        m_Pic->Refresh();
    setFldStatus(FieldStatus::Ready);
    emit Update(1);
}

void cField::RedimCell()
{
    const long long count = static_cast<long long>(m_Xx) * m_Yy;
    // An array of no cells cannot be dimensioned (a field that was never given a size).
    if (count <= 0)
        throw subscriptOutOfRange();
    // Every cell starts afresh, with an empty neighbour list. A board of the same
    // size keeps its cell objects, renewed; nothing can tell them from new ones.
    if (m_Cells.size() == static_cast<size_t>(count)) {
        for (auto& cell : m_Cells)
            cell->renew();
    } else {
        m_Cells.clear();
        m_Cells = freshCells(static_cast<size_t>(count));
    }
    m_FreePool.assign(static_cast<size_t>(count), 0);
    m_CarriedTime = 0.0f;
    m_clockHeld = false;
    forgetStatuses();
    // Fresh cells are covered.
    m_covered = static_cast<int>(count);
    m_flagged = 0;
    m_exploded = 0;
    m_countsValid = true;
    m_countsEpoch = cCell::untrackedChanges();
    // Fresh cells count no mines either.
    m_statusBytes.assign(static_cast<size_t>(count), static_cast<std::int8_t>(CellStatus::Covered));
    m_statusBytesValid = true;
    m_statusBytesEpoch = cCell::untrackedChanges();
    m_numberBytes.assign(static_cast<size_t>(count), 0);
    m_numberBytesValid = true;
    m_numberBytesEpoch = cCell::nrChanges();
    // Every list is empty again; SetNgh counts the ones it builds from here.
    m_nghBuilt = 0;
    m_nghEpoch = cCell::nghChanges();
    // Written now, while the board is built anyway, so the first flood finds it in place.
    m_floodVia.resize(static_cast<size_t>(count));
}

void cField::SetNgh(int Index)
{
    attempt("set neighbours", [&] {
        cCell& cell = cellRef(Index);
        const int x = cell.X(), y = cell.Y();
        // A list built on an empty one, for a cell that knows its own place, while
        // no list built before was added to, is exactly the grid's.
        const bool inTurn = m_nghBuilt >= 0 && m_Xx > 0 && m_nghEpoch == cCell::nghChanges()
            && cell.Ngh().empty() && x >= 0 && x < m_Xx && Index == y * m_Xx + x;
        // This order is part of the game: flood, chord and analysis all follow it.
        const unsigned onBoard = GridNeighbours::slotMask(x, y, m_Xx, m_Yy);
        for (int k = 0; k < GridNeighbours::Slots; ++k) {
            if (onBoard & (1u << k))
                cell.addNgh(GridNeighbours::neighbour(Index, k, m_Xx));
        }
        if (inTurn) {
            cell.m_gridList = true;
            ++m_nghBuilt;
        } else {
            m_nghBuilt = -1;
        }
    });
}

void cField::AddMine()
{
    if (m_FreePool.empty())
        throw subscriptOutOfRange();
    const int u = static_cast<int>(m_FreePool.size()) - 1;
    const int r = static_cast<int>(std::floor(static_cast<double>(m_rnd()) * (u + 0.99999999)));
    const int chosen = m_FreePool[static_cast<size_t>(r)];
    // The last free cell is never given away: a board keeps at least one safe cell.
    if (u == 0)
        throw subscriptOutOfRange();
    // Closing the gap keeps the pool ascending, which fixes which cell each draw picks.
    if (r < u)
        std::memmove(&m_FreePool[static_cast<size_t>(r)], &m_FreePool[static_cast<size_t>(r) + 1],
                     static_cast<size_t>(u - r) * sizeof(int));
    m_FreePool.pop_back();
    cellRef(chosen).Init(chosen, m_Xx, true);
}

// Exactly AddMine called count times: the same draws from the generator, the same
// cells chosen, the same error on the draw that would take the last free cell. Only the pool is kept differently while the mines are drawn. The
// ascending list would move thousands of entries down for every mine on the
// largest board; a tree of counts over the cells finds the r-th free cell and takes
// it out in a few steps, and the list is written once at the end.
void cField::placeMines(int count)
{
    const int cells = static_cast<int>(m_FreePool.size());
    if (count <= 0 || cells == 0) {
        for (int m = 0; m < count; ++m)
            AddMine();
        return;
    }
    // Fenwick tree over the pool's entries, 1-based, each entry starting free. It
    // is padded to a power of two with entries no search ever steps onto, so the
    // search below needs no bounds test.
    int top = 1;
    while (top * 2 <= cells)
        top *= 2;
    m_poolTree.assign(static_cast<size_t>(top) * 2, std::numeric_limits<int>::max());
    for (int i = 1; i <= cells; ++i)
        m_poolTree[static_cast<size_t>(i)] = i & -i;
    std::vector<char> taken(static_cast<size_t>(cells), 0);
    int left = cells;

    // The chosen cells become mines in ascending order, which reads the cells in
    // one sweep instead of jumping about the board; nothing sees the order.
    const auto layAndClose = [&] {
        int n = 0;
        for (int i = 0; i < cells; ++i) {
            const int cell = m_FreePool[static_cast<size_t>(i)];
            if (taken[static_cast<size_t>(i)])
                cellRef(cell).Init(cell, m_Xx, true);
            else
                m_FreePool[static_cast<size_t>(n++)] = cell;
        }
        m_FreePool.resize(static_cast<size_t>(n));
    };

    for (int m = 0; m < count; ++m) {
        const int u = left - 1;
        const int r = static_cast<int>(std::floor(static_cast<double>(m_rnd()) * (u + 0.99999999)));
        if (u == 0) {
            layAndClose();
            throw subscriptOutOfRange();
        }
        // The (r + 1)-th entry still free.
        int pos = 0, rest = r + 1;
        for (int step = top; step > 0; step /= 2) {
            // Written without a branch: which way the search goes is a coin toss.
            const int below = m_poolTree[static_cast<size_t>(pos + step)];
            const bool past = below < rest;
            pos += past ? step : 0;
            rest -= past ? below : 0;
        }
        for (int i = pos + 1; i <= cells; i += i & -i)
            --m_poolTree[static_cast<size_t>(i)];
        taken[static_cast<size_t>(pos)] = 1;
        --left;
    }
    layAndClose();
}

void cField::dealPending(int Index)
{
    m_dealPending = false;
    if (isSignalConnected(QMetaMethod::fromSignal(&cField::DealRequested))) {
        emit DealRequested(Index);
        return;
    }
    placeMines(m_MTot);
    CntNr();
}

void cField::CntNr()
{
    const int count = cellCount();
    // Each cell's mine is read once into a flat map, so that counting reads the
    // map instead of going to every neighbour's cell eight times over. A list
    // entry outside the board still goes to the cell, and fails as it would.
    m_mineMap.resize(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        m_mineMap[static_cast<size_t>(i)] = cellRef(i).Mine();
    // Every number is written here, or kept where counting it failed, so the
    // bytes end up as the cells' numbers whatever they were before.
    m_numberBytes.resize(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        cCell& cell = cellRef(i);
        attempt("count number", [&] {
            int n = 0;
            if (!cell.Mine()) {
                for (int k : cell.Ngh())
                    n += k >= 0 && k < count ? m_mineMap[static_cast<size_t>(k)] : cellRef(k).Mine();
            }
            cell.storeNr(n);
        });
        m_numberBytes[static_cast<size_t>(i)] = static_cast<std::int8_t>(cell.Nr());
    }
    m_numberBytesValid = true;
    m_numberBytesEpoch = cCell::nrChanges();
}

void cField::CntO()
{
    m_FreePool.clear();
    const int count = cellCount();
    for (int i = 0; i < count; ++i) {
        if (!cellRef(i).Mine())
            m_FreePool.push_back(i);
    }
    if (m_FreePool.empty()) {
        m_FreePool.assign(1, 0);
        throw subscriptOutOfRange();
    }
}

void cField::CntM()
{
    ensureCounts();
    m_MCnt = m_MTot - m_flagged;
}

void cField::tally(int status, int delta)
{
    switch (status) {
    case CellStatus::Flagged:
        m_flagged += delta;
        break;
    case CellStatus::Covered:
        m_covered += delta;
        break;
    case CellStatus::Exploded:
        m_exploded += delta;
        break;
    default:
        break;
    }
}

void cField::ensureCounts()
{
    if (m_countsValid && m_countsEpoch == cCell::untrackedChanges())
        return;
    m_flagged = m_covered = m_exploded = 0;
    for (const auto& cell : m_Cells)
        tally(cell->Status(), 1);
    m_countsValid = true;
    m_countsEpoch = cCell::untrackedChanges();
}

void cField::forgetStatuses()
{
    m_nghBuilt = -1;
    m_statusBytesValid = false;
    m_numberBytesValid = false;
    m_countsValid = false;
    m_logBroken = true;
    m_statusLog.clear();
}

void cField::statusChanged(const cCell& cell, int before)
{
    // A cell handed to another field's Check is not this field's to count: its own
    // field has to read its statuses again.
    const long long index = static_cast<long long>(cell.Y()) * m_Xx + cell.X();
    if (cell.X() < 0 || cell.Y() < 0 || index >= cellCount()
        || m_Cells[static_cast<size_t>(index)].get() != &cell) {
        cCell::noteUntrackedChange();
        return;
    }
    if (m_countsValid) {
        tally(before, -1);
        tally(cell.Status(), 1);
    }
    if (m_statusBytesValid)
        m_statusBytes[static_cast<size_t>(index)] = static_cast<std::int8_t>(cell.Status());
    if (m_logBroken)
        return;
    // Nobody reads the record while the player plays by hand: it is kept to the
    // size of the board and then given up.
    if (m_statusLog.size() >= m_Cells.size()) {
        m_logBroken = true;
        m_statusLog.clear();
        return;
    }
    m_statusLog.push_back(static_cast<int>(index));
}

const std::vector<std::int8_t>& cField::statusBytes() const
{
    if (!m_statusBytesValid || m_statusBytesEpoch != cCell::untrackedChanges()) {
        m_statusBytes.resize(m_Cells.size());
        for (size_t i = 0; i < m_Cells.size(); ++i)
            m_statusBytes[i] = static_cast<std::int8_t>(m_Cells[i]->Status());
        m_statusBytesValid = true;
        m_statusBytesEpoch = cCell::untrackedChanges();
    }
    return m_statusBytes;
}

const std::vector<std::int8_t>& cField::numberBytes() const
{
    if (!m_numberBytesValid || m_numberBytesEpoch != cCell::nrChanges()) {
        m_numberBytes.resize(m_Cells.size());
        for (size_t i = 0; i < m_Cells.size(); ++i)
            m_numberBytes[i] = static_cast<std::int8_t>(m_Cells[i]->Nr());
        m_numberBytesValid = true;
        m_numberBytesEpoch = cCell::nrChanges();
    }
    return m_numberBytes;
}

unsigned cField::clearStatusLog()
{
    m_statusLog.clear();
    m_logBroken = false;
    m_logEpoch = cCell::untrackedChanges();
    return ++m_logTicket;
}

bool cField::statusLogComplete(unsigned ticket) const
{
    return ticket == m_logTicket && !m_logBroken && m_logEpoch == cCell::untrackedChanges();
}

void cField::ChkCell(int Index)
{
    cCell& cell = cellRef(Index);
    cell.Check(CellAction::Open, *this);
    if (cell.Nr() == 0 && cell.Status() == CellStatus::Opened)
        ChkAll(Index);
}

// The flood is a depth-first walk in neighbour order that descends into each
// newly opened empty cell before looking at the next neighbour. Neither walk
// below depends on the depth of the call stack, so the largest board floods in
// the same order as a small one.
void cField::ChkAll(int Index)
{
    // A cell off the board fails here, before anything opens.
    cellRef(Index);
    if (standardNeighbours())
        floodGrid(Index);
    else
        floodLists(Index);
}

// Walked without a stack: each cell the flood descends into remembers only the
// slot through which it was reached, which leads back to the cell it came from
// and says where that cell's own look round goes on. One byte per cell, kept
// with the board, so that even the first flood on a new board touches no memory
// it has not touched already.
void cField::floodGrid(int Index)
{
    const int w = m_Xx, h = m_Yy;
    int cur = Index, x = Index % w, y = Index / w;
    // The slots of cur still to look at.
    unsigned ahead = GridNeighbours::slotMask(x, y, w, h);
    // How many cells the walk has descended into. The cell it started from is not
    // marked: when that one is still covered it can be opened and descended into
    // further on, and then it is marked like any other.
    int depth = 0;
    for (;;) {
        if (!ahead) {
            // Every neighbour seen: back to the cell this one was reached from,
            // which goes on after the slot that led here.
            if (depth == 0)
                return;
            --depth;
            const unsigned via = m_floodVia[static_cast<size_t>(cur)];
            x -= GridNeighbours::Dx[via];
            y -= GridNeighbours::Dy[via];
            cur = y * w + x;
            ahead = GridNeighbours::slotMask(x, y, w, h) >> (via + 1) << (via + 1);
            continue;
        }
        const auto k = static_cast<size_t>(std::countr_zero(ahead));
        ahead &= ahead - 1;
        const int nx = x + GridNeighbours::Dx[k], ny = y + GridNeighbours::Dy[k];
        const int n = ny * w + nx;
        // On the board by construction: the lists are the grid's.
        cCell& next = *m_Cells[static_cast<size_t>(n)];
        // Flags act as walls: only a cell still covered at this moment is opened.
        if (next.Status() != CellStatus::Covered)
            continue;
        next.Check(CellAction::Open, *this);
        if (next.Nr() == 0 && next.Status() == CellStatus::Opened) {
            m_floodVia[static_cast<size_t>(n)] = static_cast<std::uint8_t>(k);
            ++depth;
            cur = n;
            x = nx;
            y = ny;
            ahead = GridNeighbours::slotMask(x, y, w, h);
        }
    }
}

// Any lists at all: an explicit stack holds the cells whose lists are still being
// looked at, each list read again from its cell when the walk comes back to it.
void cField::floodLists(int Index)
{
    m_listFlood.clear();
    m_listFlood.push_back({Index, 0});
    while (!m_listFlood.empty()) {
        ListFrame& frame = m_listFlood.back();
        const std::vector<int>& ngh = cellRef(frame.cell).Ngh();
        if (static_cast<size_t>(frame.next) >= ngh.size()) {
            m_listFlood.pop_back();
            continue;
        }
        const int n = ngh[static_cast<size_t>(frame.next++)];
        cCell& next = cellRef(n);
        if (next.Status() != CellStatus::Covered)
            continue;
        next.Check(CellAction::Open, *this);
        if (next.Nr() == 0 && next.Status() == CellStatus::Opened)
            m_listFlood.push_back({n, 0});
    }
}

void cField::EnableField(bool YN)
{
    if (m_Pic)
        m_Pic->setEnabled(YN);
    emit FieldEnable();
}

void cField::ChkWin()
{
    ensureCounts();
    const bool lost = m_exploded > 0;
    const bool allDone = m_covered == 0;
    const int count = cellCount();
    if (lost) {
        setFldStatus(FieldStatus::Lost);
        // Only cells whose picture changes with the lost status are redrawn.
        for (int i = 0; i < count; ++i) {
            cCell& cell = cellRef(i);
            if (cell.Status() == CellStatus::Covered || cell.Status() == CellStatus::Flagged)
                cell.UpdPic(*this);
        }
    } else if (m_MCnt == 0 && allDone) {
        setFldStatus(FieldStatus::Won);
    }
    emit Update(1);
}

int cField::cellAt(float X, float Y) const
{
    if (m_cDim <= 0)
        return -1;
    // Positions arrive in single-precision twips; they are rounded half to even.
    const long rx = std::lrint(X);
    const long ry = std::lrint(Y);
    // A pointer held beside the board (it keeps reporting after leaving the box)
    // is off the board, never a cell of the neighbouring row.
    if (rx < 0 || ry < 0)
        return -1;
    const long col = rx / m_cDim;
    const long row = ry / m_cDim;
    if (col >= m_Xx || row >= m_Yy)
        return -1;
    // Between a change of width or height and the next reset the cells still
    // have the old count; a position past them is off the board too.
    const long index = row * m_Xx + col;
    return index < cellCount() ? static_cast<int>(index) : -1;
}

void cField::togglePressed(int Index)
{
    cellRef(Index).Check(CellAction::TogglePressed, *this);
}

void cField::togglePressedAround(int Index)
{
    for (int n : cellRef(Index).Ngh())
        togglePressed(n);
}

// Taking the pressed look away must never put it on. A gesture whose press fell
// beside the board never pressed the cells it is about to release, and toggling
// them would leave covered cells looking opened, where the win check no longer
// sees them as covered.
void cField::unpress(int Index)
{
    cCell& cell = cellRef(Index);
    if (cell.Status() == CellStatus::Pressed)
        cell.Check(CellAction::TogglePressed, *this);
}

void cField::unpressAround(int Index)
{
    for (int n : cellRef(Index).Ngh())
        unpress(n);
}

// Mouse holds each button's code once: the codes are separate bits, so a button
// counted twice would read as another button (two lefts as a right).
void cField::Pic_MouseDown(int Button, int, float X, float Y)
{
    const int index = cellAt(X, Y);
    // A button already counted as held is pressed again, so its release went
    // somewhere the field never heard of: the gesture it began is over.
    if (Mouse & Button)
        endGesture();
    Mouse = static_cast<qint16>(Mouse | Button);
    LastMouse = static_cast<qint16>(Button);
    m_pressCell = index;
    emit Update(0);
    if (index < 0)
        return;
    if (!m_Edit) {
        attempt("press cells", [&] {
            if (Mouse == PictureBox::LeftButton || Mouse == PictureBox::RightButton)
                togglePressed(index);
            // The first button already pressed the centre; the second adds its neighbours.
            else if (Mouse == BothButtons)
                togglePressedAround(index);
        });
    }
    Index0 = index;
}

void cField::Pic_MouseMove(int, int, float X, float Y)
{
    const int index = cellAt(X, Y);
    if (m_Edit || index < 0 || index == Index0)
        return;
    if (Mouse == PictureBox::LeftButton) {
        attempt("unpress cell", [&] { unpress(Index0); });
        attempt("press cell", [&] { togglePressed(index); });
        Index0 = index;
    } else if (Mouse == BothButtons) {
        // Cells around both places are toggled twice and end up pressed again.
        attempt("unpress around", [&] { unpressAround(Index0); });
        attempt("unpress cell", [&] { unpress(Index0); });
        attempt("press around", [&] { togglePressedAround(index); });
        attempt("press cell", [&] { togglePressed(index); });
        Index0 = index;
    }
}

void cField::editToggleMine(cCell& cell)
{
    cell.setMine(!cell.Mine());
    const int delta = cell.Mine() ? 1 : -1;
    attempt("set mine total", [&] { setMTot(m_MTot + delta); });
    m_MCnt += delta;
    attempt("draw cell", [&] { cell.UpdPic(*this); });
    attempt("count numbers", [&] { CntNr(); });
    // Later random mines must avoid the cells edited by hand.
    attempt("rebuild pool", [&] { CntO(); });
}

void cField::releaseAction()
{
    cCell& cell = cellRef(Index0);
    switch (Mouse) {
    case PictureBox::LeftButton:
        // Only an opening deals: flags, chords and other buttons before it leave
        // the board waiting, and a flagged cell does not open.
        if (m_dealPending && (cell.Status() == CellStatus::Covered || cell.Status() == CellStatus::Pressed))
            dealPending(Index0);
        ChkCell(Index0);
        break;
    case PictureBox::RightButton:
        cell.Check(CellAction::ToggleFlag, *this);
        if (cell.Status() == CellStatus::Covered)
            ++m_MCnt;
        else if (cell.Status() == CellStatus::Flagged)
            --m_MCnt;
        break;
    case BothButtons: {
        attempt("unpress around", [&] { unpressAround(Index0); });
        if (cell.Status() != CellStatus::Opened)
            break;
        int flags = 0;
        for (int n : cell.Ngh())
            flags += cellRef(n).Status() == CellStatus::Flagged ? 1 : 0;
        if (flags == cell.Nr())
            ChkAll(Index0);
        break;
    }
    default:
        break;
    }
}

void cField::Pic_MouseUp(int Button, int, float, float)
{
    // A release whose press the field never saw (it came before a reset, before
    // this field was loaded, or beside the board) is no move at all.
    if (!(Mouse & Button))
        return;
    // The release acts where the gesture points now (Index0), not where it ends.
    if (Index0 >= 0 && Index0 < cellCount()) {
        if (m_Edit) {
            attempt("toggle mine", [&] { editToggleMine(cellRef(Index0)); });
            // The counter and the smile follow an edit as they follow a move.
            emit Update(1);
        } else {
            attempt("release action", [&] { releaseAction(); });
            attempt("start clock", [&] { setFldStatus(FieldStatus::Running); });
            attempt("check win", [&] { ChkWin(); });
        }
    }
    // Cleared, not subtracted: the move may have ended the gesture already (a lost
    // game disables the board, which cancels the buttons still held).
    Mouse = static_cast<qint16>(Mouse & ~Button);
}

void cField::Pic_DblClick()
{
    // The second press of a double-click comes without MouseDown; counting it here
    // keeps the following release right.
    Mouse = static_cast<qint16>(Mouse | LastMouse);
}

void cField::Pic_DblClickAt(int Button, int Shift, float X, float Y)
{
    const int index = cellAt(X, Y);
    // Only a second press on the cell of a first press the field saw and saw
    // released is a double-click. Two quick clicks on neighbouring small cells, or
    // a first press beside the board, make this a press of its own.
    if (Button == LastMouse && !(Mouse & Button) && index >= 0 && index == m_pressCell) {
        Pic_DblClick();
        return;
    }
    Pic_MouseDown(Button, Shift, X, Y);
}

bool cField::endGesture()
{
    if (!Mouse)
        return false;
    // Whatever the gesture shows pressed goes back to covered; nothing is opened
    // or flagged, as no release came.
    if (Index0 >= 0 && Index0 < cellCount()) {
        attempt("unpress around", [&] { unpressAround(Index0); });
        attempt("unpress cell", [&] { unpress(Index0); });
    }
    Mouse = 0;
    return true;
}

void cField::Pic_MouseCancel()
{
    // The smile shown for the press gives way to the one for the status.
    if (endGesture())
        emit Update(1);
}

void cField::Pic_Click() {}

void cField::Pic_Paint()
{
    const int count = cellCount();
    for (int i = 0; i < count; ++i)
        cellRef(i).UpdPic(*this);
}
