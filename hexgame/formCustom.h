#pragma once

#include <QDialog>

#include <array>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

// The custom difficulty dialog: three boxes, columns, rows and mines, top to
// bottom. OK corrects the boxes to the game's limits and applies the custom
// level through the owner's applyCustom; Cancel and the close box only hide it.
class formCustom : public QDialog {
    Q_OBJECT
public:
    explicit formCustom(QWidget* parent = nullptr);

    std::array<QLineEdit*, 3> Text1{};
    std::array<QLabel*, 3> Label1{};
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;

    void Command1_Click();
    void Command2_Click();

    // What OK does after correcting the boxes: the window sets the custom level.
    std::function<void()> applyCustom;

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
};
