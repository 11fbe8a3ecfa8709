#include "fAbout.h"

#include "PictureBox.h"
#include "WebHosts.h"

#include <QFont>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include <cmath>

namespace {
// The box was laid out in twips; the toolkit places widgets in pixels.
QRect twips(int left, int top, int width, int height)
{
    const auto px = [](int t) {
        return static_cast<int>(std::lround(static_cast<double>(t) / PictureBox::TwipsPerPixel));
    };
    return {px(left), px(top), px(width), px(height)};
}

QFont songTi(int pointSize, bool bold = false)
{
    QFont font;
    // 宋体 where the system has it; the other families are what a Chinese Linux
    // desktop usually has in its place.
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("NSimSun"),
                      QStringLiteral("AR PL UMing CN"), QStringLiteral("Noto Serif CJK SC"),
                      QStringLiteral("WenQuanYi Micro Hei")});
    font.setPointSize(pointSize);
    font.setBold(bold);
    return font;
}

QLabel* label(QWidget* parent, const char* name, const QRect& place, const QFont& font)
{
    auto* l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setFont(font);
    l->setGeometry(place);
    return l;
}
}

fAbout::fAbout(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("关于扫雷"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint);
    setFixedSize(twips(0, 0, 4800, 3480).size());

    // The frame round the program's picture on the left.
    Shape1 = new QFrame(this);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setFrameShape(QFrame::StyledPanel);
    Shape1->setFrameShadow(QFrame::Sunken);
    Shape1->setGeometry(twips(180, 180, 870, 870));
    Image3 = new QLabel(this);
    Image3->setObjectName(QStringLiteral("Image3"));
    Image3->setGeometry(twips(255, 255, 720, 720));
    Image3->setAlignment(Qt::AlignCenter);
    Image3->setPixmap(QIcon(QStringLiteral(":/icons/gridwarden.png")).pixmap(48, 48));

    lblTitle = label(this, "lblTitle", twips(1260, 120, 3300, 360), songTi(12, true));
    Label2 = label(this, "Label2", twips(1260, 480, 600, 240), songTi(9));
    lblVer = label(this, "lblVer", twips(1860, 495, 2400, 240), songTi(9));
    Label1 = label(this, "Label1", twips(1260, 720, 600, 240), songTi(9));
    lblAuthor = label(this, "lblAuthor", twips(1860, 720, 2700, 240), songTi(9));
    Label2->setText(QStringLiteral("版本："));
    Label1->setText(QStringLiteral("作者："));

    txtInfo = new QPlainTextEdit(this);
    txtInfo->setObjectName(QStringLiteral("txtInfo"));
    txtInfo->setFont(songTi(9));
    txtInfo->setGeometry(twips(1260, 1110, 3285, 1455));
    txtInfo->setReadOnly(true);

    cmdOK = new QPushButton(QStringLiteral("确定"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(twips(3660, 2730, 825, 315));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &fAbout::cmdOK_Click);

    Form_Load();
}

void fAbout::Form_Load()
{
    lblTitle->setText(QStringLiteral("Gridwarden"));
    lblVer->setText(QStringLiteral("V2005.7"));
    lblAuthor->setText(QStringLiteral("Tervane软件工作室"));
    // Three lines: the slogan, the caption of the address, the address.
    txtInfo->setPlainText(QStringLiteral("Gridwarden玩家的首选!\n作者网站：\n")
                          + QString::fromLatin1(WebHosts::MainSite));
}

void fAbout::cmdOK_Click()
{
    accept();
}
