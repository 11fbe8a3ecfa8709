#include "formScores.h"

#include "HexCodes.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
// Rows top to bottom: professional, intermediate, rookie; each with its level.
const char* const RowCaptions[] = {"专业玩家：", "中级玩家：", "菜鸟玩家："};
constexpr int RowLevels[] = {2, 1, 0};
constexpr int TimeWidth = 48;
constexpr int NameWidth = 120;
}

formScores::formScores(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("成绩榜"));
    setModal(true);
    Frame1 = new QGroupBox(QStringLiteral("排名："), this);
    auto* grid = new QGridLayout(Frame1);
    grid->setHorizontalSpacing(16);
    for (int row = 0; row < 3; ++row) {
        const int level = RowLevels[row];
        auto* caption = new QLabel(QString::fromUtf8(RowCaptions[row]), Frame1);
        auto* time = new QLabel(QString::fromLatin1(ScoreDefault::Time), Frame1);
        auto* name = new QLabel(QString::fromUtf8(ScoreDefault::Name), Frame1);
        time->setMinimumWidth(TimeWidth);
        time->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        name->setMinimumWidth(NameWidth);
        name->setTextFormat(Qt::PlainText);
        Label2[static_cast<size_t>(level)] = caption;
        Label1[static_cast<size_t>(2 * level)] = time;
        Label1[static_cast<size_t>(2 * level + 1)] = name;
        grid->addWidget(caption, row, 0);
        grid->addWidget(time, row, 1);
        grid->addWidget(name, row, 2);
    }
    Command1 = new QPushButton(QStringLiteral("确定"), this);
    Command1->setDefault(true);
    auto* all = new QVBoxLayout(this);
    all->addWidget(Frame1);
    all->addWidget(Command1, 0, Qt::AlignHCenter);
    all->setSizeConstraint(QLayout::SetFixedSize);
    connect(Command1, &QPushButton::clicked, this, &formScores::Command1_Click);
}

void formScores::Command1_Click()
{
    accept();
}
