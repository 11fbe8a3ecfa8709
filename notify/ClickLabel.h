#pragma once

#include <QLabel>

// A label that acts on a click: the window's web links and its two pictures.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClickLabel(const QString& text, QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    // Text links underline while the pointer is over them, as web links do.
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void setUnderline(bool on);
};
