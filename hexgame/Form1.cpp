#include "Form1.h"

#include "FaceButton.h"
#include "HexCodes.h"
#include "Module1.h"
#include "SettingsFile.h"
#include "TextNumber.h"
#include "formCustom.h"
#include "formScores.h"

#include "AppPath.h"
#include "Attempt.h"
#include "Clock.h"
#include "FittedText.h"
#include "InputBox.h"
#include "PictureBox.h"
#include "SecondCatchUp.h"
#include "Shell.h"
#include "WebHosts.h"

#include <QAction>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTimer>

#include <cmath>
#include <functional>

namespace {
constexpr char SpriteSheet[] = ":/hexgame/hexsprites.bmp";
constexpr int SheetWidth = 266;
constexpr int SheetTop = -50;

// The window's client area in pixels: the status strip above the board, the
// board at (8, 29), and a margin of 8 around the rest. These are what the
// frame allowance of 367 twips across and 1310 down leaves inside a window.
constexpr int BoardLeft = 8;
constexpr int BoardTop = 29;
constexpr int Margin = 8;
constexpr int CounterLeft = 16;
constexpr int StatusTop = 2;
constexpr QSize StatusSize(36, 24);
constexpr int FaceSide = 28;
constexpr int FaceShift = 6;        // face left = board width / 2 - 6
constexpr int TimeShift = 35;       // time left = board width - 35
constexpr int ClockInterval = 1000;
constexpr int SecondsPerDay = 24 * 60 * 60;
const QColor BoardBackground(128, 128, 128);

const char* const NamePrompt = "恭喜，请输入您的大名：";
const char* const NameTitle = "继续努力";
const char* const NameDefault = "无名菜鸟";

void setMenuCheck(QAction* item, bool on)
{
    // Checkable only while checked, so an unchecked item shows no empty box.
    item->setCheckable(on);
    item->setChecked(on);
}

QFont statusFont()
{
    QFont font(QStringLiteral("Arial"), 12, QFont::Bold);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QLabel* statusLabel(QWidget* parent, const QColor& text)
{
    auto* label = new QLabel(QStringLiteral("0"), parent);
    label->setAutoFillBackground(true);
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, Qt::black);
    pal.setColor(QPalette::WindowText, text);
    label->setPalette(pal);
    label->setFont(statusFont());
    label->setAlignment(Qt::AlignCenter);
    label->resize(StatusSize);
    return label;
}

// Rounds down, also below zero, as the row and column mapping needs.
int floorInt(double value)
{
    return static_cast<int>(std::floor(value));
}
}

Form1::Form1(QWidget* parent) : QMainWindow(parent)
{
    buildControls();
    buildMenus();
    Form_Load();
}

Form1::~Form1() = default;

void Form1::buildControls()
{
    setWindowTitle(QStringLiteral("Patternsweep"));
    auto* client = new QWidget(this);
    setCentralWidget(client);

    Label1 = statusLabel(client, QColor::fromRgb(CounterColour::MinesLeft));
    Label1->move(CounterLeft, StatusTop);
    Label1->installEventFilter(this);
    Label1->setCursor(Qt::PointingHandCursor);

    Command1 = new FaceButton(client);
    Command1->resize(FaceSide, FaceSide);
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);

    Label2 = statusLabel(client, Qt::red);
    Label2->move(0, StatusTop);

    boardFrame = new QFrame(client);
    boardFrame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    boardFrame->setLineWidth(Board::Border);
    boardFrame->move(BoardLeft, BoardTop);
    Picture2 = new PictureBox(boardFrame, PictureBox::Scale::Pixels);
    Picture2->move(Board::Border, Board::Border);
    Picture2->setFocusPolicy(Qt::StrongFocus);
    // Shows only around the board's edge, where rows shifted half a cell leave room.
    Picture2->setBackColor(BoardBackground);
    connect(Picture2, &PictureBox::MouseDown, this, &Form1::Picture2_MouseDown);

    Picture1 = new PictureBox(client, PictureBox::Scale::Pixels);
    Picture1->setWidth(SheetWidth);
    Picture1->setHeight(Sprite::Height);
    Picture1->hide();

    Timer1 = new QTimer(this);
    Timer1->setInterval(ClockInterval);
    // A coarse timer may tick a little before each second, and the time shown is
    // rounded down: every tick would then show the second before.
    Timer1->setTimerType(Qt::PreciseTimer);
    connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
    m_clockCatchUp = new SecondCatchUp(Timer1, [this] { Timer1_Timer(); }, this);

    customDialog = new formCustom(this);
    customDialog->applyCustom = [this] { menuLevel_Click(Level::Custom); };
    scoreBoard = new formScores(this);
}

void Form1::buildMenus()
{
    QMenu* game = menuBar()->addMenu(QStringLiteral("游戏(&G)"));
    menuNew = game->addAction(QStringLiteral("新游戏(&N)"));
    connect(menuNew, &QAction::triggered, this, &Form1::menuNew_Click);
    game->addSeparator();
    const char* const captions[] = {"新手", "中级玩家", "专业玩家"};
    for (int i = 0; i < 3; ++i) {
        QAction* item = game->addAction(QString::fromUtf8(captions[i]));
        connect(item, &QAction::triggered, this, [this, i] { menuLevel_Click(i); });
        menuLevel[static_cast<size_t>(i)] = item;
    }
    menuCustom = game->addAction(QStringLiteral("自定义难度"));
    connect(menuCustom, &QAction::triggered, this, &Form1::menuCustom_Click);
    game->addSeparator();
    menuBest = game->addAction(QStringLiteral("成绩榜"));
    connect(menuBest, &QAction::triggered, this, &Form1::menuBest_Click);
    game->addSeparator();
    menuExit = game->addAction(QStringLiteral("退出(&X)"));
    connect(menuExit, &QAction::triggered, this, &Form1::menuExit_Click);

    QMenu* links = menuBar()->addMenu(QStringLiteral("Dorvik"));
    mnuVodidarHome = links->addAction(QStringLiteral("Dorvik首页"));
    connect(mnuVodidarHome, &QAction::triggered, this, &Form1::mnuVodidarHome_Click);
    links->addSeparator();
    mnuZVSprite = links->addAction(QStringLiteral("Dorvik精灵"));
    connect(mnuZVSprite, &QAction::triggered, this, &Form1::mnuZVSprite_Click);
    links->addSeparator();
    mnuZVMobile = links->addAction(QStringLiteral("最新手机图铃"));
    connect(mnuZVMobile, &QAction::triggered, this, &Form1::mnuZVMobile_Click);
    mnuZVBuy = links->addAction(QStringLiteral("网上购物/开店"));
    connect(mnuZVBuy, &QAction::triggered, this, &Form1::mnuZVBuy_Click);
}

void Form1::Form_Load()
{
    // The generator was seeded from the clock when the window was made.
    Picture1->move(Picture1->x(), SheetTop);
    attempt("paint sprite sheet", [&] { Picture1->PaintPicture(QImage(QString::fromLatin1(SpriteSheet)), 0, 0); });
    Level = Level::Intermediate;
    ShowMinesLeft = true;

    const Settings start = currentSettings();
    Settings read = start;
    attempt("read settings", [&] {
        if (const std::optional<QList<QByteArray>> lines = SettingsFile::readLines())
            read = SettingsFile::parse(*lines, start);
    });
    // A hand-edited file could ask for a board the arrays cannot hold.
    SettingsFile::bringWithinLimits(read);
    Level = read.Level;
    Cols = read.Cols;
    Rows = read.Rows;
    Mines = read.Mines;
    for (size_t i = 0; i < read.Scores.size(); ++i)
        scoreBoard->Label1[i]->setText(read.Scores[i]);

    customDialog->Text1[0]->setText(QString::number(Cols));
    customDialog->Text1[1]->setText(QString::number(Rows));
    customDialog->Text1[2]->setText(QString::number(Mines));
    menuLevel_Click(Level);

    m_endsAtOnce = !Module1::NotifyStart();
}

Settings Form1::currentSettings() const
{
    Settings settings;
    settings.Level = Level;
    settings.Cols = Cols;
    settings.Rows = Rows;
    settings.Mines = Mines;
    for (size_t i = 0; i < settings.Scores.size(); ++i)
        settings.Scores[i] = scoreBoard->Label1[i]->text();
    return settings;
}

void Form1::saveSettings()
{
    // A second copy that ends at start-up has read nothing of its own to save.
    if (m_endsAtOnce)
        return;
    attempt("save settings", [&] { SettingsFile::write(currentSettings()); });
}

void Form1::Form_QueryUnload()
{
    if (m_endsAtOnce || m_saved)
        return;
    m_saved = true;
    saveSettings();
    customDialog->hide();
    scoreBoard->hide();
}

void Form1::closeEvent(QCloseEvent* event)
{
    Form_QueryUnload();
    event->accept();
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Label1 && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && Label1->rect().contains(mouse->position().toPoint()))
            Label1_Click();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void Form1::DrawCell(int x, int y, int sprite)
{
    m_board.show(x, y, sprite);
}

void Form1::paintSprite(int x, int y, int sprite)
{
    const int left = Board::PitchX * x + (y % 2 == 0 ? Board::EvenRowShift : 0);
    const int top = Board::PitchY * y;
    const QImage& sheet = Picture1->canvas();
    // The mask clears the hexagon and keeps its surroundings, where the
    // neighbours' sprites overlap this one; the sprite is black outside the
    // hexagon, so ORing it in leaves the neighbours alone.
    Picture2->BitBlt(sheet, Sprite::Width * Sprite::Mask, 0, Sprite::Width, Sprite::Height, left, top,
                     PictureBox::SRCAND);
    Picture2->BitBlt(sheet, Sprite::Width * sprite, 0, Sprite::Width, Sprite::Height, left, top,
                     PictureBox::SRCPAINT);
}

void Form1::setFace(unsigned colour, const char* caption)
{
    Command1->setBackground(QColor::fromRgb(colour));
    Command1->setText(QString::fromLatin1(caption));
}

void Form1::BumpCount(int x, int y)
{
    m_board.bumpCount(x, y);
}

void Form1::NewGame()
{
    Timer1->stop();
    m_board.deal(Cols, Rows, Mines, std::ref(m_rnd));
    Picture2->Refresh();
    ShowCounter();
    setFace(FaceColour::Playing, Face::Playing);
    setFittedText(*Label2, QStringLiteral("0"), statusFont());
}

void Form1::OpenCell(int x, int y)
{
    if (m_board.open(x, y))
        showLoss();
}

void Form1::LoseGame()
{
    m_board.lose();
    showLoss();
}

void Form1::showLoss()
{
    Timer1->stop();
    setFace(FaceColour::Lost, Face::Lost);
}

void Form1::WinGame()
{
    Timer1->stop();
    m_board.win();
    Picture2->Refresh();
    ShowCounter();
    setFace(FaceColour::Won, Face::Won);
    ScoreCheck();
}

void Form1::ScoreCheck()
{
    if (Level < Level::Beginner || Level > Level::Professional)
        return;
    QLabel* time = scoreBoard->Label1[static_cast<size_t>(2 * Level)];
    QLabel* name = scoreBoard->Label1[static_cast<size_t>(2 * Level + 1)];
    const double best = leadingNumber(time->text());
    const double now = leadingNumber(Label2->text());
    // Equal times do not replace a record.
    if (!(best > now))
        return;
    time->setText(Label2->text());
    // The name is one line of the settings file, of a bounded length: the box
    // takes no more, and a name given another way is cut the same.
    const QString answer = SettingsFile::fitName(InputBox(QString::fromUtf8(NamePrompt), QString::fromUtf8(NameTitle),
                                                          QString::fromUtf8(NameDefault),
                                                          static_cast<int>(SettingsFile::MaxNameLength)));
    name->setText(answer.isEmpty() ? QString::fromUtf8(NameDefault) : answer);
    // Saved at once: a session that ends before the window closes (a logout, a
    // crash) must not take the record with it.
    saveSettings();
    scoreBoard->exec();
}

void Form1::ShowCounter()
{
    QPalette pal = Label1->palette();
    pal.setColor(QPalette::WindowText,
                 QColor::fromRgb(ShowMinesLeft ? CounterColour::MinesLeft : CounterColour::SafeLeft));
    Label1->setPalette(pal);
    setFittedText(*Label1, QString::number(ShowMinesLeft ? MinesLeft : SafeLeft), statusFont());
}

void Form1::Picture2_MouseDown(int Button, int /*Shift*/, float X, float Y)
{
    if (!Playing)
        return;
    if (!Timer1->isActive() && Label2->text() != QString::number(ClockCap)) {
        GameStartTime = Timer();
        Timer1->start();
    }
    const int row = floorInt((Y - Board::PressTop) / static_cast<double>(Board::PitchY));
    const int column = row % 2 != 0 ? floorInt(X / static_cast<double>(Board::PitchX))
                                    : floorInt((X - Board::EvenRowShift) / static_cast<double>(Board::PitchX));
    if (!m_board.contains(column, row))
        return;
    if (Button == PictureBox::LeftButton) {
        OpenCell(column, row);
        if (m_board.allSafeOpen())
            WinGame();
    } else if (Button == PictureBox::RightButton) {
        m_board.toggleFlag(column, row);
    }
    Picture2->Refresh();
    ShowCounter();
}

void Form1::Label1_Click()
{
    ShowMinesLeft = !ShowMinesLeft;
    ShowCounter();
}

void Form1::Command1_Click()
{
    NewGame();
    Picture2->setFocus();
}

void Form1::Timer1_Timer()
{
    double elapsed = static_cast<double>(Timer()) - GameStartTime;
    // The clock reads seconds since midnight; a game running across midnight
    // would otherwise count from minus a day and could record a negative time.
    if (elapsed < 0)
        elapsed += SecondsPerDay;
    const double whole = std::floor(elapsed);
    QString text = QString::number(static_cast<int>(whole));
    if (whole >= ClockCap) {
        text = QString::number(ClockCap);
        Timer1->stop();
    }
    setFittedText(*Label2, text, statusFont());
    m_clockCatchUp->tickRead(elapsed);
}

void Form1::menuNew_Click()
{
    NewGame();
}

void Form1::menuLevel_Click(int Index)
{
    if (Index < 0)
        return;
    for (QAction* item : menuLevel)
        setMenuCheck(item, false);
    setMenuCheck(menuCustom, false);
    setMenuCheck(Index > Level::Professional ? menuCustom : menuLevel[static_cast<size_t>(Index)], true);
    Level = static_cast<qint16>(Index);

    if (Index <= Level::Professional) {
        const LevelSize& size = Levels[static_cast<size_t>(Index)];
        Cols = size.cols;
        Rows = size.rows;
        Mines = size.mines;
    } else {
        // Boxes are read by their leading number, rounded; whatever they hold,
        // the board stays within the custom limits.
        auto box = [this](size_t i) { return roundHalfEven(leadingNumber(customDialog->Text1[i]->text())); };
        const Limits::CustomSize custom = Limits::clampCustom({box(0), box(1), box(2)});
        Cols = static_cast<qint16>(custom.cols);
        Rows = static_cast<qint16>(custom.rows);
        Mines = static_cast<qint16>(custom.mines);
    }

    Picture2->Cls();
    const int boardWidth = Board::PitchX * Cols + Board::ExtraWidth;
    const int boardHeight = Board::PitchY * Rows + Board::ExtraHeight;
    boardFrame->setFixedSize(boardWidth, boardHeight);
    Picture2->setWidth(boardWidth - 2 * Board::Border);
    Picture2->setHeight(boardHeight - 2 * Board::Border);

    const int clientWidth = BoardLeft + boardWidth + Margin;
    const int clientHeight = BoardTop + boardHeight + Margin;
    centralWidget()->setFixedSize(clientWidth, clientHeight);
    const QSize outer(clientWidth, clientHeight + menuBar()->heightForWidth(clientWidth));
    setFixedSize(outer);

    Command1->move(boardWidth / 2 - FaceShift, 0);
    Label2->move(boardWidth - TimeShift, StatusTop);
    NewGame();
}

void Form1::menuCustom_Click()
{
    customDialog->Text1[0]->setText(QString::number(Cols));
    customDialog->Text1[1]->setText(QString::number(Rows));
    customDialog->Text1[2]->setText(QString::number(Mines));
    customDialog->exec();
}

void Form1::menuBest_Click()
{
    scoreBoard->exec();
}

void Form1::menuExit_Click()
{
    close();
}

void Form1::openLink(const QString& url)
{
    attempt("open link", [&] { ShellExecute(this, QStringLiteral("Open"), url, QString(), AppPath(), SW_SHOWNORMAL); });
}

void Form1::mnuVodidarHome_Click()
{
    openLink(QString::fromLatin1(WebHosts::MainSite) + QStringLiteral("/"));
}

void Form1::mnuZVSprite_Click()
{
    openLink(QString::fromLatin1(WebHosts::MainSite) + QStringLiteral("/softinfo/dazeridodiradid.htm"));
}

void Form1::mnuZVMobile_Click()
{
    openLink(QString::fromLatin1(WebHosts::MainSite) + QStringLiteral("/ad/kqtuling.htm"));
}

void Form1::mnuZVBuy_Click()
{
    openLink(QString::fromLatin1(WebHosts::AdSite) + QStringLiteral("/"));
}
