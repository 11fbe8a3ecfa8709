#include "formCustom.h"

#include "HexCodes.h"
#include "TextNumber.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
// The captions of the three rows. The first box holds the columns, which run
// across the board, so its caption names the width; the second names the height.
const char* const Captions[] = {"宽度：", "高度：", "雷数："};
constexpr int BoxWidth = 64;
}

formCustom::formCustom(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("自定义难度"));
    setModal(true);
    auto* grid = new QGridLayout;
    for (size_t i = 0; i < Text1.size(); ++i) {
        Label1[i] = new QLabel(QString::fromUtf8(Captions[i]), this);
        Text1[i] = new QLineEdit(this);
        Text1[i]->setFixedWidth(BoxWidth);
        Text1[i]->setMaxLength(10);
        Label1[i]->setBuddy(Text1[i]);
        grid->addWidget(Label1[i], static_cast<int>(i), 0);
        grid->addWidget(Text1[i], static_cast<int>(i), 1);
    }
    Command1 = new QPushButton(QStringLiteral("确定"), this);
    Command2 = new QPushButton(QStringLiteral("取消"), this);
    Command1->setDefault(true);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    buttons->addStretch();
    auto* all = new QHBoxLayout(this);
    all->addLayout(grid);
    all->addSpacing(12);
    all->addLayout(buttons);
    all->setSizeConstraint(QLayout::SetFixedSize);

    connect(Command1, &QPushButton::clicked, this, &formCustom::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &formCustom::Command2_Click);
}

void formCustom::Command1_Click()
{
    auto value = [this](size_t box) { return leadingNumber(Text1[box]->text()); };
    const Limits::CustomSize asked{value(0), value(1), value(2)};
    const Limits::CustomSize kept = Limits::clampCustom(asked);
    // Only a box that breaks a rule is rewritten; "12abc" keeps its text.
    auto correct = [this](size_t box, double was, double now) {
        if (now != was)
            Text1[box]->setText(QString::number(static_cast<int>(now)));
    };
    correct(0, asked.cols, kept.cols);
    correct(1, asked.rows, kept.rows);
    correct(2, asked.mines, kept.mines);
    accept();
    if (applyCustom)
        applyCustom();
}

void formCustom::Command2_Click()
{
    QDialog::reject();
}

void formCustom::reject()
{
    Command2_Click();
}

void formCustom::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Every opening starts in the first box with its number selected, so that
    // what the player types replaces it, wherever the focus was left last time.
    Text1[0]->setFocus(Qt::OtherFocusReason);
    Text1[0]->selectAll();
}
