#pragma once

#include "WindowSlot.h"

#include <QMargins>
#include <QObject>

class QWidget;

// Keeps a notification window's frame in its corner of the screen's free area:
// places it when asked, and again when the window manager has framed it, since
// only then is the frame's size known. A frame that never comes (no window
// manager) needs no second placement. Once framed the window is the player's
// to move. While the window is shown it holds its slot, so that the windows of
// several games do not cover one another.
class CornerPlacer : public QObject {
    Q_OBJECT
public:
    explicit CornerPlacer(QWidget* window);   // a child of the window

    void place();
    int slot() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QMargins frameMargins() const;

    QWidget* m_window = nullptr;
    WindowSlot m_slot;
    bool m_placed = false;
    QMargins m_placedWith;   // the frame the last placement reckoned with
};
