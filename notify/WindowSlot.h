#pragma once

// A notification window's place among those this user's processes show at the
// same time: the lowest number no other shown window holds. The places are
// locks on files in a folder only this user can write; the kernel lets go of
// them when their process ends, however it ends, so a game that crashed never
// keeps a place taken.
class WindowSlot {
public:
    WindowSlot() = default;
    ~WindowSlot();
    WindowSlot(const WindowSlot&) = delete;
    WindowSlot& operator=(const WindowSlot&) = delete;

    // Takes the lowest free place unless one is held already, and gives its
    // number. Without a folder for the locks, or with every place taken, the
    // window goes to place 0 and holds nothing.
    int take();
    void release();
    // The place held, -1 when none.
    int number() const;

private:
    int m_fd = -1;
    int m_number = -1;
};
