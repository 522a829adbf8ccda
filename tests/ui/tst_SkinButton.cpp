// The skinned button's pixels and behaviour: face, border and focus marks in
// each look and state, the icon's place, the caption (mnemonic, pressed,
// disabled), the see-through face, hover tracking, double click, tool tip.
#include <QSignalSpy>
#include <QTest>

#include "CSkinButton.h"
#include "ResourceIcons.h"

namespace {
const QColor kNormalBk(176, 184, 192);
const QColor kActiveBk(208, 216, 224);
// What a probe expects: a palette role, or one of these.
enum : int { kFace = -1, kBlack = -2 };
const QPoint kProbes[] = {{1, 1}, {0, 5}, {5, 0}, {26, 5}, {5, 19}, {3, 3}, {4, 4}};

void SendMove(QWidget* target, QPoint at, Qt::MouseButtons buttons) {
    QMouseEvent event(QEvent::MouseMove, at, target->mapToGlobal(at), Qt::NoButton, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

// Whether every opaque pixel of the browse icon appears in `image` at `at`.
bool IconAt(const QImage& image, QPoint at) {
    const QImage icon = LoadResourceIcon(IDI_BROWSE).pixmap(16, 16).toImage();
    for (int y = 0; y < icon.height(); ++y)
        for (int x = 0; x < icon.width(); ++x)
            if (icon.pixelColor(x, y).alpha() == 255 &&
                image.pixel(at + QPoint(x, y)) != icon.pixel(x, y))
                return false;
    return true;
}

// The first column holding anything but the face, and the count of `ink` pixels.
std::pair<int, int> Ink(const QImage& image, const QColor& face, const QColor& ink) {
    int first = image.width(), count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            count += image.pixel(x, y) == ink.rgb();
            if (image.pixel(x, y) != face.rgb()) first = std::min(first, x);
        }
    return {first, count};
}
}  // namespace

class SkinButtonTest : public QObject {
    Q_OBJECT

private slots:
    void lookByState_data() {
        QTest::addColumn<bool>("flat");
        QTest::addColumn<bool>("hover");
        QTest::addColumn<bool>("down");
        QTest::addColumn<int>("focus");  // 0 none, 1 focused, 2 focused with the flat focus rect
        QTest::addColumn<bool>("border");
        QTest::addColumn<QColor>("face");
        QTest::addColumn<QList<int>>("probes");  // expected at kProbes, in order
        const int L = QPalette::Light, D = QPalette::Dark, S = QPalette::Shadow, F = kFace,
                  B = kBlack;
        QTest::newRow("rest") << true << false << false << 0 << true << kNormalBk
                              << QList{F, F, F, F, F, F, F};
        QTest::newRow("hover: raised")
            << true << true << false << 0 << true << kActiveBk << QList{F, L, L, D, D, F, F};
        QTest::newRow("pressed: sunken")
            << true << true << true << 0 << true << kActiveBk << QList{F, D, D, L, L, F, F};
        QTest::newRow("pressed, no hover")
            << true << false << true << 0 << true << kActiveBk << QList{F, D, D, L, L, F, F};
        QTest::newRow("hover, no border")
            << true << true << false << 0 << false << kActiveBk << QList{F, F, F, F, F, F, F};
        QTest::newRow("flat focused: no marks")
            << true << false << false << 1 << true << kNormalBk << QList{F, F, F, F, F, F, F};
        QTest::newRow("flat focus rect")
            << true << false << false << 2 << true << kNormalBk << QList{F, F, F, F, F, B, F};
        QTest::newRow("3-D, hovered: no hover look")
            << false << true << false << 0 << true << kNormalBk
            << QList{int(QPalette::Midlight), L, L, S, S, F, F};
        QTest::newRow("3-D pressed")
            << false << false << true << 0 << true << kActiveBk << QList{F, D, D, D, D, F, F};
        QTest::newRow("3-D focused: frame and dots")
            << false << false << false << 1 << true << kNormalBk << QList{L, B, B, B, B, F, B};
    }
    void lookByState() {
        QFETCH(bool, flat);
        QFETCH(bool, hover);
        QFETCH(bool, down);
        QFETCH(int, focus);
        QFETCH(bool, border);
        QFETCH(QColor, face);
        QFETCH(QList<int>, probes);
        QWidget window;
        auto* b = new CSkinButton(&window);
        b->setGeometry(30, 30, 27, 20);  // away from where the pointer starts
        b->SetFlatLook(flat);
        b->SetHoverBorder(border);
        b->SetFocusRectWhenFlat(focus == 2, false);
        if (focus > 0) {
            window.show();
            QVERIFY(QTest::qWaitForWindowActive(&window));
            b->setFocus();
            QTRY_VERIFY(b->hasFocus());
        }
        if (hover) SendMove(b, {5, 5}, Qt::NoButton);
        b->setDown(down);
        const QImage img = b->grab().toImage();
        for (int i = 0; i < probes.size(); ++i) {
            const QColor want = probes[i] == kFace ? face
                                : probes[i] == kBlack
                                    ? QColor(Qt::black)
                                    : b->palette().color(QPalette::ColorRole(probes[i]));
            QVERIFY2(img.pixel(kProbes[i]) == want.rgb(), qPrintable(QString::number(i)));
        }
    }

    void iconPlace_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("placement");
        QTest::addColumn<bool>("down");
        QTest::addColumn<QPoint>("at");
        QTest::newRow("alone, centred") << QString() << 0 << false << QPoint(28, 12);
        QTest::newRow("alone, pressed") << QString() << 0 << true << QPoint(29, 13);
        QTest::newRow("beside caption") << QStringLiteral("Open") << 0 << false << QPoint(3, 12);
        QTest::newRow("above caption")
            << QStringLiteral("Open") << int(CSkinButton::IconAbove) << false << QPoint(32, 0);
        QTest::newRow("not a placement: kept")
            << QStringLiteral("Open") << 2 << false << QPoint(3, 12);
    }
    void iconPlace() {
        QFETCH(QString, caption);
        QFETCH(int, placement);
        QFETCH(bool, down);
        QFETCH(QPoint, at);
        CSkinButton b(caption);
        b.resize(caption.isEmpty() ? 72 : 80, 40);
        b.SetIcons(IDI_BROWSE, 0);
        b.SetIconPlacement(placement);
        b.setDown(down);
        b.SetHoverBorder(false);
        QVERIFY(IconAt(b.grab().toImage(), at));
    }

    void captionPixels() {
        CSkinButton plain(QStringLiteral("go")), mnemonic(QStringLiteral("&go"));
        for (CSkinButton* b : {&plain, &mnemonic}) b->resize(60, 30);
        // '&' is not drawn but underlines the next letter.
        const auto [first, black] = Ink(plain.grab().toImage(), kNormalBk, Qt::black);
        const auto [mFirst, mBlack] = Ink(mnemonic.grab().toImage(), kNormalBk, Qt::black);
        QCOMPARE(mFirst, first);
        QVERIFY(mBlack > black);
        plain.SetHoverBorder(false);
        plain.setDown(true);
        QCOMPARE(Ink(plain.grab().toImage(), kActiveBk, Qt::black).first, first + 1);
        // Disabled: embossed in light and dark on the normal face, even hovered.
        plain.setDown(false);
        plain.setEnabled(false);
        SendMove(&plain, {5, 5}, Qt::NoButton);
        const QImage img = plain.grab().toImage();
        QCOMPARE(img.pixel(0, 0), kNormalBk.rgb());
        for (const auto role : {QPalette::Light, QPalette::Dark})
            QVERIFY(Ink(img, kNormalBk, plain.palette().color(role)).second > 0);
        QCOMPARE(Ink(img, kNormalBk, Qt::black).second, 0);
    }

    void seeThroughFaceShowsTheParent() {
        QWidget parent;
        parent.resize(100, 60);
        parent.setStyleSheet(QStringLiteral("background: rgb(20, 120, 40)"));
        auto* b = new CSkinButton(&parent);
        b->setGeometry(30, 10, 40, 30);
        b->SetTransparentLook();
        QCOMPARE(b->grab().toImage().pixel(10, 10), QColor(20, 120, 40).rgb());
    }

    void hoverFollowsThePointerAndTipNeedsText() {
        QWidget window;
        auto* b = new CSkinButton(QStringLiteral("ok"), &window);
        b->setGeometry(10, 10, 60, 30);
        QSignalSpy clicks(b, &QPushButton::clicked);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        SendMove(b, {5, 5}, Qt::LeftButton);  // dragged in from elsewhere
        QVERIFY(!b->IsHovered());
        SendMove(b, {5, 5}, Qt::NoButton);
        QVERIFY(b->IsHovered());
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(b, &leave);
        QVERIFY(!b->IsHovered());
        // Held down and moved off: the look goes, the press stays with the button.
        SendMove(b, {5, 5}, Qt::NoButton);
        QTest::mousePress(b, Qt::LeftButton, {}, {5, 5});
        SendMove(b, {80, 5}, Qt::LeftButton);
        QVERIFY(!b->IsHovered() && !b->isDown());
        // Back over it, still held: pressed again; hover only after the release.
        SendMove(b, {6, 6}, Qt::LeftButton);
        QVERIFY(!b->IsHovered() && b->isDown());
        QTest::mouseRelease(b, Qt::LeftButton, {}, {6, 6});
        QCOMPARE(clicks.count(), 1);
        SendMove(b, {6, 6}, Qt::NoButton);
        QVERIFY(b->IsHovered());
        QFocusEvent focusOut(QEvent::FocusOut);
        QApplication::sendEvent(b, &focusOut);
        QVERIFY(!b->IsHovered());
        b->SetFlatLook(false);  // the 3-D look does not track
        SendMove(b, {5, 5}, Qt::NoButton);
        QVERIFY(!b->IsHovered());
        // A double click is a second press.
        QTest::mouseClick(b, Qt::LeftButton, {}, {5, 5});
        QTest::mouseDClick(b, Qt::LeftButton, {}, {5, 5});
        QVERIFY(b->isDown());
        QTest::mouseRelease(b, Qt::LeftButton, {}, {5, 5});
        QCOMPARE(clicks.count(), 3);
        // A tip shows only while active; an empty one is ignored.
        b->SetTipText(QStringLiteral("choose lists"), false);
        QVERIFY(b->toolTip().isEmpty());
        b->ActivateTip(true);
        b->SetTipText(QString(), true);
        QCOMPARE(b->toolTip(), QStringLiteral("choose lists"));
    }
};

QTEST_MAIN(SkinButtonTest)
#include "tst_SkinButton.moc"
