#include "PictureBox.h"

#include <QLineEdit>
#include <QPainter>
#include <QVBoxLayout>
#include <QSignalSpy>
#include <QTest>

namespace {

QImage filled(QSize size, QImage::Format format, QRgb colour)
{
    QImage img(size, format);
    img.fill(colour);
    return img;
}

// A picture whose every pixel differs, so a shifted or clipped copy shows.
QImage gradient(QSize size, QImage::Format format)
{
    QImage img(size, QImage::Format_ARGB32);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x)
            img.setPixel(x, y, qRgba(17 * x % 256, 29 * y % 256, (x * y) % 256, 255 - 40 * ((x + y) % 3)));
    }
    return img.convertToFormat(format);
}

// Every signal of a box as one line, in the order they arrive.
struct SignalLog {
    QStringList lines;
    explicit SignalLog(PictureBox& box)
    {
        auto pos = [](const char* name, int b, int s, float x, float y) {
            return QStringLiteral("%1 %2 %3 %4,%5").arg(name).arg(b).arg(s).arg(x).arg(y);
        };
        QObject::connect(&box, &PictureBox::MouseDown,
                         [=, this](int b, int s, float x, float y) { lines << pos("Down", b, s, x, y); });
        QObject::connect(&box, &PictureBox::MouseUp,
                         [=, this](int b, int s, float x, float y) { lines << pos("Up", b, s, x, y); });
        QObject::connect(&box, &PictureBox::MouseMove,
                         [=, this](int b, int s, float x, float y) { lines << pos("Move", b, s, x, y); });
        QObject::connect(&box, &PictureBox::MouseDblClick,
                         [=, this](int b, int s, float x, float y) { lines << pos("DblAt", b, s, x, y); });
        QObject::connect(&box, &PictureBox::DblClick, [this] { lines << "DblClick"; });
        QObject::connect(&box, &PictureBox::MouseCancel, [this] { lines << "Cancel"; });
        QObject::connect(&box, &PictureBox::Click, [this] { lines << "Click"; });
    }
};

} // namespace

class tst_PictureBox : public QObject {
    Q_OBJECT

private slots:
    void sizes_data();
    void sizes();
    void paintPictureMatchesPainter_data();
    void paintPictureMatchesPainter();
    void canvasPersists();
    void bitBlt_data();
    void bitBlt();
    void refreshRaisesPaintThenShows();
    void mouseButtonsAndPositions_data();
    void mouseButtonsAndPositions();
    void doubleClickReplacesSecondPress_data();
    void doubleClickReplacesSecondPress();
    void disabledBoxHearsNothing();
    void heldButtonsTakenAway_data();
    void heldButtonsTakenAway();
};

void tst_PictureBox::sizes_data()
{
    QTest::addColumn<bool>("twips");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<QSize>("pixels");
    QTest::addColumn<QSize>("readBack");
    QTest::newRow("twips 30x16 normal") << true << 6750 << 3600 << QSize(450, 240) << QSize(6750, 3600);
    QTest::newRow("twips 255x166 tiny") << true << 15300 << 9960 << QSize(1020, 664) << QSize(15300, 9960);
    // Part of a pixel is dropped, as the box can only be whole pixels wide.
    QTest::newRow("twips uneven") << true << 100 << 29 << QSize(6, 1) << QSize(90, 15);
    QTest::newRow("pixels") << false << 554 << 284 << QSize(554, 284) << QSize(554, 284);
    QTest::newRow("negative") << false << -5 << 10 << QSize(0, 10) << QSize(0, 10);
}

void tst_PictureBox::sizes()
{
    QFETCH(bool, twips);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(QSize, pixels);
    QFETCH(QSize, readBack);

    // Never shown: the owner sizes and draws a board before the window appears.
    PictureBox box(nullptr, twips ? PictureBox::Scale::Twips : PictureBox::Scale::Pixels);
    box.setWidth(width);
    box.setHeight(height);
    QCOMPARE(box.size(), pixels);
    QCOMPARE(QSize(box.Width(), box.Height()), readBack);
    QCOMPARE(box.canvas().size(), pixels.expandedTo(QSize(1, 1)));
}

void tst_PictureBox::paintPictureMatchesPainter_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<bool>("twips");
    const QList<QPoint> places = {{3, 5}, {-4, -2}, {37, 21}, {44, 0}, {-40, 0}};
    for (auto [name, format] : {std::pair{"rgb32", QImage::Format_RGB32}, {"argb32", QImage::Format_ARGB32},
                                {"indexed", QImage::Format_Indexed8}}) {
        for (QPoint at : places) {
            const QByteArray row = QByteArray(name) + " at " + QByteArray::number(at.x()) + ","
                                   + QByteArray::number(at.y());
            QTest::newRow(row.constData()) << int(format) << at << false;
        }
    }
    QTest::newRow("rgb32 twips") << int(QImage::Format_RGB32) << QPoint(30, 10) << true;
    QTest::newRow("rgb32 twips left of the box") << int(QImage::Format_RGB32) << QPoint(-4, -2) << true;
}

void tst_PictureBox::paintPictureMatchesPainter()
{
    QFETCH(int, format);
    QFETCH(QPoint, at);
    QFETCH(bool, twips);

    PictureBox box(nullptr, twips ? PictureBox::Scale::Twips : PictureBox::Scale::Pixels);
    const int scale = twips ? PictureBox::TwipsPerPixel : 1;
    box.setWidth(40 * scale);
    box.setHeight(24 * scale);
    const QImage background = gradient(QSize(40, 24), QImage::Format_RGB32);
    box.PaintPicture(background, 0, 0);
    const QImage picture = gradient(QSize(15, 9), QImage::Format(format));

    QImage expected = box.canvas().copy();
    {
        QPainter painter(&expected);
        painter.drawImage(at, picture);
    }
    // Twips positions are cut down to whole pixels; a twip short of the next pixel stays.
    const float unit = static_cast<float>(scale);
    box.PaintPicture(picture, static_cast<float>(at.x()) * unit + (twips ? 14.0f : 0.0f),
                     static_cast<float>(at.y()) * unit);
    QCOMPARE(box.canvas(), expected);
}

void tst_PictureBox::canvasPersists()
{
    PictureBox box(nullptr, PictureBox::Scale::Pixels);
    box.setBackColor(QColor(1, 2, 3));
    box.setWidth(10);
    box.setHeight(10);
    const QImage red = filled(QSize(4, 4), QImage::Format_RGB32, qRgb(255, 0, 0));
    const QImage halfBlue = filled(QSize(4, 4), QImage::Format_ARGB32, qRgba(0, 0, 255, 128));
    box.PaintPicture(red, 2, 2);
    const QImage before = box.canvas();
    // A snapshot taken between draws keeps what it saw.
    box.PaintPicture(halfBlue, 0, 0);
    box.PaintPicture(red, 6, 6);
    QCOMPARE(before.pixel(0, 0), box.backColor().rgb());
    QCOMPARE(before.pixel(7, 7), box.backColor().rgb());
    QVERIFY(box.canvas().pixel(0, 0) != box.backColor().rgb());
    QCOMPARE(box.canvas().pixel(7, 7), qRgb(255, 0, 0));

    // Growing keeps the drawing and fills the new part with the back colour.
    box.setWidth(20);
    QCOMPARE(box.canvas().size(), QSize(20, 10));
    QCOMPARE(box.canvas().pixel(5, 4), qRgb(255, 0, 0));
    QCOMPARE(box.canvas().pixel(15, 5), box.backColor().rgb());
    box.setHeight(5);
    QCOMPARE(box.canvas().size(), QSize(20, 5));
    QCOMPARE(box.canvas().pixel(5, 4), qRgb(255, 0, 0));

    box.Cls();
    QCOMPARE(box.canvas(), filled(QSize(20, 5), QImage::Format_RGB32, box.backColor().rgb()));
}

void tst_PictureBox::bitBlt_data()
{
    QTest::addColumn<int>("rop");
    QTest::newRow("SRCAND") << int(PictureBox::SRCAND);
    QTest::newRow("SRCPAINT") << int(PictureBox::SRCPAINT);
    QTest::newRow("SRCCOPY") << int(PictureBox::SRCCOPY);
}

void tst_PictureBox::bitBlt()
{
    QFETCH(int, rop);

    PictureBox box(nullptr, PictureBox::Scale::Pixels);
    box.setWidth(30);
    box.setHeight(30);
    const QImage background = gradient(QSize(30, 30), QImage::Format_RGB32);
    box.PaintPicture(background, 0, 0);
    // A 24-bit sheet, as sprites come; only the rectangle at (5, 3) is copied.
    const QImage sheet = gradient(QSize(40, 20), QImage::Format_RGB888);
    box.BitBlt(sheet, 5, 3, 10, 8, 12, 14, PictureBox::RasterOp(rop));

    const QImage result = box.canvas();
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 30; ++x) {
            const QRgb dst = background.pixel(x, y);
            QRgb want = dst;
            if (x >= 12 && x < 22 && y >= 14 && y < 22) {
                const QRgb src = sheet.pixel(x - 12 + 5, y - 14 + 3);
                want = rop == PictureBox::SRCAND ? (src & dst) : rop == PictureBox::SRCPAINT ? (src | dst) : src;
            }
            if (result.pixel(x, y) != (want | 0xff000000u))
                QFAIL(qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
        }
    }
}

void tst_PictureBox::refreshRaisesPaintThenShows()
{
    PictureBox box(nullptr, PictureBox::Scale::Pixels);
    box.setWidth(12);
    box.setHeight(12);
    const QImage green = filled(QSize(12, 12), QImage::Format_RGB32, qRgb(0, 200, 0));
    int paints = 0;
    QObject::connect(&box, &PictureBox::Paint, [&] {
        ++paints;
        box.PaintPicture(green, 0, 0);
    });
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QCOMPARE(paints, 0);
    box.Refresh();
    QCOMPARE(paints, 1);
    // What the screen shows is the canvas the Paint handler drew.
    QCOMPARE(box.grab().toImage().convertToFormat(QImage::Format_RGB32), green);

    const QImage red = filled(QSize(4, 4), QImage::Format_RGB32, qRgb(255, 0, 0));
    box.PaintPicture(red, 8, 8);
    QVERIFY(QTest::qWaitFor([&] { return box.grab().toImage().pixel(9, 9) == qRgb(255, 0, 0); }));
    QCOMPARE(paints, 1);
}

void tst_PictureBox::mouseButtonsAndPositions_data()
{
    QTest::addColumn<bool>("twips");
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("left twips") << true << int(Qt::LeftButton) << 0
                                << QStringList{"Down 1 0 105,45", "Move 1 0 300,150", "Up 1 0 300,150", "Click"};
    QTest::newRow("right shift") << true << int(Qt::RightButton) << int(Qt::ShiftModifier)
                                 << QStringList{"Down 2 1 105,45", "Move 2 0 300,150", "Up 2 1 300,150", "Click"};
    QTest::newRow("middle ctrl alt") << false << int(Qt::MiddleButton)
                                     << int(Qt::ControlModifier | Qt::AltModifier)
                                     << QStringList{"Down 4 6 7,3", "Move 4 0 20,10", "Up 4 6 20,10", "Click"};
    // A side button is no button of the box: only the pointer's movement is
    // reported. (The test's moves carry no modifier keys.)
    QTest::newRow("side button") << false << int(Qt::BackButton) << 0 << QStringList{"Move 0 0 20,10"};
}

void tst_PictureBox::mouseButtonsAndPositions()
{
    QFETCH(bool, twips);
    QFETCH(int, button);
    QFETCH(int, modifiers);
    QFETCH(QStringList, expected);

    PictureBox box(nullptr, twips ? PictureBox::Scale::Twips : PictureBox::Scale::Pixels);
    box.setWidth(twips ? 600 : 40);
    box.setHeight(twips ? 300 : 20);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QWindow* window = box.windowHandle();
    // The pointer arrives first, so the log starts with the press.
    QTest::mouseMove(window, QPoint(7, 3));
    SignalLog log(box);
    const auto mods = Qt::KeyboardModifiers(modifiers);
    QTest::mousePress(window, Qt::MouseButton(button), mods, QPoint(7, 3));
    QTest::mouseMove(window, QPoint(20, 10));
    QTest::mouseRelease(window, Qt::MouseButton(button), mods, QPoint(20, 10));
    QCOMPARE(log.lines.join(" | "), expected.join(" | "));
}

void tst_PictureBox::doubleClickReplacesSecondPress_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("code");
    QTest::newRow("left") << int(Qt::LeftButton) << 1;
    QTest::newRow("right") << int(Qt::RightButton) << 2;
}

void tst_PictureBox::doubleClickReplacesSecondPress()
{
    QFETCH(int, button);
    QFETCH(int, code);

    PictureBox box;
    box.setWidth(600);
    box.setHeight(300);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QTest::mouseMove(box.windowHandle(), QPoint(2, 4));
    SignalLog log(box);
    QTest::mouseDClick(box.windowHandle(), Qt::MouseButton(button), {}, QPoint(2, 4));
    const QString up = QStringLiteral("Up %1 0 30,60").arg(code);
    const QStringList expected{QStringLiteral("Down %1 0 30,60").arg(code), up, "Click",
                               QStringLiteral("DblAt %1 0 30,60").arg(code), "DblClick", up};
    QCOMPARE(log.lines.join(" | "), expected.join(" | "));
}

void tst_PictureBox::disabledBoxHearsNothing()
{
    PictureBox box;
    box.setWidth(600);
    box.setHeight(300);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QTest::mouseMove(box.windowHandle(), QPoint(5, 5));
    SignalLog log(box);
    box.setEnabled(false);
    QTest::mouseClick(box.windowHandle(), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseDClick(box.windowHandle(), Qt::RightButton, {}, QPoint(5, 5));
    QVERIFY(log.lines.isEmpty());
    box.setEnabled(true);
    QTest::mouseClick(box.windowHandle(), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(log.lines, (QStringList{"Down 1 0 75,75", "Up 1 0 75,75", "Click"}));
}

void tst_PictureBox::heldButtonsTakenAway_data()
{
    QTest::addColumn<bool>("byFocus");
    QTest::addColumn<QStringList>("expected");
    // A release that still comes is reported, but it makes no click.
    QTest::newRow("focus taken") << true << QStringList{"Down 1 0 75,75", "Cancel", "Up 1 0 75,75"};
    QTest::newRow("box disabled") << false << QStringList{"Down 1 0 75,75", "Cancel"};
}

void tst_PictureBox::heldButtonsTakenAway()
{
    QFETCH(bool, byFocus);
    QFETCH(QStringList, expected);

    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* box = new PictureBox;
    box->setWidth(600);
    box->setHeight(300);
    auto* other = new QLineEdit;
    layout->addWidget(box);
    layout->addWidget(other);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    const QPoint at = box->mapTo(&window, QPoint(5, 5));
    QTest::mouseMove(window.windowHandle(), at);
    SignalLog log(*box);
    QTest::mousePress(window.windowHandle(), Qt::LeftButton, {}, at);
    QVERIFY(box->hasFocus());
    if (byFocus)
        other->setFocus(Qt::PopupFocusReason);
    else
        box->setEnabled(false);
    // Taken once is taken: nothing more is cancelled until a new press.
    other->setFocus(Qt::OtherFocusReason);
    QTest::mouseRelease(window.windowHandle(), Qt::LeftButton, {}, at);
    QCOMPARE(log.lines.join(" | "), expected.join(" | "));
}

QTEST_MAIN(tst_PictureBox)
#include "tst_pictureBox.moc"
