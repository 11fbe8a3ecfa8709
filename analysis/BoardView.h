#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

class cField;

// The board as the player sees it, copied into flat arrays. Numbers and neighbour
// lists do not change while a command runs, so they are read once. Statuses are
// either read again in full or only where the field recorded a change, whoever
// made it (the engine's own moves, a receiver of the field's events or of the
// trace), so after a pass the other forty thousand cells need not be read. The
// cells whose status moved are collected until the deductions built on the view
// have caught up with them.
class BoardView {
public:
    // Reads the whole board afresh.
    void bind(const cField& field);
    // Reads every status again, collecting the cells that changed; a board that
    // was rebuilt meanwhile (a new size) is bound again.
    void refresh(const cField& field);
    // Reads again the cells the field recorded as changed.
    void follow(const cField& field, const std::vector<int>& cells);

    bool bound() const { return m_count > 0; }
    int count() const { return m_count; }
    int status(int index) const { return m_status[static_cast<std::size_t>(index)]; }
    int nr(int index) const { return m_nr[static_cast<std::size_t>(index)]; }
    std::span<const int> ngh(int index) const
    {
        const auto begin = static_cast<std::size_t>(m_nghStart[static_cast<std::size_t>(index)]);
        const auto end = static_cast<std::size_t>(m_nghStart[static_cast<std::size_t>(index) + 1]);
        return {m_ngh.data() + begin, end - begin};
    }
    int statusSum() const { return m_sum; }

    // Cells whose status changed since the last clearChanges().
    const std::vector<int>& changes() const { return m_changes; }
    // True when the board was read in full by bind() since the last clearChanges():
    // whatever was learnt about it before is void.
    bool rebound() const { return m_rebound; }
    void clearChanges();
    // Forgets the board but keeps the room it took.
    void unbind();

    // True when the neighbour lists are those of a rectangular grid of width()
    // columns, so that "near a cell" can be taken as a square around it. Boards
    // built by hand with other lists still work; they just learn nothing between passes.
    bool isGrid() const { return m_grid; }
    int width() const { return m_width; }
    // True for a cell of a grid that lies away from its border.
    bool inside(int index) const
    {
        const int x = index % m_width, y = index / m_width;
        return x > 0 && x < m_width - 1 && y > 0 && y < m_count / m_width - 1;
    }
    int height() const { return m_width > 0 ? m_count / m_width : 0; }

private:
    void bindGrid(const cField& field);
    bool gridNeighbours(int index, std::span<const int> ngh) const;
    // Stores a status read from the field; true when it differs from the last one.
    bool note(int index, int status);

    int m_count = 0;
    int m_width = 0;
    int m_sum = 0;
    bool m_grid = false;
    bool m_rebound = false;
    std::vector<std::int8_t> m_status;
    std::vector<std::int8_t> m_nr;
    std::vector<int> m_nghStart;
    std::vector<int> m_ngh;
    std::vector<int> m_changes;
};
