#include "fCustom.h"

#include "PictureBox.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>

#include <cmath>
#include <limits>
#include <utility>

namespace {

QRect twipRect(int left, int top, int width, int height)
{
    const auto px = [](int twips) {
        return static_cast<int>(std::lround(static_cast<double>(twips) / PictureBox::TwipsPerPixel));
    };
    return QRect(px(left), px(top), px(width), px(height));
}

bool isEnterKey(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

}

fCustom::fCustom(QWidget* parent) : QDialog(parent)
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(QStringLiteral("自定义难度"));

    lblHght = new QLabel(QStringLiteral("高度："), this);
    lblWidth = new QLabel(QStringLiteral("宽度："), this);
    lblMines = new QLabel(QStringLiteral("雷数："), this);
    txtHeight = new QLineEdit(this);
    txtWidth = new QLineEdit(this);
    txtMines = new QLineEdit(this);
    txtHeight->setGeometry(twipRect(1140, 180, 675, 285));
    txtWidth->setGeometry(twipRect(1140, 510, 675, 285));
    txtMines->setGeometry(twipRect(1140, 870, 675, 285));

    // Each label spans its box's height with the text centred on it, so the two
    // read as one line whatever the height of the font's characters.
    const int labelLeft = twipRect(90, 0, 0, 0).left();
    for (const auto& [label, box] : {std::pair{lblHght, txtHeight}, std::pair{lblWidth, txtWidth},
                                     std::pair{lblMines, txtMines}}) {
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        label->setGeometry(labelLeft, box->y(), box->x() - labelLeft, box->height());
    }
    txtHeight->setObjectName(QStringLiteral("txtHeight"));
    txtWidth->setObjectName(QStringLiteral("txtWidth"));
    txtMines->setObjectName(QStringLiteral("txtMines"));

    cmdOK = new QPushButton(QStringLiteral("确定"), this);
    cmdCancel = new QPushButton(QStringLiteral("取消"), this);
    cmdOK->setGeometry(twipRect(2070, 210, 840, 315));
    cmdCancel->setGeometry(twipRect(2070, 870, 840, 315));
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    // Enter and Esc belong to the dialog as a whole, never to a focused button.
    for (QPushButton* button : {cmdOK, cmdCancel}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    connect(cmdOK, &QPushButton::clicked, this, &fCustom::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &fCustom::cmdCancel_Click);

    for (QLineEdit* box : {txtHeight, txtWidth, txtMines}) {
        // Composed text would slip past the key filter.
        box->setAttribute(Qt::WA_InputMethodEnabled, false);
        box->installEventFilter(this);
    }
    cmdOK->installEventFilter(this);
    cmdCancel->installEventFilter(this);

    setTabOrder(txtHeight, txtWidth);
    setTabOrder(txtWidth, txtMines);
    setTabOrder(txtMines, cmdOK);
    setTabOrder(cmdOK, cmdCancel);

    const QRect client = twipRect(0, 0, 3090, 1380);
    setFixedSize(client.size());
}

void fCustom::showEvent(QShowEvent* event)
{
    // The owner sets x0, y0 and m0 between creating the dialog and showing it, so
    // the boxes are filled when it first appears.
    if (!m_loaded) {
        m_loaded = true;
        Form_Load();
    }
    QDialog::showEvent(event);
}

void fCustom::Form_Load()
{
    txtHeight->setText(y0.toString());
    txtWidth->setText(x0.toString());
    txtMines->setText(QString::number(m0));
    IsCancelled = false;
    txtHeight->setFocus(Qt::OtherFocusReason);
    // Selected, so that the player's first digits replace the height rather than
    // join it ("16" typed into "16" must not read "1616").
    txtHeight->selectAll();
}

std::optional<int> fCustom::roundedNumber(const QString& text)
{
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    const double rounded = std::nearbyint(value);
    // A number beyond the 32-bit range cannot be stored; it is refused like any
    // other text that is not a usable number.
    if (rounded < static_cast<double>(std::numeric_limits<int>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<int>::max()))
        return std::nullopt;
    return static_cast<int>(rounded);
}

void fCustom::validate(QLineEdit* box, bool& Cancel)
{
    const std::optional<int> value = roundedNumber(box->text());
    Cancel = !value;
    if (!value)
        return;
    if (box == txtHeight)
        y0 = *value;
    else if (box == txtWidth)
        x0 = *value;
    else if (box == txtMines)
        m0 = *value;
}

void fCustom::txtHeight_Validate(bool& Cancel)
{
    validate(txtHeight, Cancel);
}

void fCustom::txtWidth_Validate(bool& Cancel)
{
    validate(txtWidth, Cancel);
}

void fCustom::txtMines_Validate(bool& Cancel)
{
    validate(txtMines, Cancel);
}

void fCustom::cmdOK_Click()
{
    // Every box is taken on its own; one that fails keeps the value from entry.
    bool Cancel = false;
    txtHeight_Validate(Cancel);
    txtWidth_Validate(Cancel);
    txtMines_Validate(Cancel);
    done(QDialog::Accepted);
}

void fCustom::cmdCancel_Click()
{
    IsCancelled = true;
    done(QDialog::Rejected);
}

void fCustom::reject()
{
    cmdCancel_Click();
}

bool fCustom::Form_KeyDown(const QKeyEvent* event)
{
    if (isEnterKey(event->key())) {
        cmdOK_Click();
        return true;
    }
    if (event->key() == Qt::Key_Escape) {
        cmdCancel_Click();
        return true;
    }
    return false;
}

void fCustom::keyPressEvent(QKeyEvent* event)
{
    if (!Form_KeyDown(event))
        QDialog::keyPressEvent(event);
}

bool fCustom::keyPress(QLineEdit* box, const QKeyEvent* event)
{
    const QString text = event->text();
    if (text.isEmpty())
        return false;
    // Control characters (Backspace, Ctrl+V and the like) and digits pass; other
    // printable characters are dropped. Delete carries a character that is not
    // printable: it is an editing key, not typing, and passes too.
    for (const char32_t code : text.toUcs4()) {
        if (code < 32 || (code >= '0' && code <= '9'))
            continue;
        if (!QChar::isPrint(code))
            return false;
        if (box == txtHeight)
            setWindowTitle(QString::number(code));
        return true;
    }
    return false;
}

bool fCustom::eventFilter(QObject* watched, QEvent* event)
{
    auto* box = qobject_cast<QLineEdit*>(watched);
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (Form_KeyDown(key))
            return true;
        if (!box)
            break;
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            // Leaving a box by Tab validates it first; a box that fails keeps the focus.
            bool Cancel = false;
            validate(box, Cancel);
            return Cancel;
        }
        return keyPress(box, key);
    }
    case QEvent::FocusOut:
        // A click moves the focus before the clicked control sees the press, so
        // the box is validated as it loses the focus, and the press that follows
        // decides whether the click may go on.
        if (box && static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason) {
            bool Cancel = false;
            validate(box, Cancel);
            m_heldBox = Cancel ? box : nullptr;
        }
        break;
    case QEvent::MouseButtonPress:
        // A box that failed its validation takes the focus back, and the click
        // that tried to leave it is not carried out.
        if (QLineEdit* held = std::exchange(m_heldBox, nullptr); held && held != watched) {
            held->setFocus(Qt::OtherFocusReason);
            return true;
        }
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}
