#include "frmInfo.h"

#include "Attempt.h"
#include "Gbk.h"
#include "ClickLabel.h"
#include "Component.h"
#include "ComponentNames.h"
#include "NotifyPictures.h"
#include "SearchBox.h"
#include "Shell.h"
#include "SilentPage.h"
#include "WebHosts.h"
#include "modRegedit.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QUrl>
#include <QWebEngineView>

#include <unistd.h>

namespace {
// The inside of the window and its two bars, in pixels.
constexpr int kWidth = 494;
constexpr int kHeight = 375;
constexpr int kTopBarHeight = 24;
constexpr int kStatusBarHeight = 32;

const QColor kTopBarColour(153, 249, 172);
const QColor kStatusBarColour(255, 255, 192);
const QColor kLinkColour(0, 0, 255);

const QString kDefaultSoftDesc = QStringLiteral("Dorvik社区");

// The search engine's query; the words take the placeholder's place.
constexpr char kSearchQuery[] = "/baidu?tn=bdriji_dg&word=<searchstring>";

// Chromium's sandbox refuses to start for root; only then does the browser go
// without it.
void allowBrowserAsRoot()
{
    if (::geteuid() != 0)
        return;
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (flags.contains("--no-sandbox"))
        return;
    if (!flags.isEmpty())
        flags += ' ';
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags + "--no-sandbox");
}

QWidget* colouredBar(QWidget* parent, const QColor& colour)
{
    auto* bar = new QWidget(parent);
    bar->setAutoFillBackground(true);
    QPalette palette = bar->palette();
    palette.setColor(QPalette::Window, colour);
    bar->setPalette(palette);
    return bar;
}

ClickLabel* linkLabel(const QString& text, QWidget* parent)
{
    auto* label = new ClickLabel(text, parent);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, kLinkColour);
    label->setPalette(palette);
    return label;
}

ClickLabel* pictureLabel(const QPixmap& picture, const QString& tip, QWidget* parent)
{
    auto* label = new ClickLabel(QString(), parent);
    label->setPixmap(picture);
    label->setToolTip(tip);
    return label;
}

QWebEngineView* silentView(QWidget* parent)
{
    auto* view = new QWebEngineView(parent);
    view->setPage(new SilentPage(view));
    return view;
}
}

frmInfo::frmInfo(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint)
{
    allowBrowserAsRoot();
    buildControls();
    Form_Load();
}

void frmInfo::buildControls()
{
    setFixedSize(kWidth, kHeight);
    // The window belongs to the game's process but must not keep it running once
    // the game's own window is closed.
    setAttribute(Qt::WA_QuitOnClose, false);

    picTop = colouredBar(this, kTopBarColour);
    picTop->setGeometry(0, 0, kWidth, kTopBarHeight);
    lblSoft = linkLabel(QStringLiteral("[打开软件首页]"), picTop);
    lblHomepage = linkLabel(QStringLiteral("[Dorvik]"), picTop);
    lblDingZhi = linkLabel(QStringLiteral("[软件定制]"), picTop);
    imgChange = pictureLabel(NotifyPictures::togglePicture(18), QStringLiteral("切换页面"), picTop);
    lblRefresh = linkLabel(QStringLiteral("[刷新]"), picTop);
    auto* top = new QHBoxLayout(picTop);
    top->setContentsMargins(6, 0, 6, 0);
    top->setSpacing(10);
    top->addWidget(lblSoft);
    top->addWidget(lblHomepage);
    top->addWidget(lblDingZhi);
    top->addStretch(1);
    top->addWidget(imgChange);
    top->addWidget(lblRefresh);
    imgChange->hide();
    lblRefresh->hide();

    webLocal = silentView(this);
    webNotify = silentView(this);

    picStatus = colouredBar(this, kStatusBarColour);
    picStatus->setGeometry(0, kHeight - kStatusBarHeight, kWidth, kStatusBarHeight);
    Label1 = new QLabel(QStringLiteral("搜索"), picStatus);
    txtSearch = new SearchBox(QStringLiteral("请输入搜索关键字"), picStatus);
    txtSearch->setFixedWidth(170);
    imgSearch = pictureLabel(NotifyPictures::searchPicture(20), QStringLiteral("搜索"), picStatus);
    lblSO = linkLabel(QStringLiteral("[搜索大全]"), picStatus);
    lblFind = linkLabel(QStringLiteral("[查询]"), picStatus);
    chkHideWindow = new QCheckBox(QStringLiteral("不再显示"), picStatus);
    chkHideWindow->setToolTip(QStringLiteral("不再显示该对话框"));
    auto* bottom = new QHBoxLayout(picStatus);
    bottom->setContentsMargins(6, 0, 6, 0);
    bottom->setSpacing(6);
    bottom->addWidget(Label1);
    bottom->addWidget(txtSearch);
    bottom->addWidget(imgSearch);
    bottom->addSpacing(4);
    bottom->addWidget(lblSO);
    bottom->addWidget(lblFind);
    bottom->addStretch(1);
    bottom->addWidget(chkHideWindow);

    // Every label here was made a ClickLabel above.
    const auto onClick = [this](QLabel* label, void (frmInfo::*handler)()) {
        connect(static_cast<ClickLabel*>(label), &ClickLabel::clicked, this, handler);
    };
    onClick(lblSoft, &frmInfo::lblSoft_Click);
    onClick(lblHomepage, &frmInfo::lblHomepage_Click);
    onClick(lblDingZhi, &frmInfo::lblDingZhi_Click);
    onClick(lblSO, &frmInfo::lblSO_Click);
    onClick(lblFind, &frmInfo::lblFind_Click);
    onClick(lblRefresh, &frmInfo::lblRefresh_Click);
    onClick(imgSearch, &frmInfo::imgSearch_Click);
    onClick(imgChange, &frmInfo::imgChange_Click);
    connect(txtSearch, &QLineEdit::returnPressed, this, &frmInfo::imgSearch_Click);
    connect(chkHideWindow, &QCheckBox::clicked, this, &frmInfo::chkHideWindow_Click);
    connect(webNotify, &QWebEngineView::loadFinished, this, &frmInfo::webNotify_LoadFinished);
}

void frmInfo::Form_Load()
{
    attempt(lcComponent, "reset change count", [&] { ChangeCount = 0; });
    attempt(lcComponent, "load local page", [&] { webLocal->load(QUrl::fromLocalFile(Component::LocalPage())); });
    attempt(lcComponent, "lay out browsers", [&] {
        const QRect area(0, picTop->y() + picTop->height(), kWidth, picStatus->y() - picTop->height());
        webLocal->setGeometry(area);
        webNotify->setGeometry(area);
        bringToFront(webLocal);
    });
    attempt(lcComponent, "clear hide box", [&] { chkHideWindow->setChecked(false); });
    // Topmost comes with the window's flags; silence with its page.
    attempt(lcComponent, "read product name", [&] {
        SoftDesc = modRegedit::RegReadString(HKEY_LOCAL_MACHINE, QString::fromLatin1(ComponentNames::SettingsKey),
                                             QStringLiteral("KQSoftDesc"));
        if (SoftDesc.trimmed().isEmpty())
            SoftDesc = kDefaultSoftDesc;
        setWindowTitle(SoftDesc + QStringLiteral(" - 通知链接"));
        lblSoft->setText(SoftDesc + QStringLiteral("首页"));
    });
    attempt(lcComponent, "read readme path", [&] {
        ReadmePath = modRegedit::RegReadString(HKEY_LOCAL_MACHINE, QString::fromLatin1(ComponentNames::SettingsKey),
                                               QStringLiteral("KQReadmePath"));
        if (ReadmePath.isEmpty())
            ReadmePath = Component::LocalPage();
    });
}

QWebEngineView* frmInfo::front() const
{
    return m_front;
}

void frmInfo::bringToFront(QWebEngineView* view)
{
    view->raise();
    m_front = view;
}

void frmInfo::webNotify_LoadFinished(bool ok)
{
    // A page that did not load is the browser's own error page, never the maker's.
    if (!ok)
        return;
    QPointer<frmInfo> self(this);
    webNotify->page()->runJavaScript(QStringLiteral("document.documentElement.innerHTML"),
                                     [self](const QVariant& html) {
                                         if (self)
                                             self->checkPage(html.toString());
                                     });
}

void frmInfo::checkPage(const QString& html)
{
    const bool maker = html.toLower().contains(QLatin1String("vodidar")) || html.contains(QLatin1String("Dorvik"))
                       || html.contains(QStringLiteral("软件通知"));
    if (!maker)
        return;
    imgChange->show();
    lblRefresh->show();
    bringToFront(webNotify);
}

void frmInfo::imgChange_Click()
{
    ++ChangeCount;
    bringToFront(ChangeCount % 2 != 0 ? webLocal : webNotify);
}

QString frmInfo::searchAddress(const QString& text)
{
    QString address = QString::fromLatin1(WebHosts::SearchEngine) + QString::fromLatin1(kSearchQuery);
    const QString words = text.trimmed();
    if (words.isEmpty()) {
        address.remove(QStringLiteral("&word=<searchstring>"));
        return address;
    }
    // The words are the player's: encoded, so that "&", "#" or a space cannot add
    // to or cut the query. The engine reads this query in the Chinese code page.
    return address.replace(QStringLiteral("<searchstring>"),
                           QString::fromLatin1(toGbk(words).toPercentEncoding()));
}

void frmInfo::imgSearch_Click()
{
    attempt(lcComponent, "open search", [&] {
        ShellExecute(this, QStringLiteral("open"), searchAddress(txtSearch->text()), QString(), QString(),
                     SW_SHOW);
    });
}

void frmInfo::openLink(const QString& target)
{
    attempt(lcComponent, "open link", [&] {
        ShellExecute(this, QStringLiteral("Open"), target, QString(), Component::Folder(), SW_SHOWNORMAL);
    });
}

void frmInfo::lblSoft_Click()
{
    openLink(ReadmePath);
}

void frmInfo::lblHomepage_Click()
{
    attempt(lcComponent, "show local page", [&] { bringToFront(webLocal); });
    openLink(QString::fromLatin1(WebHosts::MainSite) + u'/');
}

void frmInfo::lblDingZhi_Click()
{
    openLink(QString::fromLatin1(WebHosts::MainSite) + QStringLiteral("/kqcustomization.htm"));
}

void frmInfo::lblSO_Click()
{
    openLink(QString::fromLatin1(WebHosts::SearchSite) + u'/');
}

void frmInfo::lblFind_Click()
{
    openLink(QString::fromLatin1(WebHosts::MainSite) + QStringLiteral("/extpage/life.htm"));
}

void frmInfo::lblRefresh_Click()
{
    attempt(lcComponent, "reload notify page", [&] { webNotify->reload(); });
}

void frmInfo::chkHideWindow_Click()
{
    attempt(lcComponent, "store hide setting", [&] {
        modRegedit::RegWriteString(HKEY_LOCAL_MACHINE, QString::fromLatin1(ComponentNames::SettingsKey),
                                   QStringLiteral("ComHideWindow"),
                                   chkHideWindow->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    });
}
