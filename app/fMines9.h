#pragma once

#include <QKeySequence>
#include <QMainWindow>

#include <array>
#include <functional>
#include <memory>

class cCompute;
class cField;
class CommonDialog;
class OddsDisplay;
class PictureBox;
class QAction;
class QLabel;
class QMenu;
class QTimer;
class SecondCatchUp;

// The main window: menu bar, the status strip (mine counter, smile, time) and the
// board below it. It plays nothing itself; the field draws and takes the mouse,
// and the window follows the field's four events.
class fMines9 : public QMainWindow {
    Q_OBJECT
public:
    // Runs the start-up steps, so the window comes up with the expert board.
    explicit fMines9(QWidget* parent = nullptr);
    ~fMines9() override;

    std::unique_ptr<cField> Field;
    std::unique_ptr<cCompute> Comp;
    QLabel* lblMines = nullptr;
    QLabel* imgSmile = nullptr;
    QLabel* lblTime = nullptr;
    PictureBox* Picture1 = nullptr;
    QTimer* Timer1 = nullptr;
    std::unique_ptr<CommonDialog> CommonDialog1;
    // The odds and the hint laid over the board.
    OddsDisplay* oddsDisplay = nullptr;

    std::array<QAction*, 4> mnuEdit{};
    std::array<QAction*, 4> mnuFile{};
    std::array<QAction*, 8> mnuView{};
    std::array<QAction*, 14> mnuGame{};
    std::array<QAction*, 10> mnuComp{};
    QAction* mnuPatternsweep = nullptr;
    QAction* mnuHelp = nullptr;
    QAction* mnuAbout = nullptr;
    QAction* mnuGameHome = nullptr;
    QAction* mnuHome = nullptr;
    QAction* mnuMail = nullptr;
    QAction* mnuZVBrowser = nullptr;
    QAction* mnuZVSprite = nullptr;

    void mnuGame_Click(int Index);
    void mnuView_Click(int Index);
    void mnuEdit_Click(int Index);
    void mnuFile_Click(int Index);
    void mnuComp_Click(int Index);
    void imgSmile_Click();
    void Timer1_Timer();
    void mnuPatternsweep_Click();
    void mnuHelp_Click();
    void mnuAbout_Click();
    void mnuGameHome_Click();
    void mnuHome_Click();
    void mnuZVBrowser_Click();
    void mnuZVSprite_Click();

    // Imports the minefield file at path as the File menu's import does, with the
    // same reader and the same refusals; a refused file leaves the board as it is.
    void importMinefield(const QString& path);

    // True when start-up found another copy of the game running: this one then
    // ends without showing its window.
    bool endsAtOnce() const { return m_endsAtOnce; }

    void Field_ChangeXx();
    void Field_ChangeSize();
    void Field_FieldEnable();
    void Field_Update(int Sign);
    // The first opening of a board that waits for its deal: deals it there.
    void Field_DealRequested(int Index);

    void EnableSizes();
    void SetViewChecks();

    // The window's outer width in twips as the layout reckons it: the client
    // width plus the frame allowance.
    int outerWidthTwips() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void Form_Unload();
    void buildControls();
    void buildMenus();
    QAction* addItem(QMenu* menu, const QString& caption, const QKeySequence& key = {});
    void connectItem(QAction* item, std::function<void()> handler);
    void attachField();
    void centreOnScreen();
    void keepOnScreen();
    void showSmilePressed(bool pressed);
    void checkLevel(int Index);
    // A new game began: the title tells whether its board is one without guessing.
    void gameDealt();
    void showTitle();
    cField& field() const;
    PictureBox& pic() const;

    QWidget* m_client = nullptr;
    SecondCatchUp* m_timeCatchUp = nullptr;
    bool m_smilePressed = false;
    bool m_endsAtOnce = false;
    // Whether the smile is drawn pressed: held and with the pointer over it.
    bool m_smileDown = false;
    // "无猜局": new games wait for the first opening and are dealt around it.
    bool m_noGuess = false;
    // The board on screen is, or will be at its first opening, won without a guess.
    bool m_guaranteed = false;
    // The title of the board when it is not one without guessing: the game's
    // name, or the file's after an import.
    QString m_title = QStringLiteral("Gridwarden");
};
