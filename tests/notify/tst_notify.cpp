#include "NotifyTestSupport.h"

#include "AppPath.h"
#include "CNotify.h"
#include "Com.h"
#include "Component.h"
#include "ComponentNames.h"
#include "Shell.h"
#include "StartNotice.h"
#include "WebHosts.h"
#include "WindowSlot.h"
#include "frmInfo.h"
#include "modRegedit.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrlQuery>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <memory>
#include <vector>

namespace {
const QString kKey = QString::fromLatin1(ComponentNames::SettingsKey);
constexpr int kLoadWaitMs = 60000;

QString setting(const QString& name)
{
    return modRegedit::RegReadString(HKEY_LOCAL_MACHINE, kKey, name);
}

// Waits until every script the page was given so far has run.
bool scriptsSettled(QWebEngineView* view)
{
    bool done = false;
    view->page()->runJavaScript(QStringLiteral("0"), [&done](const QVariant&) { done = true; });
    return QTest::qWaitFor([&] { return done; }, kLoadWaitMs);
}
}

class tst_notify : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void hideWindowSetting_data();
    void hideWindowSetting();
    void navigatesToProductPage_data();
    void navigatesToProductPage();
    void offlineKeepsLocalPage();
    void pageCheck_data();
    void pageCheck();
    void toggleAndBrandLink();
    void linksOpenTheirPages_data();
    void linksOpenTheirPages();
    void search_data();
    void search();
    void searchBoxEntriesSelectAll_data();
    void searchBoxEntriesSelectAll();
    void checkBoxStoresSetting();
    void captionAndFirstLink_data();
    void captionAndFirstLink();
    void startUpRegistersAndNotifies();

private:
    PrivateHome m_home;
    std::vector<ShellCall> m_calls;
    QTemporaryDir m_pages;
};

void tst_notify::initTestCase()
{
    setShellRecorder([this](const ShellCall& call) { m_calls.push_back(call); });
    QVERIFY(m_pages.isValid());
}

void tst_notify::init()
{
    clearHives();
    m_calls.clear();
}

void tst_notify::cleanup()
{
    delete CNotify::Window();
}

void tst_notify::hideWindowSetting_data()
{
    QTest::addColumn<bool>("keyExists");
    QTest::addColumn<QString>("value");   // a null string: no value
    QTest::addColumn<bool>("shown");
    QTest::newRow("1") << true << QStringLiteral("1") << false;
    QTest::newRow("0") << true << QStringLiteral("0") << true;
    QTest::newRow("1 with space") << true << QStringLiteral(" 1") << true;
    QTest::newRow("other text") << true << QStringLiteral("yes") << true;
    QTest::newRow("no value") << true << QString() << true;
    QTest::newRow("no key") << false << QString() << true;
}

void tst_notify::hideWindowSetting()
{
    QFETCH(bool, keyExists);
    QFETCH(QString, value);
    QFETCH(bool, shown);
    if (keyExists)
        QVERIFY(modRegedit::RegWriteString(HKEY_LOCAL_MACHINE, kKey, QStringLiteral("KQSoftDesc"), QStringLiteral("x")));
    if (!value.isNull())
        QVERIFY(modRegedit::RegWriteString(HKEY_LOCAL_MACHINE, kKey, QStringLiteral("ComHideWindow"), value));
    CNotify().Notify(QStringLiteral("gridwarden"), QStringLiteral("Other information,Not used."));
    QCOMPARE(CNotify::Window() != nullptr, shown);
    if (shown)
        QVERIFY(CNotify::Window()->isVisible());
}

void tst_notify::navigatesToProductPage_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("gridwarden") << QStringLiteral("gridwarden");
    QTest::newRow("query characters") << QStringLiteral("a&b=c #d");
}

void tst_notify::navigatesToProductPage()
{
    QFETCH(QString, name);
    CNotify notify;
    notify.Notify(name, QStringLiteral("Other information,Not used."));
    frmInfo* window = CNotify::Window();
    QVERIFY(window);
    // The view reports the address once the browser has taken it up.
    QVERIFY(QTest::qWaitFor([&] { return !window->webNotify->url().isEmpty(); }, kLoadWaitMs));
    const QUrl url = window->webNotify->url();
    QCOMPARE(url.adjusted(QUrl::RemoveQuery).toString(),
             QString::fromLatin1(WebHosts::MainSite) + QStringLiteral("/notify/kqtidingo.htm"));
    const QUrlQuery query(url);
    QCOMPARE(query.queryItems(QUrl::FullyDecoded), (QList<std::pair<QString, QString>>{{QStringLiteral("soft"), name}}));
    QVERIFY(url.fragment().isNull());

    // A second call reuses the window and keeps it, and its place among the
    // windows of other games, in the bottom-right corner of the screen's free area.
    notify.Notify(QStringLiteral("gridwarden"), QString());
    QCOMPARE(CNotify::Window(), window);
    const QRect area = window->screen()->availableGeometry();
    const QRect frame = window->frameGeometry();
    QCOMPARE(area.right() - frame.right(), 1);
    QCOMPARE(area.bottom() - frame.bottom(), 30);
    QVERIFY(window->windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(WindowSlot().take(), 1);
    window->close();
    QCOMPARE(WindowSlot().take(), 0);
}

void tst_notify::offlineKeepsLocalPage()
{
    CNotify().Notify(QStringLiteral("gridwarden"), QString());
    frmInfo* window = CNotify::Window();
    QVERIFY(window);
    QSignalSpy local(window->webLocal, &QWebEngineView::loadFinished);
    QSignalSpy online(window->webNotify, &QWebEngineView::loadFinished);
    QVERIFY(local.wait(kLoadWaitMs));
    QCOMPARE(local.first().first().toBool(), true);
    // The local page beside the component is the one shown.
    QCOMPARE(window->webLocal->url(), QUrl::fromLocalFile(Component::LocalPage()));
    QVERIFY(window->webLocal->title().contains(QStringLiteral("Dorvik社区")));
    // The maker's host does not exist yet, so the online page never loads.
    QVERIFY(online.count() > 0 || online.wait(kLoadWaitMs));
    QVERIFY(scriptsSettled(window->webNotify));
    QCOMPARE(window->front(), window->webLocal);
    QVERIFY(window->imgChange->isHidden());
    QVERIFY(window->lblRefresh->isHidden());
}

void tst_notify::pageCheck_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<bool>("passes");
    QTest::newRow("vodidar") << QStringLiteral("<p>vodidar</p>") << true;
    QTest::newRow("VODIDAR in capitals") << QStringLiteral("<p>VODIDAR</p>") << true;
    QTest::newRow("Dorvik") << QStringLiteral("<p>Dorvik</p>") << true;
    QTest::newRow("dorvik in small letters") << QStringLiteral("<p>dorvik</p>") << false;
    QTest::newRow("software notice") << QStringLiteral("<p>软件通知</p>") << true;
    QTest::newRow("a foreign page") << QStringLiteral("<p>Welcome</p>") << false;
}

void tst_notify::pageCheck()
{
    QFETCH(QString, body);
    QFETCH(bool, passes);
    const QString path = m_pages.filePath(QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'_') + ".htm");
    QVERIFY(writeFileAtomically(path, "<html><head><meta charset=\"utf-8\"></head><body>" + body.toUtf8()
                                          + "</body></html>"));
    frmInfo window;
    QSignalSpy loaded(window.webNotify, &QWebEngineView::loadFinished);
    window.webNotify->load(QUrl::fromLocalFile(path));
    QVERIFY(loaded.wait(kLoadWaitMs));
    QVERIFY(loaded.last().first().toBool());
    QVERIFY(scriptsSettled(window.webNotify));
    QCOMPARE(window.front(), passes ? window.webNotify : window.webLocal);
    QCOMPARE(window.imgChange->isHidden(), !passes);
    QCOMPARE(window.lblRefresh->isHidden(), !passes);
}

void tst_notify::toggleAndBrandLink()
{
    frmInfo window;
    window.checkPage(QStringLiteral("<b>Dorvik</b>"));
    QCOMPARE(window.front(), window.webNotify);
    window.imgChange_Click();
    QCOMPARE(window.front(), window.webLocal);
    window.imgChange_Click();
    QCOMPARE(window.front(), window.webNotify);
    QCOMPARE(window.ChangeCount, 2);

    window.lblHomepage_Click();
    QCOMPARE(window.front(), window.webLocal);
    QCOMPARE(m_calls.size(), size_t(1));
    QCOMPARE(m_calls.back().file, QString::fromLatin1(WebHosts::MainSite) + u'/');
    QCOMPARE(m_calls.back().verb, QStringLiteral("Open"));
    QCOMPARE(m_calls.back().showCmd, SW_SHOWNORMAL);
}

void tst_notify::linksOpenTheirPages_data()
{
    const QString main = QString::fromLatin1(WebHosts::MainSite);
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("target");
    QTest::newRow("custom software") << QStringLiteral("[软件定制]") << main + QStringLiteral("/kqcustomization.htm");
    QTest::newRow("search directory") << QStringLiteral("[搜索大全]") << QString::fromLatin1(WebHosts::SearchSite) + u'/';
    QTest::newRow("look-up") << QStringLiteral("[查询]") << main + QStringLiteral("/extpage/life.htm");
    QTest::newRow("brand") << QStringLiteral("[Dorvik]") << main + u'/';
}

void tst_notify::linksOpenTheirPages()
{
    QFETCH(QString, label);
    QFETCH(QString, target);
    frmInfo window;
    window.show();
    QLabel* link = nullptr;
    for (QLabel* candidate : window.findChildren<QLabel*>()) {
        if (candidate->text() == label)
            link = candidate;
    }
    QVERIFY(link);
    QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseClick(link, Qt::LeftButton);
    QCOMPARE(m_calls.size(), size_t(1));
    QCOMPARE(m_calls.back().file, target);
    QCOMPARE(m_calls.back().directory, Component::Folder());
}

void tst_notify::search_data()
{
    const QString base = QString::fromLatin1(WebHosts::SearchEngine) + QStringLiteral("/baidu?tn=bdriji_dg");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("address");
    QTest::newRow("empty") << QString() << base;
    QTest::newRow("spaces only") << QStringLiteral("   ") << base;
    QTest::newRow("words") << QStringLiteral(" mines ") << base + QStringLiteral("&word=mines");
    QTest::newRow("query characters") << QStringLiteral("a&b #c") << base + QStringLiteral("&word=a%26b%20%23c");
    QTest::newRow("Chinese in GBK") << QStringLiteral("扫雷") << base + QStringLiteral("&word=%C9%A8%C0%D7");
}

void tst_notify::search()
{
    QFETCH(QString, text);
    QFETCH(QString, address);
    frmInfo window;
    window.txtSearch->setText(text);
    window.imgSearch_Click();
    QTest::keyClick(window.txtSearch, Qt::Key_Return);
    QCOMPARE(m_calls.size(), size_t(2));
    for (const ShellCall& call : m_calls) {
        QCOMPARE(call.file, address);
        QCOMPARE(call.verb, QStringLiteral("open"));
        QCOMPARE(call.showCmd, SW_SHOW);
    }
}

// The box holds a prompt: however the player gets into it, typing must replace
// the prompt, not land inside it.
void tst_notify::searchBoxEntriesSelectAll_data()
{
    QTest::addColumn<QString>("entry");
    QTest::newRow("click") << QStringLiteral("click");
    QTest::newRow("click after the window gave the focus") << QStringLiteral("click focused");
    QTest::newRow("tab") << QStringLiteral("tab");
    QTest::newRow("window activation") << QStringLiteral("activation");
}

void tst_notify::searchBoxEntriesSelectAll()
{
    QFETCH(QString, entry);
    frmInfo window;
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QLineEdit* box = window.txtSearch;
    window.chkHideWindow->setFocus();
    if (entry == QLatin1String("tab")) {
        QTest::keyClick(window.chkHideWindow, Qt::Key_Backtab);
    } else if (entry == QLatin1String("activation")) {
        box->setFocus();
        box->deselect();
        QWidget other;
        other.show();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    } else {
        if (entry == QLatin1String("click focused"))
            box->setFocus(Qt::ActiveWindowFocusReason);
        QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
    }
    QVERIFY(box->hasFocus());
    QCOMPARE(box->selectedText(), box->text());
}

void tst_notify::checkBoxStoresSetting()
{
    frmInfo window;
    QVERIFY(!window.chkHideWindow->isChecked());
    window.chkHideWindow->click();
    QCOMPARE(setting(QStringLiteral("ComHideWindow")), QStringLiteral("1"));
    window.chkHideWindow->click();
    QCOMPARE(setting(QStringLiteral("ComHideWindow")), QStringLiteral("0"));
}

void tst_notify::captionAndFirstLink_data()
{
    QTest::addColumn<QString>("softDesc");   // a null string: no value
    QTest::addColumn<QString>("readme");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("target");
    const QString local = Component::LocalPage();
    QTest::newRow("missing") << QString() << QString() << QStringLiteral("Dorvik社区") << local;
    QTest::newRow("blank") << QStringLiteral("   ") << QString() << QStringLiteral("Dorvik社区") << local;
    QTest::newRow("set") << QStringLiteral("扫雷之家") << QStringLiteral("http://a.example/r.htm")
                         << QStringLiteral("扫雷之家") << QStringLiteral("http://a.example/r.htm");
}

void tst_notify::captionAndFirstLink()
{
    QFETCH(QString, softDesc);
    QFETCH(QString, readme);
    QFETCH(QString, caption);
    QFETCH(QString, target);
    if (!softDesc.isNull())
        QVERIFY(modRegedit::RegWriteString(HKEY_LOCAL_MACHINE, kKey, QStringLiteral("KQSoftDesc"), softDesc));
    if (!readme.isNull())
        QVERIFY(modRegedit::RegWriteString(HKEY_LOCAL_MACHINE, kKey, QStringLiteral("KQReadmePath"), readme));
    frmInfo window;
    QCOMPARE(window.windowTitle(), caption + QStringLiteral(" - 通知链接"));
    QCOMPARE(window.lblSoft->text(), caption + QStringLiteral("首页"));
    window.lblSoft_Click();
    QCOMPARE(m_calls.size(), size_t(1));
    QCOMPARE(m_calls.back().file, target);
    QCOMPARE(m_calls.back().directory, Component::Folder());
}

// A game's start-up on a player's first run: the component beside the program is
// entered in the registry, then its window comes up. Missing, it is passed over.
void tst_notify::startUpRegistersAndNotifies()
{
    const auto noticeWindows = [] {
        QList<QWidget*> found;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && w->windowTitle().endsWith(QStringLiteral(" - 通知链接")))
                found << w;
        }
        return found;
    };
    QTemporaryDir empty;
    setAppPath(empty.path());
    NotifyStartComponent();
    QVERIFY(noticeWindows().isEmpty());
    QCOMPARE(errorOf([] { CreateObject(QString::fromLatin1(ComponentNames::ProgId)); }), RuntimeErrorNumber::CannotCreateObject);

    // The tests run beside the component library, as the games do once installed.
    // The component waits for the game's first frame.
    setAppPath(QCoreApplication::applicationDirPath());
    QVERIFY(NotifyStartAsOnlyCopy(QStringLiteral("tidingo-start-up-test")));
    QVERIFY(noticeWindows().isEmpty());
    QWidget game;
    game.show();
    QTRY_COMPARE_WITH_TIMEOUT(noticeWindows().size(), 1, kLoadWaitMs);
    setAppPath(QString());
    QCOMPARE(errorOf([] { CreateObject(QString::fromLatin1(ComponentNames::ProgId)); }), 0);
    delete noticeWindows().first();
}

int main(int argc, char* argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    tst_notify test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_notify.moc"
