#pragma once

#include <QString>
#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QWebEngineView;

// The notification window: the maker's page for the calling product over a local
// page, a bar of links above, and below them the search box and the check box
// that turns the window off for good. Controls and handlers are public so that
// tests drive them as a player would.
class frmInfo : public QWidget {
    Q_OBJECT
public:
    explicit frmInfo(QWidget* parent = nullptr);   // runs the load steps

    QWidget* picTop = nullptr;
    QWidget* picStatus = nullptr;
    QLabel* lblSoft = nullptr;
    QLabel* lblHomepage = nullptr;
    QLabel* lblDingZhi = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* lblSO = nullptr;
    QLabel* lblFind = nullptr;
    QLabel* lblRefresh = nullptr;
    QLabel* imgSearch = nullptr;
    QLabel* imgChange = nullptr;
    QLineEdit* txtSearch = nullptr;
    QCheckBox* chkHideWindow = nullptr;
    QWebEngineView* webLocal = nullptr;
    QWebEngineView* webNotify = nullptr;
    QString SoftDesc;
    QString ReadmePath;
    int ChangeCount = 0;

    void chkHideWindow_Click();
    void imgChange_Click();
    void imgSearch_Click();
    void lblSoft_Click();
    void lblHomepage_Click();
    void lblDingZhi_Click();
    void lblSO_Click();
    void lblFind_Click();
    void lblRefresh_Click();
    // The page check on the HTML of a page webNotify loaded: the maker's page comes
    // to the front only when it carries one of the maker's marks.
    void checkPage(const QString& html);
    QWebEngineView* front() const;   // the browser now in front

    // The address the search box's text (trimmed) is looked up at.
    static QString searchAddress(const QString& text);

private:
    void buildControls();
    void Form_Load();
    void webNotify_LoadFinished(bool ok);
    void bringToFront(QWebEngineView* view);
    void openLink(const QString& target);

    QWebEngineView* m_front = nullptr;
};
