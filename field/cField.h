#pragma once

#include "cCell.h"

#include "Rnd.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

class PictureBox;

// The minefield: size, cells, mines, counters, rules of play and game time. It
// draws into the picture box it is handed and takes that box's mouse input; a
// field without a picture box or timer plays and computes just the same.
class cField : public QObject {
    Q_OBJECT
public:
    static constexpr int MinXx = 8, MaxXx = 255, MinYy = 1, MaxYy = 166;

    explicit cField(QObject* parent = nullptr);
    ~cField() override;

    qint16 Mouse = 0, LastMouse = 0;
    int Index0 = -1;
    QString Tag;

    PictureBox* Pic() const;
    void setPic(PictureBox* nPic);
    QTimer* Timer1() const;
    void setTimer1(QTimer* nTimer);

    int Xx() const { return m_Xx; }
    void setXx(int nXx);
    int Yy() const { return m_Yy; }
    void setYy(int nYy);
    int View() const { return m_View; }
    void setView(int nView);
    int Size() const { return m_Size; }
    void setSize(int nSize);
    int FldStatus() const { return m_FldStatus; }
    void setFldStatus(int nFldStatus);
    bool Edit() const { return m_Edit; }
    void setEdit(bool nEdit);
    float Time() const;
    int cDim() const { return m_cDim; }
    int cAdd() const { return m_cAdd; }
    int MCnt() const { return m_MCnt; }
    int MTot() const { return m_MTot; }
    void setMTot(int nMTot);

    // Inline: the analysis engine and the win check read every cell many times a
    // command. Every slot holds a cell; past the last one there is none, and a
    // negative index is out of range.
    const cCell* Cell(int Index) const
    {
        if (Index >= 0 && static_cast<size_t>(Index) < m_Cells.size())
            return m_Cells[static_cast<size_t>(Index)].get();
        return cellOutside(Index);
    }
    cCell* Cell(int Index) { return const_cast<cCell*>(std::as_const(*this).Cell(Index)); }
    void setCell(int Index, std::unique_ptr<cCell> nCell);
    const std::vector<int>& FreePool() const { return m_FreePool; }
    void Randomize(quint32 seed);

    void Setup(int width, int height, int mines, int view, int size);
    void Reset();
    void RedimCell();
    void SetNgh(int Index);
    void AddMine();
    void CntNr();
    void CntO();
    void CntM();
    void ChkCell(int Index);
    void ChkAll(int Index);
    void EnableField(bool YN);
    void ChkWin();

    void Pic_MouseDown(int Button, int Shift, float X, float Y);
    void Pic_MouseMove(int Button, int Shift, float X, float Y);
    void Pic_MouseUp(int Button, int Shift, float X, float Y);
    void Pic_DblClick();
    // The second press of a double-click with its button and position: counted as
    // the second press when it falls on the cell of the first, a press of its own otherwise.
    void Pic_DblClickAt(int Button, int Shift, float X, float Y);
    // The picture box lost the buttons held on it without their release (a menu or
    // another window took the pointer): the gesture ends without a move.
    void Pic_MouseCancel();
    void Pic_Click();
    void Pic_Paint();

    // Boards dealt around the first opening. While DeferDeal is on, every Reset
    // leaves the board without mines and the deal pending; the first left release
    // on a covered cell then raises DealRequested with that cell, before the cell
    // opens, so that the handler can deal the MTot mines around it. Without a
    // handler the field deals at random itself, as a Reset would have. Entering
    // edit mode deals a pending board at random too: the editor works on the
    // mines the game will be played with. Off by default, and a field keeps it
    // until told otherwise; a board built by other means is never pending.
    bool DeferDeal() const { return m_deferDeal; }
    void setDeferDeal(bool on) { m_deferDeal = on; }
    bool DealPending() const { return m_dealPending; }
    // Deals a pending board at random, as a Reset would have: for whatever needs
    // the mines before the first opening, the editor and a save among them.
    void DealPendingAtRandom();

    // The number of cells, which is Xx * Yy once the board is built.
    int cellCount() const { return static_cast<int>(m_Cells.size()); }
    // The cell under a board position in twips, or -1 when the position is off the board.
    int cellAt(float X, float Y) const;

    // True while every cell's neighbour list is the one SetNgh gives on this
    // Xx x Yy board, as a reset or an import leaves them: the flood and readers of
    // the whole board may then work the lists out instead of reading forty
    // thousand of them.
    bool standardNeighbours() const
    {
        return m_nghBuilt == cellCount() && m_nghEpoch == cCell::nghChanges();
    }

    // Every cell's status and number as a byte, by index: what a reader of the
    // whole board copies instead of visiting forty thousand cells. The field keeps
    // them in step with every change it can follow (a status moved through a
    // cell's Check on this field, the numbers it counts itself) and reads them
    // again from the cells after any other (a cell initialised, replaced or handed
    // to another field, a number set from outside).
    const std::vector<std::int8_t>& statusBytes() const;
    const std::vector<std::int8_t>& numberBytes() const;

    // What changed on the board since a reader last cleared the record: the cells
    // whose status moved through a cell's Check on this field, in order, repeats
    // included. clearStatusLog() starts a fresh record and returns its ticket. The
    // record is complete for that ticket only while nobody cleared it since and
    // nothing changed that the field cannot follow cell by cell (the cells were
    // made anew or replaced, a cell was re-initialised, or more changes piled up
    // than the board has cells); otherwise the reader reads the board again.
    unsigned clearStatusLog();
    bool statusLogComplete(unsigned ticket) const;
    const std::vector<int>& statusLog() const { return m_statusLog; }

signals:
    void ChangeXx();
    void ChangeSize();
    void FieldEnable();
    void Update(int Sign);
    void DealRequested(int Index);

private:
    friend class cCell;

    // A cell of a flood on lists of any shape whose neighbours are still being looked at.
    struct ListFrame {
        int cell;
        int next;  // the position in its list to look at next
    };

    // Called by a cell's Check after its status moved from before.
    void statusChanged(const cCell& cell, int before);
    void tally(int status, int delta);
    // Makes sure the counts of flagged, covered and exploded cells are those of
    // the board, reading every status when they cannot be trusted.
    void ensureCounts();
    // The cells were made anew or replaced: nothing counted or recorded holds.
    void forgetStatuses();
    void placeMines(int count);
    void dealPending(int Index);
    // The two ways of walking a flood from Index, in the same order: with the
    // neighbours worked out from a cell's place, or read from its list.
    void floodGrid(int Index);
    void floodLists(int Index);

    static std::vector<std::unique_ptr<cCell>> freshCells(size_t count);
    bool timerOn() const;
    void switchTimer(bool on);
    const cCell* cellOutside(int Index) const;
    cCell& cellRef(int Index);
    void togglePressed(int Index);
    void togglePressedAround(int Index);
    void unpress(int Index);
    void unpressAround(int Index);
    void releaseAction();
    void editToggleMine(cCell& cell);
    bool endGesture();

    QPointer<PictureBox> m_Pic;
    QPointer<QTimer> m_Timer1;
    // Never an empty slot: a field that was never dimensioned has one fresh cell.
    std::vector<std::unique_ptr<cCell>> m_Cells = freshCells(1);
    int m_FldStatus = 0;
    int m_Xx = 0;
    int m_Yy = 0;
    int m_View = 0;
    int m_Size = 0;
    int m_MTot = 0;
    int m_MCnt = 0;
    int m_cDim = 0;
    int m_cAdd = 0;
    bool m_Edit = false;
    float m_StartTime = 0.0f;
    float m_CarriedTime = 0.0f;
    // While edit mode holds the clock, the seconds played are exactly m_CarriedTime.
    bool m_clockHeld = false;
    bool m_timerOn = false;
    std::vector<int> m_FreePool;
    // Per cell, the neighbour slot through which a flood on a grid reached it.
    std::vector<std::uint8_t> m_floodVia;
    std::vector<ListFrame> m_listFlood;
    // Running counts, so that the mine counter and the win check after every move
    // do not walk the whole board.
    int m_flagged = 0;
    int m_covered = 0;
    int m_exploded = 0;
    bool m_countsValid = false;
    unsigned m_countsEpoch = 0;  // cCell's untracked changes when last counted
    // Behind statusBytes() and numberBytes(): refreshed by those readers when
    // they cannot be trusted, hence mutable.
    mutable std::vector<std::int8_t> m_statusBytes;
    mutable bool m_statusBytesValid = false;
    mutable unsigned m_statusBytesEpoch = 0;  // cCell's untracked changes when last read
    mutable std::vector<std::int8_t> m_numberBytes;
    mutable bool m_numberBytesValid = false;
    mutable unsigned m_numberBytesEpoch = 0;  // cCell's numbers set from outside when last read
    std::vector<int> m_statusLog;
    bool m_logBroken = true;
    unsigned m_logEpoch = 0;
    unsigned m_logTicket = 0;
    // The cells SetNgh has given the list of their place since the cells were made
    // anew, each on its own empty list; -1 once any list went another way.
    int m_nghBuilt = -1;
    unsigned m_nghEpoch = 0;  // cCell's count of appends to built lists when the cells were made anew
    // The cell pool as it shrinks while a reset draws its mines (placeMines).
    std::vector<int> m_poolTree;
    std::vector<char> m_mineMap;  // CntNr's copy of every cell's mine
    Rnd m_rnd;
    bool m_deferDeal = false;
    bool m_dealPending = false;
    // The cell under the last press, for telling a double-click from two quick clicks.
    int m_pressCell = -1;
};
