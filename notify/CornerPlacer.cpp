#include "CornerPlacer.h"

#include "Attempt.h"
#include "CornerPlacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <stdexcept>

CornerPlacer::CornerPlacer(QWidget* window)
    : QObject(window)
    , m_window(window)
{
    window->installEventFilter(this);
}

int CornerPlacer::slot() const
{
    return m_slot.number();
}

QMargins CornerPlacer::frameMargins() const
{
    const QWindow* handle = m_window->windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}

void CornerPlacer::place()
{
    const QScreen* screen = m_window->screen() ? m_window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        throw std::runtime_error("no screen");
    const QMargins margins = frameMargins();
    const QSize frame = m_window->size().grownBy(margins);
    const int number = m_slot.take();
    m_placedWith = margins;
    m_placed = true;
    // A window's position is its frame's.
    m_window->move(cornerPosition(screen->availableGeometry(), frame, number));
}

bool CornerPlacer::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window) {
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::Move:
        case QEvent::Resize:
            // The frame arrives with the window manager's first move of the
            // window; a player's move leaves the frame as it was.
            if (m_placed && m_window->isVisible() && frameMargins() != m_placedWith)
                attempt(lcComponent, "place framed window", [this] { place(); });
            break;
        case QEvent::Hide:
            // A minimised window is still there and keeps its place.
            if (!event->spontaneous()) {
                m_slot.release();
                m_placed = false;
            }
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}
