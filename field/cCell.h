#pragma once

#include <atomic>
#include <vector>

class cField;

// One square of the minefield. It applies the three elementary actions to itself
// and draws itself; the rules that involve other cells belong to the field.
class cCell {
public:
    bool Mine() const { return m_Mine; }
    void setMine(bool nMine) { m_Mine = nMine; }
    int Nr() const { return m_Nr; }
    void setNr(int nNr);
    int Status() const { return m_Status; }
    int X() const { return m_X; }
    int Y() const { return m_Y; }
    const std::vector<int>& Ngh() const { return m_Ngh; }
    void addNgh(int nNgh);

    void Init(int Index, int Xx, bool Mine);
    void Check(int nChk, cField& Fld);
    void UpdPic(cField& Fld);

    // The picture this cell shows under the field's view and status, as a base
    // code (before the zoom size's offset).
    int PicBase(const cField& Fld) const;

private:
    friend class cField;

    // Counts the status changes no field could follow cell by cell: every Init (it
    // is called on cells, not through a field) and a Check handed a field that
    // does not own the cell. A field that sees this count move reads its statuses
    // again before it trusts what it counted.
    static unsigned untrackedChanges() { return s_untracked.load(std::memory_order_relaxed); }
    static void noteUntrackedChange()
    {
        // A plain increment: cells live on the thread of their field, and all that
        // matters to a reader is that the count moved.
        s_untracked.store(s_untracked.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
    }
    static inline std::atomic<unsigned> s_untracked{0};
    // Counts appends to lists that a field built and vouched for, so that a field
    // can tell that the lists it built are still as it built them. Lists being
    // built for a new board do not count: building one board must not make every
    // other one read its forty thousand lists again.
    static unsigned nghChanges() { return s_nghChanges.load(std::memory_order_relaxed); }
    static inline std::atomic<unsigned> s_nghChanges{0};
    // Counts the numbers set from outside a field's count of them, so that a field
    // can tell that the numbers it counted are still the cells' own.
    static unsigned nrChanges() { return s_nrChanges.load(std::memory_order_relaxed); }
    static inline std::atomic<unsigned> s_nrChanges{0};
    // The field's own count: the same check as setNr, without counting as a change
    // from outside.
    void storeNr(int nNr);

    // Makes this cell what a newly made one is, keeping the room its neighbour
    // list took, so that a field rebuilding a board of the same size need not
    // free and allocate eighty thousand blocks.
    void renew();

    void DoOpen();
    void DoFlag();
    void DoPress();

    bool m_Mine = false;
    // The list is the one the field's SetNgh built for this cell's place.
    bool m_gridList = false;
    int m_Nr = 0;
    int m_Status = 0;
    int m_X = 0;
    int m_Y = 0;
    std::vector<int> m_Ngh;
};
