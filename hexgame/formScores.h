#pragma once

#include <QDialog>

#include <array>

class QGroupBox;
class QLabel;
class QPushButton;

// The score board. Its six labels hold the best time and name of each level,
// time of level L in Label1[2L] and name in Label1[2L + 1]; they are the scores
// themselves, read from and written to the settings file.
class formScores : public QDialog {
    Q_OBJECT
public:
    explicit formScores(QWidget* parent = nullptr);

    std::array<QLabel*, 6> Label1{};
    std::array<QLabel*, 3> Label2{};
    QGroupBox* Frame1 = nullptr;
    QPushButton* Command1 = nullptr;

    void Command1_Click();
};
