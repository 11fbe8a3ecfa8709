#include "SearchBox.h"

#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>

SearchBox::SearchBox(const QString& text, QWidget* parent)
    : QLineEdit(text, parent)
{
}

void SearchBox::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    // Focus that comes back from the box's own menu or a pop-up is no entry: the
    // player is still at work in the box.
    if (event->reason() == Qt::PopupFocusReason)
        return;
    m_entered = true;
    selectAll();
}

void SearchBox::focusOutEvent(QFocusEvent* event)
{
    m_enteringPress = false;
    QLineEdit::focusOutEvent(event);
}

void SearchBox::mousePressEvent(QMouseEvent* event)
{
    if (m_entered && event->button() == Qt::LeftButton) {
        // The press that enters the box would place the cursor and drop the
        // selection; it selects instead, and drags until its release with it.
        m_entered = false;
        m_enteringPress = true;
        selectAll();
        event->accept();
        return;
    }
    m_entered = false;
    QLineEdit::mousePressEvent(event);
}

void SearchBox::mouseMoveEvent(QMouseEvent* event)
{
    if (m_enteringPress) {
        event->accept();
        return;
    }
    QLineEdit::mouseMoveEvent(event);
}

void SearchBox::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_enteringPress) {
        m_enteringPress = false;
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void SearchBox::keyPressEvent(QKeyEvent* event)
{
    m_entered = false;
    QLineEdit::keyPressEvent(event);
}

void SearchBox::inputMethodEvent(QInputMethodEvent* event)
{
    m_entered = false;
    QLineEdit::inputMethodEvent(event);
}
