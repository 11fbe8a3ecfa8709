#include "cCell.h"

#include "FieldCodes.h"
#include "FieldErrors.h"
#include "cField.h"

#include "LoadResPicture.h"
#include "PictureBox.h"

void cCell::setNr(int nNr)
{
    storeNr(nNr);
    s_nrChanges.store(s_nrChanges.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
}

void cCell::storeNr(int nNr)
{
    if (nNr < 0 || nNr > 8)
        throw cellNumberError();
    m_Nr = nNr;
}

void cCell::addNgh(int nNgh)
{
    // A cell has at most eight neighbours: one allocation instead of four.
    if (m_Ngh.capacity() == 0)
        m_Ngh.reserve(8);
    m_Ngh.push_back(nNgh);
    if (m_gridList) {
        m_gridList = false;
        s_nghChanges.store(s_nghChanges.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
    }
}

void cCell::renew()
{
    m_Mine = false;
    m_Nr = 0;
    m_Status = CellStatus::Covered;
    m_X = 0;
    m_Y = 0;
    m_Ngh.clear();
    m_gridList = false;
}

void cCell::Init(int Index, int Xx, bool Mine)
{
    if (m_Status != CellStatus::Covered)
        noteUntrackedChange();
    m_Status = CellStatus::Covered;
    m_X = Index % Xx;
    m_Y = Index / Xx;
    m_Mine = Mine;
}

void cCell::Check(int nChk, cField& Fld)
{
    const int before = m_Status;
    switch (nChk) {
    case CellAction::Open:
        DoOpen();
        break;
    case CellAction::ToggleFlag:
        DoFlag();
        break;
    case CellAction::TogglePressed:
        DoPress();
        break;
    default:
        break;
    }
    // The field keeps its counts of flagged, covered and exploded cells, and its
    // record of what changed, from this one place where a status moves in play.
    if (m_Status != before)
        Fld.statusChanged(*this, before);
    UpdPic(Fld);
}

void cCell::DoOpen()
{
    if (m_Status == CellStatus::Covered || m_Status == CellStatus::Pressed)
        m_Status = m_Mine ? CellStatus::Exploded : CellStatus::Opened;
}

void cCell::DoFlag()
{
    if (m_Status == CellStatus::Covered || m_Status == CellStatus::Pressed)
        m_Status = CellStatus::Flagged;
    else if (m_Status == CellStatus::Flagged)
        m_Status = CellStatus::Covered;
}

void cCell::DoPress()
{
    if (m_Status == CellStatus::Covered)
        m_Status = CellStatus::Pressed;
    else if (m_Status == CellStatus::Pressed)
        m_Status = CellStatus::Covered;
}

int cCell::PicBase(const cField& Fld) const
{
    if (Fld.View() == ViewMode::Numbers)
        return PicCode::Empty + m_Nr;
    if (Fld.View() == ViewMode::Mines)
        return m_Mine ? PicCode::Mine : PicCode::Empty;

    // After a loss the board tells the truth: unflagged mines appear, correct
    // flags turn into mines and wrong flags are marked as such.
    const bool lost = Fld.FldStatus() == FieldStatus::Lost;
    switch (m_Status) {
    case CellStatus::Exploded:
        return PicCode::Exploded;
    case CellStatus::Covered:
        return lost && m_Mine ? PicCode::Mine : PicCode::Covered;
    case CellStatus::Opened:
        return PicCode::Empty + m_Nr;
    case CellStatus::Flagged:
        if (!lost)
            return PicCode::Flag;
        return m_Mine ? PicCode::Mine : PicCode::WrongFlag;
    case CellStatus::Pressed:
    default:
        return PicCode::Empty;
    }
}

void cCell::UpdPic(cField& Fld)
{
    PictureBox* pic = Fld.Pic();
    if (!pic)
        return;
    pic->PaintPicture(LoadResPicture(PicBase(Fld) + Fld.cAdd()),
                      static_cast<float>(m_X * Fld.cDim()), static_cast<float>(m_Y * Fld.cDim()));
}
