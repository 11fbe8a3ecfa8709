#pragma once

#include <QDialog>
#include <QVariant>

#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

// The custom-size dialog. The main window fills x0, y0 and m0 before showing it
// and reads them back afterwards; the dialog itself checks no ranges.
class fCustom : public QDialog {
    Q_OBJECT
public:
    explicit fCustom(QWidget* parent = nullptr);

    QVariant x0, y0;
    int m0 = 0;
    bool IsCancelled = false;
    QLineEdit* txtHeight = nullptr;
    QLineEdit* txtWidth = nullptr;
    QLineEdit* txtMines = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QLabel* lblHght = nullptr;
    QLabel* lblWidth = nullptr;
    QLabel* lblMines = nullptr;

    void cmdOK_Click();
    void cmdCancel_Click();
    // Each stores its box's value when the text is a number; Cancel comes back
    // true when it is not, and a change of focus then keeps the focus in the box.
    void txtHeight_Validate(bool& Cancel);
    void txtWidth_Validate(bool& Cancel);
    void txtMines_Validate(bool& Cancel);

    // A box's text as a 32-bit integer, rounded to the nearest (halves to even);
    // nothing when it is not a number or lies beyond the 32-bit range.
    static std::optional<int> roundedNumber(const QString& text);

public slots:
    // Every way of rejecting the dialog, the title-bar close box included, is Cancel.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    bool Form_KeyDown(const QKeyEvent* event);
    bool keyPress(QLineEdit* box, const QKeyEvent* event);
    void validate(QLineEdit* box, bool& Cancel);
    bool m_loaded = false;
    // The box whose failed validation holds the focus against the click under way.
    QLineEdit* m_heldBox = nullptr;
};
