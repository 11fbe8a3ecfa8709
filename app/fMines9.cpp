#include "fMines9.h"

#include "AppCodes.h"
#include "DealProgress.h"
#include "GivenFileDialog.h"
#include "OddsDisplay.h"
#include "fAbout.h"
#include "fCustom.h"
#include "mGlobal.h"

#include "AppPath.h"
#include "Attempt.h"
#include "CommonDialog.h"
#include "FieldCodes.h"
#include "FittedText.h"
#include "LoadResPicture.h"
#include "NoGuessDeal.h"
#include "PictureBox.h"
#include "RuntimeError.h"
#include "SecondCatchUp.h"
#include "Shell.h"
#include "WebHosts.h"
#include "cCompute.h"
#include "cField.h"
#include "cFile.h"
#include "WrappingMenuBar.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>
#include <QScopeGuard>
#include <QScreen>
#include <QTimer>
#include <QtDebug>

#include <algorithm>
#include <cmath>
#include <exception>

namespace {

int toPixels(int twips)
{
    return static_cast<int>(std::lround(static_cast<double>(twips) / PictureBox::TwipsPerPixel));
}

// The widths each zoom size suits, both bounds exclusive. A cell pitch outside its
// range would make the window either too wide for a screen or too narrow for its
// menu bar; every width the field accepts falls in at least one range.
struct WidthRange {
    int above;
    int below;
};
constexpr std::array<WidthRange, 4> SizeWidths = {{{49, 256}, {29, 129}, {15, 69}, {5, 34}}};

bool widthSuits(int size, int width)
{
    const WidthRange& range = SizeWidths[static_cast<size_t>(size)];
    return range.above < width && width < range.below;
}

// A board's height is held to the same upper bound as its width, so that the
// board of any size fits the screen both ways. Narrowness is no reason to refuse
// a height: a narrow window only wraps its menu bar.
bool heightSuits(int size, int height)
{
    return height < SizeWidths[static_cast<size_t>(size)].below;
}

// The command code the engine runs for each Compute menu item; -1 for the
// separators and the two items that only show what the analysis finds.
constexpr std::array<int, 10> CompCommands = {cCompute::CmdBasic, cCompute::CmdAdvanced,
                                              cCompute::CmdChordAll, -1,
                                              cCompute::CmdScriptA, cCompute::CmdScriptB,
                                              -1, cCompute::CmdComplete, -1, -1};
// The Compute items that are usable only while the board takes moves.
constexpr std::array<int, 8> BoardCompItems = {0, 1, 2, 4, 5, CompItem::Complete, CompItem::Odds, CompItem::Hint};

// Long enough for the largest board on a slow machine; a board so crowded that
// no deal works out gives up after it and is dealt at random.
constexpr std::chrono::milliseconds DealBudget{20000};

const char* const LevelCaptions[] = {"新手", "老手", "专家", "超级专家",
                                     "极品玩家", "恐怖玩家", "非常玩家", "精神病患者"};

// A menu item shows a check mark only while it is checked; an unchecked item
// shows nothing at all, not an empty box, so it is checkable only while checked.
void setMenuCheck(QAction* item, bool on)
{
    if (item->isSeparator())
        return;
    item->setCheckable(on);
    item->setChecked(on);
}

// A page of the maker's web site, which every link of the Help menu opens.
QString mainSitePage(const char* page)
{
    return QString::fromLatin1(WebHosts::MainSite) + QString::fromLatin1(page);
}

// The classic grey of the board's own pictures, and the two shades of its bevels.
const QColor BoardGrey(192, 192, 192);
const QColor BevelShadow(128, 128, 128);
const QColor BevelLight(255, 255, 255);

QFont counterFont()
{
    QFont font;
    // A seven-segment face reads like the counters of a real game; where none is
    // installed, Tahoma or a plain bold face keep the digits about as wide. This
    // is the design size: a count too wide for the 49-pixel counter at it, five
    // digits or a minus sign, is shown smaller rather than cut off.
    font.setFamilies({QStringLiteral("DSEG7 Classic"), QStringLiteral("DSEG7 Classic Mini"),
                      QStringLiteral("Digital-7"), QStringLiteral("DS-Digital"), QStringLiteral("Tahoma"),
                      QStringLiteral("DejaVu Sans"), QStringLiteral("WenQuanYi Micro Hei")});
    font.setPointSize(12);
    font.setBold(true);
    return font;
}

void styleCounter(QLabel* label)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, Qt::black);
    palette.setColor(QPalette::WindowText, Qt::red);
    palette.setColor(QPalette::Light, BevelLight);
    palette.setColor(QPalette::Dark, BevelShadow);
    label->setPalette(palette);
    label->setAutoFillBackground(true);
    label->setFont(counterFont());
    // Sunk into the strip, inside the counter's own rectangle.
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setLineWidth(1);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setIndent(4);
    label->setGeometry(0, toPixels(Layout::LabelTop), toPixels(Layout::LabelWidth),
                       toPixels(Layout::LabelHeight));
}

}

fMines9::fMines9(QWidget* parent) : QMainWindow(parent)
{
    // A fixed single border with a minimize button and no maximize button; the
    // size is only ever set by the board.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(QStringLiteral("Gridwarden"));
    // The menu bar wraps onto a second row above a narrow board, so that every
    // menu stays in reach.
    setMenuBar(new WrappingMenuBar(this));
    buildControls();
    buildMenus();
    Form_Load();
    centreOnScreen();
}

fMines9::~fMines9()
{
    Form_Unload();
}

void fMines9::buildControls()
{
    m_client = new QWidget(this);
    setCentralWidget(m_client);
    // Strip and board share the board's grey, so the board does not sit in a
    // strip of another colour.
    QPalette palette = m_client->palette();
    palette.setColor(QPalette::Window, BoardGrey);
    m_client->setPalette(palette);
    m_client->setAutoFillBackground(true);
    m_client->installEventFilter(this);

    lblMines = new QLabel(m_client);
    lblMines->setObjectName(QStringLiteral("lblMines"));
    styleCounter(lblMines);

    lblTime = new QLabel(m_client);
    lblTime->setObjectName(QStringLiteral("lblTime"));
    styleCounter(lblTime);

    imgSmile = new QLabel(m_client);
    imgSmile->setObjectName(QStringLiteral("imgSmile"));
    imgSmile->setGeometry(0, toPixels(Layout::SmileTop), toPixels(Layout::SmileSide),
                          toPixels(Layout::SmileSide));
    imgSmile->installEventFilter(this);

    Picture1 = new PictureBox(m_client, PictureBox::Scale::Twips);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->move(0, toPixels(Layout::StripHeight));

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    // A coarse timer may tick a little before each second, and the time shown is
    // rounded down: every tick would then show the second before.
    Timer1->setTimerType(Qt::PreciseTimer);
    connect(Timer1, &QTimer::timeout, this, &fMines9::Timer1_Timer);
    m_timeCatchUp = new SecondCatchUp(Timer1, [this] { Timer1_Timer(); }, this);

    CommonDialog1 = std::make_unique<CommonDialog>(this);

    oddsDisplay = new OddsDisplay(Picture1, [this]() -> const cField* { return Field.get(); }, this);
}

QAction* fMines9::addItem(QMenu* menu, const QString& caption, const QKeySequence& key)
{
    QAction* item = menu->addAction(caption);
    if (!key.isEmpty())
        item->setShortcut(key);
    return item;
}

void fMines9::connectItem(QAction* item, std::function<void()> handler)
{
    connect(item, &QAction::triggered, this, [item, handler = std::move(handler)](bool checked) {
        // Check marks belong to the handlers alone: a cancelled custom size, for
        // one, must leave them where they were, so the menu's own toggle is undone.
        if (item->isCheckable())
            item->setChecked(!checked);
        // A command that fails must not take the program down with it.
        try {
            handler();
        } catch (const std::exception& error) {
            qWarning("gridwarden: %s failed: %s", qPrintable(item->text()), error.what());
        }
    });
}

void fMines9::buildMenus()
{
    QMenuBar* bar = menuBar();

    QMenu* fileMenu = bar->addMenu(QStringLiteral("文件(&F)"));
    fileMenu->setObjectName(QStringLiteral("mnuFileT"));
    mnuEdit[0] = addItem(fileMenu, QStringLiteral("编辑模式"));
    mnuEdit[1] = fileMenu->addSeparator();
    mnuEdit[2] = addItem(fileMenu, QStringLiteral("清除当前扫雷图"));
    mnuEdit[3] = addItem(fileMenu, QStringLiteral("加入随机扫雷图"));
    fileMenu->addSeparator();
    mnuFile[0] = addItem(fileMenu, QStringLiteral("导入扫雷图"));
    mnuFile[1] = addItem(fileMenu, QStringLiteral("保存扫雷图"));
    mnuFile[2] = fileMenu->addSeparator();
    mnuFile[3] = addItem(fileMenu, QStringLiteral("退出"), QKeySequence(Qt::Key_F4));
    mnuEdit[EditItem::Clear]->setEnabled(false);
    mnuEdit[EditItem::AddMine]->setEnabled(false);

    QMenu* viewMenu = bar->addMenu(QStringLiteral("视图(&V)"));
    viewMenu->setObjectName(QStringLiteral("mnuViewT"));
    mnuView[0] = addItem(viewMenu, QStringLiteral("微型"));
    mnuView[1] = addItem(viewMenu, QStringLiteral("小型"));
    mnuView[2] = addItem(viewMenu, QStringLiteral("一般"));
    mnuView[3] = addItem(viewMenu, QStringLiteral("大型"));
    mnuView[4] = viewMenu->addSeparator();
    mnuView[5] = addItem(viewMenu, QStringLiteral("常规视图"), QKeySequence(Qt::CTRL | Qt::Key_B));
    mnuView[6] = addItem(viewMenu, QStringLiteral("显示数字"), QKeySequence(Qt::CTRL | Qt::Key_N));
    mnuView[7] = addItem(viewMenu, QStringLiteral("显示雷区"), QKeySequence(Qt::CTRL | Qt::Key_M));

    QMenu* gameMenu = bar->addMenu(QStringLiteral("游戏(&G)"));
    gameMenu->setObjectName(QStringLiteral("mnuGameT"));
    mnuPatternsweep = addItem(gameMenu, QStringLiteral("Patternsweep"), QKeySequence(Qt::Key_F3));
    mnuGame[0] = addItem(gameMenu, QStringLiteral("新游戏"), QKeySequence(Qt::Key_F2));
    mnuGame[1] = gameMenu->addSeparator();
    for (int i = GameItem::FirstLevel; i <= GameItem::LastLevel; ++i) {
        mnuGame[i] = addItem(gameMenu, QString::fromUtf8(LevelCaptions[i - GameItem::FirstLevel]));
    }
    mnuGame[10] = gameMenu->addSeparator();
    mnuGame[11] = addItem(gameMenu, QStringLiteral("自定义"));
    mnuGame[12] = gameMenu->addSeparator();
    mnuGame[GameItem::NoGuess] = addItem(gameMenu, QStringLiteral("无猜局"));

    // Typed without an access key: "(C)" is shown as it stands.
    QMenu* compMenu = bar->addMenu(QStringLiteral("计算(C)"));
    compMenu->setObjectName(QStringLiteral("mnuComputeT"));
    mnuComp[0] = addItem(compMenu, QStringLiteral("显示当前一般雷区"), QKeySequence(Qt::CTRL | Qt::Key_C));
    mnuComp[1] = addItem(compMenu, QStringLiteral("显示当前高级雷区"), QKeySequence(Qt::CTRL | Qt::Key_X));
    mnuComp[2] = addItem(compMenu, QStringLiteral("左右鼠标点击全部"), QKeySequence(Qt::CTRL | Qt::Key_D));
    mnuComp[3] = compMenu->addSeparator();
    mnuComp[4] = addItem(compMenu, QStringLiteral("自动完成所有可能雷区-简单"));
    mnuComp[5] = addItem(compMenu, QStringLiteral("自动完成所有可能雷区-高级"));
    mnuComp[6] = compMenu->addSeparator();
    mnuComp[CompItem::Complete] = addItem(compMenu, QStringLiteral("自动完成所有可能雷区-完全"));
    mnuComp[CompItem::Odds] = addItem(compMenu, QStringLiteral("显示地雷概率"), QKeySequence(Qt::CTRL | Qt::Key_P));
    mnuComp[CompItem::Hint] = addItem(compMenu, QStringLiteral("提示"), QKeySequence(Qt::CTRL | Qt::Key_H));

    QMenu* helpMenu = bar->addMenu(QStringLiteral("帮助(&H)"));
    helpMenu->setObjectName(QStringLiteral("mnuHelpT"));
    mnuHelp = addItem(helpMenu, QStringLiteral("帮助"), QKeySequence(Qt::Key_F1));
    mnuAbout = addItem(helpMenu, QStringLiteral("关于(&A)"));
    helpMenu->addSeparator();
    mnuGameHome = addItem(helpMenu, QStringLiteral("游戏乐园"));
    mnuHome = addItem(helpMenu, QStringLiteral("软件主页"));
    mnuMail = addItem(helpMenu, QStringLiteral("推荐给朋友"));
    helpMenu->addSeparator();
    mnuZVBrowser = addItem(helpMenu, QStringLiteral("Dorvik浏览器"));
    mnuZVSprite = addItem(helpMenu, QStringLiteral("Dorvik精灵"));

    const auto connectArray = [this](auto& items, void (fMines9::*handler)(int)) {
        for (int i = 0; i < static_cast<int>(items.size()); ++i) {
            if (!items[i]->isSeparator())
                connectItem(items[i], [this, handler, i] { (this->*handler)(i); });
        }
    };
    connectArray(mnuEdit, &fMines9::mnuEdit_Click);
    connectArray(mnuFile, &fMines9::mnuFile_Click);
    connectArray(mnuView, &fMines9::mnuView_Click);
    connectArray(mnuGame, &fMines9::mnuGame_Click);
    connectArray(mnuComp, &fMines9::mnuComp_Click);
    connectItem(mnuPatternsweep, [this] { mnuPatternsweep_Click(); });
    connectItem(mnuHelp, [this] { mnuHelp_Click(); });
    connectItem(mnuAbout, [this] { mnuAbout_Click(); });
    connectItem(mnuGameHome, [this] { mnuGameHome_Click(); });
    connectItem(mnuHome, [this] { mnuHome_Click(); });
    connectItem(mnuZVBrowser, [this] { mnuZVBrowser_Click(); });
    connectItem(mnuZVSprite, [this] { mnuZVSprite_Click(); });
    // "推荐给朋友" (mnuMail) has no action.

    const auto name = [](auto& items, const QString& base) {
        for (int i = 0; i < static_cast<int>(items.size()); ++i)
            items[i]->setObjectName(QStringLiteral("%1(%2)").arg(base).arg(i));
    };
    name(mnuEdit, QStringLiteral("mnuEdit"));
    name(mnuFile, QStringLiteral("mnuFile"));
    name(mnuView, QStringLiteral("mnuView"));
    name(mnuGame, QStringLiteral("mnuGame"));
    name(mnuComp, QStringLiteral("mnuComp"));
    mnuPatternsweep->setObjectName(QStringLiteral("mnuPatternsweep"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuAbout->setObjectName(QStringLiteral("mnuAbout"));
    mnuGameHome->setObjectName(QStringLiteral("mnuGameHome"));
    mnuHome->setObjectName(QStringLiteral("mnuHome"));
    mnuMail->setObjectName(QStringLiteral("mnuMail"));
    mnuZVBrowser->setObjectName(QStringLiteral("mnuZVBrowser"));
    mnuZVSprite->setObjectName(QStringLiteral("mnuZVSprite"));
}

cField& fMines9::field() const
{
    if (!Field)
        throw objectNotSet();
    return *Field;
}

PictureBox& fMines9::pic() const
{
    PictureBox* box = field().Pic();
    if (!box)
        throw objectNotSet();
    return *box;
}

void fMines9::attachField()
{
    connect(Field.get(), &cField::ChangeXx, this, &fMines9::Field_ChangeXx);
    connect(Field.get(), &cField::ChangeSize, this, &fMines9::Field_ChangeSize);
    connect(Field.get(), &cField::FieldEnable, this, &fMines9::Field_FieldEnable);
    connect(Field.get(), &cField::Update, this, &fMines9::Field_Update);
    connect(Field.get(), &cField::DealRequested, this, &fMines9::Field_DealRequested);
}

void fMines9::Form_Load()
{
    attempt("clear time", [&] { lblTime->setText(QStringLiteral("0")); });
    attempt("make field", [&] {
        Field = std::make_unique<cField>();
        attachField();
    });
    attempt("attach picture box", [&] {
        field().setPic(Picture1);
        field().setTimer1(Timer1);
    });
    attempt("make engine", [&] { Comp = std::make_unique<cCompute>(); });
    // One mine only: the expert level right after deals the real board, and this
    // set-up exists to give the field its size, view and zoom first.
    attempt("set up field", [&] { field().Setup(30, 16, 1, ViewMode::Normal, ZoomSize::Normal); });
    attempt("expert level", [&] { mnuGame_Click(GameItem::Expert); });
    attempt("start-up notice", [&] { m_endsAtOnce = !mGlobal::NotifyStart(); });
}

void fMines9::Form_Unload()
{
    // Nothing may tick into a window whose field is gone.
    if (Timer1)
        Timer1->stop();
    if (oddsDisplay)
        oddsDisplay->stop();
    Field.reset();
    Comp.reset();
}

void fMines9::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    event->accept();
    // The program ends with its main window, whatever else is still open (the
    // start-up notice, a page it opened): nothing may keep it running unseen.
    QCoreApplication::quit();
}

void fMines9::centreOnScreen()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
    keepOnScreen();
}

void fMines9::keepOnScreen()
{
    const QScreen* shown = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!shown)
        return;
    // The whole frame, title bar included, stays where the player can reach it;
    // a window taller or wider than the screen keeps its top-left corner on it.
    const QRect room = shown->availableGeometry();
    const QRect frame = frameGeometry();
    const QPoint inside(std::clamp(frame.left(), room.left(), std::max(room.left(), room.right() + 1 - frame.width())),
                        std::clamp(frame.top(), room.top(), std::max(room.top(), room.bottom() + 1 - frame.height())));
    if (inside != frame.topLeft())
        move(inside);
}

int fMines9::outerWidthTwips() const
{
    return m_client->width() * PictureBox::TwipsPerPixel + Layout::FrameWidth;
}

void fMines9::Field_ChangeXx()
{
    attempt("enable sizes", [&] { EnableSizes(); });
}

void fMines9::EnableSizes()
{
    for (int i = ViewItem::FirstSize; i <= ViewItem::LastSize; ++i)
        mnuView[i]->setEnabled(false);
    const int width = field().Xx();
    const int height = field().Yy();
    bool any = false;
    for (int i = ViewItem::FirstSize; i <= ViewItem::LastSize; ++i) {
        if (widthSuits(i, width) && heightSuits(i, height)) {
            mnuView[i]->setEnabled(true);
            any = true;
        }
    }
    // A tall, narrow board suits no size both ways: it gets the largest size that
    // keeps it on the screen, however narrow that makes the window.
    for (int i = ViewItem::LastSize; !any && i >= ViewItem::FirstSize; --i) {
        if (width < SizeWidths[i].below && heightSuits(i, height)) {
            mnuView[i]->setEnabled(true);
            any = true;
        }
    }
}

void fMines9::SetViewChecks()
{
    for (QAction* item : mnuView)
        setMenuCheck(item, false);
    setMenuCheck(mnuView.at(static_cast<size_t>(field().Size())), true);
    setMenuCheck(mnuView.at(static_cast<size_t>(field().View() + ViewItem::FirstView)), true);
}

void fMines9::Field_ChangeSize()
{
    // The height may have changed since the width last enabled the sizes.
    attempt("enable sizes", [&] { EnableSizes(); });
    int zoom = -1;
    attempt("read size", [&] { zoom = field().Size(); });
    attempt("find fitting size", [&] {
        int s = zoom;
        // The search goes to the next smaller size and wraps from tiny to large.
        // One round is enough: when no size suits the width at all (a field that
        // never got a width), the size stays rather than the search going forever.
        for (int tries = 0; tries < 4 && !mnuView.at(static_cast<size_t>(s))->isEnabled(); ++tries)
            s = (s + 3) % 4;
        if (mnuView.at(static_cast<size_t>(s))->isEnabled())
            zoom = s;
    });
    bool handedOver = false;
    attempt("change size", [&] {
        if (zoom != field().Size()) {
            handedOver = true;
            // Raises ChangeSize again; that inner run lays out the window.
            field().setSize(zoom);
        }
    });
    if (handedOver)
        return;

    attempt("fit window", [&] {
        const int width = field().Xx() * field().cDim() / PictureBox::TwipsPerPixel;
        const int height = field().Yy() * field().cDim() / PictureBox::TwipsPerPixel +
                           toPixels(Layout::StripHeight);
        // The client area is exactly board plus strip; the menu bar, which wraps
        // on a narrow board, gets whatever height it needs at this width.
        if (m_client->size() != QSize(width, height))
            m_client->setFixedSize(width, height);
        if (auto* bar = qobject_cast<WrappingMenuBar*>(menuBar()))
            bar->wrapTo(width);
        const QSize outer(width, height + menuBar()->heightForWidth(width));
        if (size() != outer || minimumSize() != outer || maximumSize() != outer)
            setFixedSize(outer);
    });
    attempt("keep on screen", [&] { keepOnScreen(); });
    attempt("place smile", [&] {
        const int left = outerWidthTwips() / 2 - Layout::SmileOffset;
        imgSmile->move(toPixels(left), imgSmile->y());
    });
    attempt("place time", [&] {
        lblTime->move(toPixels(outerWidthTwips() - Layout::TimeOffset), lblTime->y());
    });
    attempt("set view checks", [&] { SetViewChecks(); });
    // The odds and the hint are drawn at the cells' new size.
    attempt("redraw odds", [&] { oddsDisplay->redraw(); });
}

void fMines9::Field_FieldEnable()
{
    // Raised from inside the field's own operations: nothing may be thrown back
    // into them, and a field without a board has nothing to enable.
    const PictureBox* board = Field ? Field->Pic() : nullptr;
    if (!board)
        return;
    const bool enabled = board->isEnabled();
    for (int i : BoardCompItems)
        mnuComp[static_cast<size_t>(i)]->setEnabled(enabled);
}

void fMines9::Field_Update(int Sign)
{
    // Every move, deal and edit ends with this event, so the odds follow them all.
    if (oddsDisplay)
        oddsDisplay->boardUpdated(Sign);
    int picture = 0;
    attempt("choose smile", [&] {
        if (Sign == 0) {
            picture = SmilePic::Pressed;
            return;
        }
        switch (field().FldStatus()) {
        case FieldStatus::Ready:
            picture = SmilePic::Ready;
            break;
        case FieldStatus::Running:
            picture = SmilePic::Ready;
            Timer1_Timer();
            break;
        case FieldStatus::Won:
            picture = SmilePic::Won;
            Timer1_Timer();
            break;
        case FieldStatus::Lost:
            // The time stays at the last second shown.
            picture = SmilePic::Lost;
            break;
        case FieldStatus::Resetting:
            picture = SmilePic::Resetting;
            setFittedText(*lblTime, QStringLiteral("0"), counterFont());
            break;
        default:
            break;
        }
    });
    attempt("show smile", [&] {
        if (picture == 0)
            return;
        // Called after every pass of an automatic completion: a smile that is
        // already showing is left alone, and a new one is painted with the rest of
        // the window instead of at once.
        const QString key = QStringLiteral("gridwarden-smile-%1").arg(picture);
        QPixmap smile;
        if (!QPixmapCache::find(key, &smile)) {
            smile = QPixmap::fromImage(LoadResPicture(picture));
            QPixmapCache::insert(key, smile);
        }
        if (imgSmile->pixmap().cacheKey() != smile.cacheKey())
            imgSmile->setPixmap(smile);
    });
    attempt("show mine count", [&] { setFittedText(*lblMines, QString::number(field().MCnt()), counterFont()); });
}

void fMines9::Timer1_Timer()
{
    // A tick can still be queued when the window has let go of its field.
    if (!Field)
        return;
    const float seconds = Field->Time();
    if (!std::isfinite(seconds))
        return;
    setFittedText(*lblTime, QString::number(static_cast<qint64>(std::floor(seconds))), counterFont());
    m_timeCatchUp->tickRead(seconds);
}

namespace {

// The smile as a button held down: its raised rim gives way to a shadow on the
// top and left, and the face sinks one pixel down and to the right.
QImage pressedLook(const QImage& smile)
{
    QImage pressed(smile.size(), QImage::Format_RGB32);
    pressed.fill(BoardGrey);
    if (smile.width() < 6 || smile.height() < 6)
        return pressed;
    QPainter painter(&pressed);
    constexpr int Rim = 2;
    painter.drawImage(QPoint(Rim + 1, Rim + 1), smile,
                      QRect(Rim, Rim, smile.width() - 2 * Rim - 1, smile.height() - 2 * Rim - 1));
    painter.setPen(BevelShadow);
    painter.drawLine(0, 0, smile.width() - 1, 0);
    painter.drawLine(0, 0, 0, smile.height() - 1);
    return pressed;
}

}

void fMines9::showSmilePressed(bool pressed)
{
    if (pressed == m_smileDown)
        return;
    m_smileDown = pressed;
    imgSmile->update();
}

bool fMines9::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_client && event->type() == QEvent::Paint) {
        // The strip's lower edge is the shadow of a board sunk into the window.
        QPainter painter(m_client);
        painter.setPen(BevelShadow);
        const int edge = toPixels(Layout::StripHeight) - 1;
        painter.drawLine(0, edge, m_client->width() - 1, edge);
    } else if (watched == imgSmile) {
        // A click is a left press and release on the smile, as on a button; the
        // smile looks pressed while the button is held over it.
        if (event->type() == QEvent::MouseButtonPress) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            m_smilePressed = mouse->button() == Qt::LeftButton;
            showSmilePressed(m_smilePressed);
        } else if (event->type() == QEvent::MouseMove) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            showSmilePressed(m_smilePressed && imgSmile->rect().contains(mouse->position().toPoint()));
        } else if (event->type() == QEvent::MouseButtonRelease) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const bool click = m_smilePressed && mouse->button() == Qt::LeftButton &&
                               imgSmile->rect().contains(mouse->position().toPoint());
            m_smilePressed = false;
            showSmilePressed(false);
            if (click)
                imgSmile_Click();
        } else if (event->type() == QEvent::Paint && m_smileDown) {
            QPainter painter(imgSmile);
            painter.drawImage(QPoint(0, 0), pressedLook(imgSmile->pixmap().toImage()));
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void fMines9::imgSmile_Click()
{
    // A board edited into nothing but mines cannot be dealt again; the reset then
    // stops half-way, and that must not end the program.
    attempt("reset field", [&] { field().Reset(); });
    gameDealt();
}

void fMines9::checkLevel(int Index)
{
    // The mode below the levels keeps its own check mark.
    for (int i = GameItem::NewGame; i <= GameItem::Custom; ++i)
        setMenuCheck(mnuGame[static_cast<size_t>(i)], false);
    setMenuCheck(mnuGame[static_cast<size_t>(Index)], true);
}

void fMines9::gameDealt()
{
    m_guaranteed = Field && Field->DealPending();
    showTitle();
}

void fMines9::showTitle()
{
    setWindowTitle(m_guaranteed ? QStringLiteral("Gridwarden (无猜)") : m_title);
}

void fMines9::Field_DealRequested(int Index)
{
    if (!Field)
        return;
    DealProgress progress(this);
    bool won = false;
    try {
        won = DealWithoutGuess(*Field, Index, DealBudget, [&](int percent) { return progress.report(percent); });
    } catch (const std::exception& error) {
        // The cell is opened right after this: it must not open on a board
        // without its mines.
        qWarning("gridwarden: no deal without guessing: %s", error.what());
        attempt("deal at random", [&] { DealWithoutGuess(*Field, Index, std::chrono::milliseconds(0)); });
    }
    m_guaranteed = won;
    showTitle();
    // The other views show every cell's mine or number.
    if (Field->View() != ViewMode::Normal)
        attempt("refresh board", [&] { pic().Refresh(); });
}

void fMines9::mnuGame_Click(int Index)
{
    if (Index == GameItem::NewGame) {
        attempt("reset field", [&] { field().Reset(); });
        gameDealt();
        return;
    }

    if (Index == GameItem::NoGuess) {
        // The board on screen stays as it is; the next new game follows the mode.
        m_noGuess = !m_noGuess;
        setMenuCheck(mnuGame[GameItem::NoGuess], m_noGuess);
        attempt("defer deal", [&] { field().setDeferDeal(m_noGuess); });
        return;
    }

    if (Index >= GameItem::FirstLevel && Index <= GameItem::LastLevel) {
        const Level& level = Levels[static_cast<size_t>(Index - GameItem::FirstLevel)];
        if (Index >= GameItem::FirstCornerLevel) {
            // The frame, not the board, goes to the corner of the room the desktop
            // leaves, so the title bar stays on the screen.
            attempt("place in corner", [&] {
                const QScreen* shown = screen() ? screen() : QGuiApplication::primaryScreen();
                if (shown)
                    move(shown->availableGeometry().topLeft());
            });
        }
        int view = ViewMode::Normal;
        int size = ZoomSize::Normal;
        attempt("read view and size", [&] {
            view = field().View();
            size = field().Size();
        });
        attempt("set up level", [&] { field().Setup(level.width, level.height, level.mines, view, size); });
        attempt("check level item", [&] { checkLevel(Index); });
        // The board is no longer the imported file's.
        m_title = QStringLiteral("Gridwarden");
        gameDealt();
        return;
    }

    if (Index != GameItem::Custom)
        return;

    auto dialog = std::make_unique<fCustom>(this);
    attempt("fill custom dialog", [&] {
        dialog->x0 = field().Xx();
        dialog->y0 = field().Yy();
        dialog->m0 = field().MTot();
    });
    attempt("run custom dialog", [&] { dialog->exec(); });
    if (dialog->IsCancelled)
        return;
    attempt("set up custom board", [&] {
        const int view = field().View();
        const int size = field().Size();
        const int width = dialog->x0.toInt();
        const int height = dialog->y0.toInt();
        // The field keeps its width or height when the box held one it refuses, so
        // the mine count is bounded by the board that will really be dealt. One
        // cell always stays free; a count beyond that would stop the deal half-way
        // and leave a dead board.
        const int cols = width >= cField::MinXx && width <= cField::MaxXx ? width : field().Xx();
        const int rows = height >= cField::MinYy && height <= cField::MaxYy ? height : field().Yy();
        const int mines = std::clamp(dialog->m0, 0, std::max(cols * rows - 1, 0));
        field().Setup(width, height, mines, view, size);
    });
    dialog.reset();
    attempt("check custom item", [&] { checkLevel(GameItem::Custom); });
    m_title = QStringLiteral("Gridwarden");
    gameDealt();
}

void fMines9::mnuView_Click(int Index)
{
    if (Index >= ViewItem::FirstSize && Index <= ViewItem::LastSize)
        attempt("set size", [&] { field().setSize(Index); });
    else if (Index >= ViewItem::FirstView && Index <= ViewItem::LastView)
        attempt("set view", [&] { field().setView(Index - ViewItem::FirstView); });
    // Neither setting repaints by itself.
    attempt("refresh board", [&] { pic().Refresh(); });
    attempt("set view checks", [&] { SetViewChecks(); });
}

void fMines9::mnuEdit_Click(int Index)
{
    switch (Index) {
    case EditItem::EditMode:
        attempt("toggle edit mode", [&] { field().setEdit(!field().Edit()); });
        // Mines placed by hand make any board one that may need a guess.
        if (Field && Field->Edit()) {
            m_guaranteed = false;
            showTitle();
        }
        attempt("check edit items", [&] {
            const bool on = field().Edit();
            setMenuCheck(mnuEdit[EditItem::EditMode], on);
            mnuEdit[EditItem::Clear]->setEnabled(on);
            mnuEdit[EditItem::AddMine]->setEnabled(on);
        });
        // The field switched its view on the way in or out of edit mode; the board
        // and the View menu have yet to show it.
        attempt("refresh board", [&] { pic().Refresh(); });
        attempt("set view checks", [&] { SetViewChecks(); });
        break;
    case EditItem::Clear:
        attempt("clear mines", [&] {
            for (int i = 0; cCell* cell = field().Cell(i); ++i)
                cell->setMine(false);
        });
        attempt("refresh board", [&] { pic().Refresh(); });
        attempt("recount after clear", [&] {
            field().setMTot(0);
            field().CntM();
            field().CntNr();
            field().CntO();
        });
        attempt("update window", [&] { Field_Update(1); });
        break;
    case EditItem::AddMine: {
        // A board keeps one cell free: once only that cell is left, no mine is
        // placed, and the total must not count one that is not there, or the
        // counter could never come down to zero and the board never be won.
        const bool placed = attempt("add mine", [&] { field().AddMine(); });
        if (placed)
            attempt("count added mine", [&] { field().setMTot(field().MTot() + 1); });
        attempt("recount after add", [&] {
            field().CntNr();
            field().CntM();
        });
        attempt("refresh board", [&] { pic().Refresh(); });
        attempt("update window", [&] { Field_Update(1); });
        break;
    }
    default:
        break;
    }
}

void fMines9::mnuFile_Click(int Index)
{
    switch (Index) {
    case FileItem::Import: {
        std::unique_ptr<cField> loaded;
        attempt("import field", [&] {
            if (!CommonDialog1)
                throw objectNotSet();
            cFile file;
            loaded = file.LoadFld(*CommonDialog1);
        });
        // Cancelled or unreadable: the game in progress goes on untouched.
        if (!loaded)
            return;
        const bool editing = Field && Field->Edit();
        Field = std::move(loaded);
        oddsDisplay->fieldReplaced();
        attachField();
        attempt("attach picture box", [&] {
            field().setPic(Picture1);
            field().setTimer1(Timer1);
        });
        attempt("mark resetting", [&] { field().setFldStatus(FieldStatus::Resetting); });
        attempt("clear time", [&] { setFittedText(*lblTime, QStringLiteral("0"), counterFont()); });
        attempt("enable sizes", [&] { EnableSizes(); });
        attempt("normal size", [&] { field().setSize(ZoomSize::Normal); });
        attempt("normal view", [&] { field().setView(ViewMode::Normal); });
        // Loading a board does not end edit mode: the new field takes it over, or
        // the menu's check mark and the edit commands would belong to a board that
        // no longer edits.
        if (editing) {
            attempt("keep edit mode", [&] { field().setEdit(true); });
            attempt("set view checks", [&] { SetViewChecks(); });
        }
        // The file's board is played as it is; the mode goes on for the next new game.
        attempt("defer deal", [&] { field().setDeferDeal(m_noGuess); });
        attempt("title with file name", [&] { m_title = QStringLiteral("Mines - ") + field().Tag; });
        m_guaranteed = false;
        showTitle();
        attempt("check custom item", [&] { checkLevel(GameItem::Custom); });
        attempt("refresh board", [&] { pic().Refresh(); });
        attempt("ready field", [&] { field().setFldStatus(FieldStatus::Ready); });
        attempt("update window", [&] { Field_Update(1); });
        break;
    }
    case FileItem::Save:
        // A board still waiting for its first opening has no mines yet: saved as
        // it is, the file would hold an empty board. It is dealt as a new game
        // without the mode would have been, and is no longer a guaranteed one.
        if (Field && Field->DealPending()) {
            attempt("deal pending board", [&] { field().DealPendingAtRandom(); });
            m_guaranteed = false;
            showTitle();
        }
        attempt("save field", [&] {
            if (!CommonDialog1)
                throw objectNotSet();
            cFile file;
            file.SaveFld(Field.get(), *CommonDialog1);
        });
        break;
    case FileItem::Exit:
        close();
        break;
    default:
        break;
    }
}

void fMines9::mnuComp_Click(int Index)
{
    if (Index == CompItem::Odds) {
        const bool on = !oddsDisplay->oddsShown();
        oddsDisplay->setOddsShown(on);
        setMenuCheck(mnuComp[CompItem::Odds], on);
        return;
    }
    if (Index == CompItem::Hint) {
        oddsDisplay->hint();
        return;
    }
    const int command = CompCommands.at(static_cast<size_t>(Index));
    if (command < 0)
        return;
    if (!Comp)
        throw objectNotSet();
    // Clicking all numbers tells the window nothing, and a command that fails may
    // have changed the board before it did: the odds look again either way.
    const auto follow = qScopeGuard([this] { oddsDisplay->boardChanged(); });
    // The engine works through the field's own operations, so counter, smile and
    // timer follow it through the field's events.
    Comp->Init(command, Field.get());
}

void fMines9::mnuPatternsweep_Click()
{
    // The hex game is a program of its own beside this one; nothing links the two
    // once it runs. Should it be missing, the game here simply goes on.
    const QString program = QDir(AppPath()).filePath(QStringLiteral("patternsweep"));
    if (!Shell(program, {}))
        qWarning("gridwarden: could not start %s", qPrintable(program));
}

void fMines9::mnuHelp_Click()
{
    ShellExecute(this, QStringLiteral("open"), QDir(AppPath()).filePath(QStringLiteral("readme.txt")),
                 QString(), AppPath(), SW_SHOWNORMAL);
}

void fMines9::mnuAbout_Click()
{
    fAbout about(this);
    about.exec();
}

void fMines9::mnuGameHome_Click()
{
    ShellExecute(this, QStringLiteral("open"), mainSitePage("/kqgame.htm"), QString(), QString(),
                 SW_SHOW);
}

void fMines9::mnuHome_Click()
{
    ShellExecute(this, QStringLiteral("open"), mainSitePage("/softinfo/gridwarden.htm"), QString(),
                 QString(), SW_SHOW);
}

void fMines9::mnuZVBrowser_Click()
{
    ShellExecute(this, QStringLiteral("Open"), mainSitePage("/softinfo/vudirozevid.htm"), QString(),
                 AppPath(), SW_SHOWNORMAL);
}

void fMines9::mnuZVSprite_Click()
{
    ShellExecute(this, QStringLiteral("Open"), mainSitePage("/softinfo/dazeridodiradid.htm"),
                 QString(), AppPath(), SW_SHOWNORMAL);
}

void fMines9::importMinefield(const QString& path)
{
    // The import itself is the File menu's, answered by the given file instead of
    // a dialog, so a file opened from the desktop meets exactly the same rules.
    std::unique_ptr<CommonDialog> dialog = std::move(CommonDialog1);
    CommonDialog1 = std::make_unique<GivenFileDialog>(path);
    mnuFile_Click(FileItem::Import);
    CommonDialog1 = std::move(dialog);
}
