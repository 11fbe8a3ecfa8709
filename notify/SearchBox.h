#pragma once

#include <QLineEdit>

// The window's search box. It holds a prompt that the player types over, so
// every way into the box (a click, Tab, the window coming up or back to the
// front) leaves its whole text selected. The box may have the focus before the
// player ever uses it (it comes with the window), so the first click after
// such an entry counts as the entry too; clicks after that place the cursor.
class SearchBox : public QLineEdit {
    Q_OBJECT
public:
    explicit SearchBox(const QString& text, QWidget* parent = nullptr);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    bool m_entered = false;       // entered and not used since
    bool m_enteringPress = false; // the press that entered is still held
};
