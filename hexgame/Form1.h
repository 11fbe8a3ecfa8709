#pragma once

#include "FaceButton.h"
#include "HexBoard.h"
#include "HexCodes.h"
#include "Rnd.h"

#include <QMainWindow>

#include <array>

class PictureBox;
class QAction;
class QFrame;
class QLabel;
class QTimer;
class SecondCatchUp;
class formCustom;
class formScores;
struct Settings;

// Patternsweep's main window: it draws the board that HexBoard plays, maps the
// mouse onto it, and keeps the counter, the face and the clock, the levels, and
// the settings file it reads on load and writes on close. The game's state is
// the board's, seen here under the window's names; state and handlers are public
// so that tests drive them as the menus and the mouse would.
class Form1 : public QMainWindow {
    Q_OBJECT
    // First: the names below refer to it.
    HexBoard m_board{[this](int x, int y, int sprite) { paintSprite(x, y, sprite); }};

public:
    // Runs the start-up steps (Form_Load).
    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

    CellGrid CellValue = m_board.values();          // [column][row]
    CellGrid CellShown = m_board.shownSprites();
    bool& Playing = m_board.Playing;
    // The level's size; the board takes it at each new game.
    qint16 Cols = 0, Rows = 0, Mines = 0;
    qint16& SafeLeft = m_board.SafeLeft;
    qint16& MinesLeft = m_board.MinesLeft;
    bool ShowMinesLeft = true;
    float GameStartTime = 0;
    qint16 Level = 1;

    QLabel* Label1 = nullptr;          // counter
    FaceButton* Command1 = nullptr;    // face
    QLabel* Label2 = nullptr;          // time
    PictureBox* Picture1 = nullptr;    // sprite sheet, out of sight
    PictureBox* Picture2 = nullptr;    // board, in pixels
    QTimer* Timer1 = nullptr;          // clock
    QFrame* boardFrame = nullptr;      // the sunken border around the board

    QAction* menuNew = nullptr;
    std::array<QAction*, 3> menuLevel{};
    QAction* menuCustom = nullptr;
    QAction* menuBest = nullptr;
    QAction* menuExit = nullptr;
    QAction* mnuVodidarHome = nullptr;
    QAction* mnuZVSprite = nullptr;
    QAction* mnuZVMobile = nullptr;
    QAction* mnuZVBuy = nullptr;
    formCustom* customDialog = nullptr;
    formScores* scoreBoard = nullptr;

    void NewGame();
    void BumpCount(int x, int y);
    void OpenCell(int x, int y);
    void LoseGame();
    void WinGame();
    void ShowCounter();
    void DrawCell(int x, int y, int sprite);
    void Picture2_MouseDown(int Button, int Shift, float X, float Y);
    void Label1_Click();
    void Command1_Click();

    void menuNew_Click();
    void menuLevel_Click(int Index);
    void menuCustom_Click();
    void menuBest_Click();
    void menuExit_Click();
    void Timer1_Timer();
    void mnuVodidarHome_Click();
    void mnuZVSprite_Click();
    void mnuZVMobile_Click();
    void mnuZVBuy_Click();

    // Writes the settings file; the close of the window runs it.
    void Form_QueryUnload();
    // True when another copy was running at start-up: the program ends without
    // showing this window, and closing it then saves nothing.
    bool endsAtOnce() const { return m_endsAtOnce; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void buildControls();
    void buildMenus();
    void ScoreCheck();
    void saveSettings();
    void openLink(const QString& url);
    Settings currentSettings() const;
    // Puts a sprite on the board picture, with no record of it: the board keeps that.
    void paintSprite(int x, int y, int sprite);
    // What the window shows of a game the board has lost.
    void showLoss();
    void setFace(unsigned colour, const char* caption);

    Rnd m_rnd;
    SecondCatchUp* m_clockCatchUp = nullptr;
    bool m_endsAtOnce = false;
    bool m_saved = false;
};
