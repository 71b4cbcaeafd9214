// tst_Preview: the preview panel beside the dialog: built only when opened, remembered in the
// settings file, drawn where OK places the text (pixels probed at the corners of the text's
// box and at a picked point), live, with zoom, pan and fit.
#include <cmath>
#include <functional>
#include <memory>
#include <numbers>

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include "app/PreviewPanel.h"
#include "app/PreviewView.h"
#include "DialogFolder.h"
#include "app/Unit1.h"

namespace {

// Two picked points, a line below them and the host's current text type 3.
const QByteArray kHostFile =
    "\xEF\xBB\xBF"
    "hk 0\r\n"
    "hcw 2 2.5 3 3.5 4 5 6 7 8 10\r\n"
    "hch 2 2.5 3 3.5 4 5 6 7 8 10\r\n"
    "hcd 0 0 0.5 0.5 0.5 1 1 1 1 1\r\n"
    "hcc 1 1 2 2 2 3 3 4 4 5\r\n"
    "lc2\r\n"
    "cn3\r\n"
    "hp1 10 20\r\n"
    "hp2 110 120\r\n"
    "0 0 -10 -10\r\n";

constexpr int kClosedWidth = 463;
constexpr int kHeight = 373;
// Picked points are red, as the drawing scene colours them.
const QColor kPicked(255, 0, 0);

// A temporary program folder holding this test's host file.
class TProgramFolder : public TDialogFolder {
public:
    TProgramFolder() : TDialogFolder(kHostFile) {}
};

// A preset row of the given size, so that the box is large enough to probe.
void UseRow(TForm1& f, const QString& width, const QString& height, const QString& spacing) {
    f.findChild<QLineEdit*>("EditA1")->setText(width);
    f.findChild<QLineEdit*>("EditB1")->setText(height);
    f.findChild<QLineEdit*>("EditC1")->setText(spacing);
    f.findChild<QRadioButton*>("RB1")->click();
}

// The panel's picture, once the host's scene is in place.
QImage Picture(TForm1& f) {
    [&] { QVERIFY(QTest::qWaitFor([&f] { return f.Preview->View->HostReady(); }, 20000)); }();
    QApplication::processEvents();
    return f.Preview->View->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Whether a pixel of the colour lies within two pixels of the point.
bool ColourNear(const QImage& image, QPointF at, const QColor& colour) {
    const QPoint c = at.toPoint();
    for (int dy = -2; dy <= 2; ++dy) {
        for (int dx = -2; dx <= 2; ++dx) {
            const QPoint p(c.x() + dx, c.y() + dy);
            if (image.rect().contains(p) && image.pixelColor(p) == colour) {
                return true;
            }
        }
    }
    return false;
}

struct TPoint {
    double x, y;
};

}  // namespace

class TestPreview : public QObject {
    Q_OBJECT

private slots:
    void closedBuildsNothing();
    void openingWidensTheWindowAndIsRemembered();
    void accessKeyKeepsTheFocus();
    void boxCornersAndPickedPoint_data();
    void boxCornersAndPickedPoint();
    void hostEntitiesInTheirColours();
    void captionNamesTheModeAndABlankText();
    void angleAndFittedSizeShownAlike();
    void pickedPointNumberBesideThePlacedText();
    void liveUpdatesRedrawOnlyTheText();
    void zoomPanAndFit();
};

void TestPreview::closedBuildsNothing() {
    TProgramFolder folder;
    const auto form = folder.Start();
    QCOMPARE(form->size(), QSize(kClosedWidth, kHeight));
    QVERIFY(form->Preview == nullptr);
    QVERIFY(form->findChild<TPreviewPanel*>() == nullptr);
    QCOMPARE(form->Button3->text(), QStringLiteral("プレビュー(&P) >>"));
    // At the right end of the button row, right of Cancel.
    QCOMPARE(form->Button3->geometry().right(), kClosedWidth - 5);
    QVERIFY(form->Button3->geometry().left() > form->Button2->geometry().right());
}

void TestPreview::openingWidensTheWindowAndIsRemembered() {
    TProgramFolder folder;
    {
        const auto form = folder.Start();
        const QRect panel1 = form->Panel1->geometry();
        form->Button3->click();
        QVERIFY(form->PreviewOpen());
        QVERIFY(form->width() > kClosedWidth);
        QCOMPARE(form->height(), kHeight);
        QCOMPARE(form->Panel1->geometry(), panel1);
        QCOMPARE(form->Preview->geometry().left(), kClosedWidth);
        QCOMPARE(form->Button3->text(), QStringLiteral("<< プレビュー(&P)"));
        form->ComboBox1->setEditText(QStringLiteral("文字"));
        form->Button1->click();
    }
    // Saved open: the line after the histories; the next start opens the panel by itself.
    QStringList lines = QString::fromUtf8(folder.Read("r407.dat")).split("\r\n");
    lines.removeLast();
    QCOMPARE(lines.size(), 140 + 1 + 4 + 1);
    QCOMPARE(lines.last(), QStringLiteral("1"));
    {
        const auto form = folder.Start();
        QVERIFY(form->PreviewOpen());
        QVERIFY(form->width() > kClosedWidth);
        form->Button3->click();
        QVERIFY(!form->PreviewOpen());
        QCOMPARE(form->size(), QSize(kClosedWidth, kHeight));
        QCOMPARE(form->Button3->text(), QStringLiteral("プレビュー(&P) >>"));
        form->Button1->click();
    }
    // Saved closed: the file ends with the histories, as before the panel existed.
    lines = QString::fromUtf8(folder.Read("r407.dat")).split("\r\n");
    lines.removeLast();
    QCOMPARE(lines.size(), 140 + 1 + 4);
    const auto form = folder.Start();
    QVERIFY(!form->PreviewOpen());
}

void TestPreview::accessKeyKeepsTheFocus() {
    TProgramFolder folder;
    const auto form = folder.Start();
    QApplication::setActiveWindow(form.get());
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    form->ComboBox1->setFocus();
    QTest::keyClick(form->ComboBox1->lineEdit(), Qt::Key_P, Qt::AltModifier);
    QVERIFY(form->PreviewOpen());
    QVERIFY(form->ComboBox1->hasFocus());
    QTest::keyClicks(form->ComboBox1->lineEdit(), QStringLiteral("abc"));
    QCOMPARE(form->ComboBox1->currentText(), QStringLiteral("abc"));
    QTest::keyClick(form->ComboBox1->lineEdit(), Qt::Key_P, Qt::AltModifier);
    QVERIFY(!form->PreviewOpen());
    QVERIFY(form->ComboBox1->hasFocus());
}

void TestPreview::boxCornersAndPickedPoint_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("orientation");
    QTest::addColumn<int>("basePoint");
    QTest::addColumn<QString>("angle");
    QTest::addColumn<QList<QPointF>>("corners");
    QTest::addColumn<QPointF>("picked");  // a picked point the text does not cover

    // Full-width text 文字 in a row of width 20, height 10, spacing 0: 40 long, 10 high.
    const double r = std::sqrt(0.5);
    // At picked point 1, 左下, the box runs right and up from it.
    QTest::newRow("horizontal at P1")
        << QStringList{"1"} << 0 << 2 << "0"
        << QList<QPointF>{{10, 20}, {50, 20}, {50, 30}, {10, 30}}
        << QPointF(110, 120);
    // Turned 90 degrees by the angle box, 中中: centred on the origin.
    QTest::newRow("horizontal turned, no mode")
        << QStringList{} << 0 << 4 << "90"
        << QList<QPointF>{{5, -20}, {5, 20}, {-5, 20}, {-5, -20}}
        << QPointF(110, 120);
    // Vertical, along P1 to P2 (45 degrees), 右上 on P1: 20 wide, 20 down the run.
    const TPoint u{r, r}, v{-r, r};
    QTest::newRow("vertical along the points")
        << QStringList{"3"} << 1 << 6 << ""
        << QList<QPointF>{{10, 20},
                          {10 - 20 * u.x, 20 - 20 * u.y},
                          {10 - 20 * u.x - 20 * v.x, 20 - 20 * u.y - 20 * v.y},
                          {10 - 20 * v.x, 20 - 20 * v.y}}
        << QPointF(110, 120);
    // Midway between the points, 左下.
    QTest::newRow("sun-shadow at the midpoint")
        << QStringList{"4"} << 2 << 2 << ""
        << QList<QPointF>{{60, 70},
                          {60 + 40 * u.x, 70 + 40 * u.y},
                          {60 + 40 * u.x + 10 * v.x, 70 + 40 * u.y + 10 * v.y},
                          {60 + 10 * v.x, 70 + 10 * v.y}}
        << QPointF(110, 120);
    // 2.5D along the selected line (drawn at 225 degrees, kept below 180: 45), 右下 on P2.
    QTest::newRow("2.5D along the selected line")
        << QStringList{"2"} << 3 << 8 << ""
        << QList<QPointF>{{110 - 40 * u.x, 120 - 40 * u.y},
                          {110, 120},
                          {110 + 10 * v.x, 120 + 10 * v.y},
                          {110 - 40 * u.x + 10 * v.x, 120 - 40 * u.y + 10 * v.y}}
        << QPointF(10, 20);
    // At P2, 中上: centred along the direction, hanging below the point.
    QTest::newRow("horizontal at P2")
        << QStringList{"5"} << 0 << 3 << ""
        << QList<QPointF>{{110 - 20 * u.x - 10 * v.x, 120 - 20 * u.y - 10 * v.y},
                          {110 + 20 * u.x - 10 * v.x, 120 + 20 * u.y - 10 * v.y},
                          {110 + 20 * u.x, 120 + 20 * u.y},
                          {110 - 20 * u.x, 120 - 20 * u.y}}
        << QPointF(10, 20);
    // Fitted between the points, 中中: the length is the points' distance and the height
    // grows with it.
    const double dist = std::hypot(100.0, 100.0);
    const double high = 10.0 * dist / 40.0;
    QTest::newRow("fitted between the points")
        << QStringList{"fit"} << 0 << 4 << ""
        << QList<QPointF>{{10 - high / 2 * v.x, 20 - high / 2 * v.y},
                          {110 - high / 2 * v.x, 120 - high / 2 * v.y},
                          {110 + high / 2 * v.x, 120 + high / 2 * v.y},
                          {10 + high / 2 * v.x, 20 + high / 2 * v.y}}
        << QPointF(110, 120);
}

void TestPreview::boxCornersAndPickedPoint() {
    QFETCH(QStringList, arguments);
    QFETCH(int, orientation);
    QFETCH(int, basePoint);
    QFETCH(QString, angle);
    QFETCH(QList<QPointF>, corners);
    QFETCH(QPointF, picked);

    TProgramFolder folder;
    const auto form = folder.Start(arguments);
    form->Button3->click();
    UseRow(*form, "20", "10", "0");
    form->ComboBox1->setEditText(QStringLiteral("文字"));
    form->RadioGroup1Items->button(orientation)->click();
    form->RadioGroup2Items->button(basePoint)->click();
    if (!angle.isEmpty()) {
        form->ComboBox2->setEditText(angle);
    }
    const QImage image = Picture(*form);
    const QTransform t = form->Preview->View->ToWidget();
    for (const QPointF& c : corners) {
        const QPointF at = t.map(c);
        QVERIFY2(ColourNear(image, at, TPreviewView::OutlineColour()),
                 qPrintable(QStringLiteral("corner (%1, %2) at pixel (%3, %4)")
                                .arg(c.x()).arg(c.y()).arg(at.x()).arg(at.y())));
    }
    // The middle of an edge of the box, and nothing of it well outside.
    const QPointF mid = t.map((corners[0] + corners[1]) / 2);
    QVERIFY(ColourNear(image, mid, TPreviewView::OutlineColour()));
    const QPointF outside = t.map(corners[0] + (corners[0] - corners[2]) * 0.5);
    QVERIFY(!ColourNear(image, outside, TPreviewView::OutlineColour()));
    // The picked point is drawn where the host put it.
    QVERIFY(ColourNear(image, t.map(picked), kPicked));
    // Everything shown lies inside the view.
    for (const QPointF& c : corners) {
        QVERIFY(image.rect().contains(t.map(c).toPoint()));
    }
}

void TestPreview::hostEntitiesInTheirColours() {
    TProgramFolder folder;
    folder.Write("ZIV_TEMP.TXT",
                 "\xEF\xBB\xBF"
                 "hp1 0 100\r\n"
                 "lc3\r\nci 200 50 20\r\n"
                 "lc5\r\nci 300 50 20 0 90 1 0\r\n"
                 "lc6\r\n0 0 100 0\r\n"
                 "lc2\r\n0 -20 100 -20\r\n");
    const auto form = folder.Start();
    form->Button3->click();
    form->ComboBox1->setEditText(QStringLiteral("A"));
    const QImage image = Picture(*form);
    const QTransform t = form->Preview->View->ToWidget();
    const QColor green(0, 192, 0), magenta(192, 0, 192), blue(0, 0, 255), black(0, 0, 0);
    const QColor white(255, 255, 255);
    const double r = 20 * std::sqrt(0.5);
    struct Probe {
        const char* what;
        QPointF at;
        QColor colour;
        bool there;
    };
    const Probe probes[] = {
        {"circle, right", {220, 50}, green, true},
        {"circle, left", {180, 50}, green, true},
        {"circle, top", {200, 70}, green, true},
        {"circle, centre", {200, 50}, green, false},
        {"arc, inside its sweep", {300 + r, 50 + r}, magenta, true},
        {"arc, start", {320, 50}, magenta, true},
        {"arc, outside its sweep", {300 - r, 50 - r}, magenta, false},
        {"line", {50, 0}, blue, true},
        {"colour 2 on white paper", {50, -20}, black, true},
        {"picked point", {0, 100}, kPicked, true},
        {"empty paper", {150, -10}, white, true},
    };
    for (const Probe& p : probes) {
        QVERIFY2(ColourNear(image, t.map(p.at), p.colour) == p.there, p.what);
    }
}

// The caption gives the angle with the digits of the angle box, and in fit mode the dialog's
// status line gives the fitted size as the caption does, with the panel open or not.
void TestPreview::angleAndFittedSizeShownAlike() {
    {
        TProgramFolder folder;
        const auto form = folder.Start({"3"});
        form->Button3->click();
        form->ComboBox1->setEditText(QStringLiteral("文字"));
        QCOMPARE(form->ComboBox2->currentText(), QStringLiteral("45"));
        form->ComboBox2->setEditText(QStringLiteral("4.004172940709"));
        QVERIFY2(form->Preview->Caption->text().contains(QStringLiteral("  4.004172940709°  ")),
                 qPrintable(form->Preview->Caption->text()));
    }
    TProgramFolder folder;
    const auto form = folder.Start({"fit"});
    QCOMPARE(form->LabelM->text(), QString());
    form->ComboBox1->setEditText(QStringLiteral("文字"));
    const QString status = form->LabelM->text();
    QVERIFY2(status.startsWith(QStringLiteral("2点間に合わせた大きさ  W")), qPrintable(status));
    form->Button3->click();
    const QString caption = form->Preview->Caption->text();
    const QString size = status.mid(status.indexOf(QLatin1Char('W')));
    QVERIFY2(caption.contains(QStringLiteral("  ") + size + QStringLiteral("  2点間に合わせる")),
             qPrintable(caption + QStringLiteral(" / ") + status));
    // A longer text is fitted smaller.
    form->ComboBox1->setEditText(QStringLiteral("文字文字"));
    QVERIFY(form->LabelM->text() != status);
}

// The number of a picked point stays beside a text placed at it: the text runs up and to the
// right from the usual base point, the number stands below on the right.
void TestPreview::pickedPointNumberBesideThePlacedText() {
    TProgramFolder folder;
    const auto form = folder.Start({"3"});
    form->Button3->click();
    form->ComboBox1->setEditText(QStringLiteral("文字文字"));
    const QImage image = Picture(*form);
    const QPointF p1 = form->Preview->View->ToWidget().map(QPointF(10, 20));
    int red = 0;
    for (int y = 5; y <= 18; ++y) {
        for (int x = 5; x <= 14; ++x) {
            const QPoint at = (p1 + QPointF(x, y)).toPoint();
            // The number's pixels, smoothed at their edges.
            const QColor c = image.rect().contains(at) ? image.pixelColor(at) : QColor();
            red += c.red() > 150 && c.green() < 120 && c.blue() < 120 ? 1 : 0;
        }
    }
    QVERIFY2(red >= 5, qPrintable(QString::number(red)));
}

void TestPreview::captionNamesTheModeAndABlankText() {
    TProgramFolder folder;
    const auto form = folder.Start({"fit"});
    form->Button3->click();
    form->ComboBox1->setEditText(QStringLiteral("文字"));
    const QLabel* caption = form->Preview->Caption;
    QVERIFY(caption->text().startsWith(QStringLiteral("横字")));
    QVERIFY(caption->text().contains(QStringLiteral("2点間に合わせる")));
    form->RadioGroup1Items->button(3)->click();
    QVERIFY(caption->text().startsWith(QStringLiteral("2.5D")));
    form->RadioGroup1Items->button(2)->click();
    QVERIFY(caption->text().startsWith(QStringLiteral("日影")));

    // A blank text, or offsets that carry the point past the largest number: no box, and the
    // caption says why.
    const auto outlined = [&form] {
        const QImage image = Picture(*form);
        int n = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                n += image.pixelColor(x, y) == TPreviewView::OutlineColour();
            }
        }
        return n;
    };
    QVERIFY(outlined() > 0);
    form->ComboBox1->setEditText(QStringLiteral("\u3000 "));
    QCOMPARE(caption->text(), QStringLiteral("文字が空のため配置を表示できません"));
    QCOMPARE(outlined(), 0);

    form->ComboBox1->setEditText(QStringLiteral("文字"));
    form->ComboBox2->setEditText(QStringLiteral("45"));
    form->CheckBox1->click();
    form->Edit3->setText(QStringLiteral("-1.7e308"));
    form->Edit4->setText(QStringLiteral("1.7e308"));
    QCOMPARE(caption->text(), QStringLiteral("この値では文字の位置を計算できません"));
    QCOMPARE(outlined(), 0);
}

void TestPreview::liveUpdatesRedrawOnlyTheText() {
    TProgramFolder folder;
    const auto form = folder.Start({"1"});
    form->Button3->click();
    UseRow(*form, "20", "10", "0");
    form->ComboBox1->setEditText(QStringLiteral("文字"));
    QImage last = Picture(*form);
    const int renders = form->Preview->View->HostRenders();
    QVERIFY(renders >= 1);

    // Each control that the placement reads changes the picture at once.
    const std::function<void()> changes[] = {
        [&] { QTest::keyClicks(form->ComboBox1->lineEdit(), QStringLiteral("x")); },
        [&] { form->RadioGroup1Items->button(1)->click(); },
        [&] { form->ComboBox2->setEditText(QStringLiteral("30@@30@")); },
        [&] { form->RadioGroup2Items->button(4)->click(); },
        [&] {
            form->CheckBox1->click();
            form->Edit2->setText(QStringLiteral("5"));
        },
        [&] { form->Edit5->setText(QStringLiteral("-7")); },
        [&] { form->findChild<QLineEdit*>("EditB1")->setText(QStringLiteral("15")); },
        [&] { form->ComboBox3->setCurrentIndex(10); form->RadioButton1->click(); },
        [&] { form->findChild<QRadioButton*>("RB2")->click(); },
    };
    for (size_t i = 0; i < std::size(changes); ++i) {
        changes[i]();
        const QImage now = Picture(*form);
        QVERIFY2(now != last, qPrintable(QStringLiteral("change %1").arg(i)));
        last = now;
    }
    // The host's entities were drawn once; only the text layer followed the changes.
    QCOMPARE(form->Preview->View->HostRenders(), renders);

    // An angle that is no number is drawn at the angle OK would use: 0.
    form->RadioGroup1Items->button(0)->click();
    form->ComboBox2->setEditText(QStringLiteral("0"));
    const QImage zero = Picture(*form);
    form->ComboBox2->setEditText(QStringLiteral("abc"));
    QCOMPARE(Picture(*form), zero);
}

void TestPreview::zoomPanAndFit() {
    TProgramFolder folder;
    const auto form = folder.Start({"1"});
    form->Button3->click();
    form->ComboBox1->setEditText(QStringLiteral("文字"));
    TPreviewView* view = form->Preview->View;
    Picture(*form);
    const QTransform fitted = view->ToWidget();

    // The wheel zooms about the cursor: the host point under it stays put.
    const QPointF cursor(view->width() * 0.3, view->height() * 0.6);
    const QPointF host = fitted.inverted().map(cursor);
    const int scroll = form->ScrollBox2->verticalScrollBar()->value();
    QWheelEvent wheel(cursor, view->mapToGlobal(cursor), QPoint(), QPoint(0, 240), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view, &wheel);
    QVERIFY(wheel.isAccepted());
    const QTransform zoomed = view->ToWidget();
    QVERIFY(zoomed.m11() > fitted.m11() * 1.4);
    const QPointF stays = zoomed.map(host);
    QVERIFY(std::abs(stays.x() - cursor.x()) < 1e-6 && std::abs(stays.y() - cursor.y()) < 1e-6);
    QCOMPARE(form->ScrollBox2->verticalScrollBar()->value(), scroll);

    // Dragging pans by the distance dragged.
    QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
    QTest::mouseMove(view, QPoint(130, 90));
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, QPoint(130, 90));
    const QTransform panned = view->ToWidget();
    QCOMPARE(panned.dx() - zoomed.dx(), 30.0);
    QCOMPARE(panned.dy() - zoomed.dy(), -10.0);

    // A text change keeps the user's view; a double click fits again.
    QTest::keyClicks(form->ComboBox1->lineEdit(), QStringLiteral("x"));
    QCOMPARE(view->ToWidget(), panned);
    form->ComboBox1->setEditText(QStringLiteral("文字"));
    QTest::mouseDClick(view, Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
    QCOMPARE(view->ToWidget(), fitted);
}

QTEST_MAIN(TestPreview)
#include "tst_Preview.moc"
