#pragma once

#include <QPushButton>

// The face button. Its caption is one letter, "K", "J" or "L", which the symbol
// font shows as a neutral, smiling and frowning face. Where that font is missing
// the button draws the three faces itself, so the caption stays the game's state
// either way. The background is the palette's button colour.
class FaceButton : public QPushButton {
    Q_OBJECT
public:
    explicit FaceButton(QWidget* parent = nullptr);

    void setBackground(const QColor& colour);
    QColor background() const;
    // Whether the symbol font is installed and draws the caption.
    static bool symbolFontPresent();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void drawFace(QPainter& painter, const QRectF& box) const;
};
