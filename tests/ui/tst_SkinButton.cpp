// The skinned button's pixels and behaviour: face and border colours by
// state, the icon's place (centred, beside or above a caption, shifted while
// pressed), captions (mnemonic, disabled, pressed), the 3-D look with its
// focus dots, the see-through face, hover tracking, double click, tool tip.
#include <QSignalSpy>
#include <QTest>

#include "CSkinButton.h"
#include "ResourceIcons.h"

namespace {
const QColor kNormalBk(176, 184, 192);
const QColor kActiveBk(208, 216, 224);

void SendMove(QWidget* target, QPoint at, Qt::MouseButtons buttons) {
    QMouseEvent event(QEvent::MouseMove, at, target->mapToGlobal(at), Qt::NoButton, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

QRgb Role(const QWidget& w, QPalette::ColorRole role) {
    return w.palette().color(QPalette::Active, role).rgb();
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

// The first and last columns holding any pixel but the face, and the count of `ink` pixels.
std::tuple<int, int, int> Ink(const QImage& image, const QColor& face, const QColor& ink) {
    int first = image.width(), last = -1, count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            count += image.pixel(x, y) == ink.rgb();
            if (image.pixel(x, y) == face.rgb()) continue;
            first = std::min(first, x);
            last = std::max(last, x);
        }
    return {first, last, count};
}
}  // namespace

class SkinButtonTest : public QObject {
    Q_OBJECT

private slots:
    void faceAndBorderByState_data() {
        QTest::addColumn<bool>("hover");
        QTest::addColumn<bool>("down");
        QTest::addColumn<bool>("border");
        QTest::addColumn<QColor>("face");
        QTest::addColumn<int>("topLeft");  // a palette role, or -1 for the face
        QTest::addColumn<int>("bottomRight");
        QTest::newRow("rest") << false << false << true << kNormalBk << -1 << -1;
        QTest::newRow("hover: raised")
            << true << false << true << kActiveBk << int(QPalette::Light) << int(QPalette::Dark);
        QTest::newRow("pressed: sunken")
            << true << true << true << kActiveBk << int(QPalette::Dark) << int(QPalette::Light);
        QTest::newRow("pressed, no hover")
            << false << true << true << kActiveBk << int(QPalette::Dark) << int(QPalette::Light);
        QTest::newRow("hover, no border") << true << false << false << kActiveBk << -1 << -1;
    }
    void faceAndBorderByState() {
        QFETCH(bool, hover);
        QFETCH(bool, down);
        QFETCH(bool, border);
        QFETCH(QColor, face);
        QFETCH(int, topLeft);
        QFETCH(int, bottomRight);
        CSkinButton b;
        b.resize(27, 20);
        b.SetIcons(IDI_BROWSE, IDI_BROWSE);
        b.SetHoverBorder(border);
        if (hover) SendMove(&b, {5, 5}, Qt::NoButton);
        b.setDown(down);
        const QImage img = b.grab().toImage();
        const auto colour = [&](int role) {
            return role < 0 ? face.rgb() : Role(b, QPalette::ColorRole(role));
        };
        QCOMPARE(img.pixel(1, 1), face.rgb());
        for (const QPoint at : {QPoint(0, 5), QPoint(5, 0), QPoint(26, 0)})
            QCOMPARE(img.pixel(at), colour(topLeft));
        for (const QPoint at : {QPoint(26, 5), QPoint(5, 19), QPoint(0, 19)})
            QCOMPARE(img.pixel(at), colour(bottomRight));
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
        QVERIFY(LoadResourceIcon(IDI_MAIN).availableSizes().contains(QSize(32, 32)));
    }

    void captionPixels() {
        CSkinButton plain(QStringLiteral("go")), mnemonic(QStringLiteral("&go")),
            go(QStringLiteral("go !"));
        for (CSkinButton* b : {&plain, &mnemonic, &go}) b->resize(60, 30);
        // '&' is not drawn but underlines the next letter.
        const auto [first, last, black] = Ink(plain.grab().toImage(), kNormalBk, Qt::black);
        const auto [mFirst, mLast, mBlack] = Ink(mnemonic.grab().toImage(), kNormalBk, Qt::black);
        QCOMPARE(std::pair(mFirst, mLast), std::pair(first, last));
        QVERIFY(mBlack > black);
        plain.SetHoverBorder(false);
        plain.setDown(true);
        QCOMPARE(std::get<0>(Ink(plain.grab().toImage(), kActiveBk, Qt::black)), first + 1);
        // Disabled: embossed in light and dark on the normal face, even hovered.
        go.setEnabled(false);
        SendMove(&go, {5, 5}, Qt::NoButton);
        const QImage img = go.grab().toImage();
        QCOMPARE(img.pixel(0, 0), kNormalBk.rgb());
        QVERIFY(std::get<2>(Ink(img, kNormalBk, Role(go, QPalette::Light))) > 0);
        QVERIFY(std::get<2>(Ink(img, kNormalBk, Role(go, QPalette::Dark))) > 0);
        QCOMPARE(std::get<2>(Ink(img, kNormalBk, go.GetColour(CSkinButton::ColourNormalText))), 0);
    }

    void threeDLookBordersAndFocus() {
        QWidget window;
        auto* b = new CSkinButton(QStringLiteral("x"), &window);
        b->setGeometry(0, 0, 40, 24);
        b->SetFlatLook(false);
        const QImage rest = b->grab().toImage();
        QCOMPARE(rest.pixel(0, 5), Role(*b, QPalette::Light));
        QCOMPARE(rest.pixel(1, 5), Role(*b, QPalette::Midlight));
        QCOMPARE(rest.pixel(39, 5), Role(*b, QPalette::Shadow));
        QCOMPARE(rest.pixel(38, 5), Role(*b, QPalette::Dark));
        b->setDown(true);
        QCOMPARE(b->grab().toImage().pixel(0, 5), Role(*b, QPalette::Dark));
        b->setDown(false);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        b->setFocus();
        QTRY_VERIFY(b->hasFocus());
        const QImage focused = b->grab().toImage();
        QCOMPARE(focused.pixel(0, 5), QColor(Qt::black).rgb());  // outer frame
        QCOMPARE(focused.pixel(4, 4), QColor(Qt::black).rgb());  // focus dots
        QCOMPARE(focused.pixel(5, 4), kNormalBk.rgb());
        b->SetFlatLook(true);
        QCOMPARE(b->grab().toImage().pixel(4, 4), kNormalBk.rgb());  // flat: none
        b->SetFocusRectWhenFlat(true, true);
        QCOMPARE(b->grab().toImage().pixel(3, 3), QColor(Qt::black).rgb());
    }

    void seeThroughFaceAndColourSlots() {
        QWidget parent;
        parent.resize(100, 60);
        parent.setStyleSheet(QStringLiteral("background: rgb(20, 120, 40)"));
        auto* b = new CSkinButton(&parent);
        b->setGeometry(30, 10, 40, 30);
        b->SetColour(CSkinButton::ColourNormalBackground, QColor(10, 20, 30), true);
        QCOMPARE(b->grab().toImage().pixel(10, 10), QColor(10, 20, 30).rgb());
        b->ResetColour(CSkinButton::ColourNormalBackground, true);
        QCOMPARE(b->grab().toImage().pixel(10, 10), kNormalBk.rgb());
        b->SetTransparentLook();
        QCOMPARE(b->grab().toImage().pixel(10, 10), QColor(20, 120, 40).rgb());
    }

    void hoverFollowsThePointer() {
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
    }

    void toolTipOnlyOnceGivenAndActive() {
        CSkinButton b;
        b.ActivateTip(true);
        b.SetTipText(QString(), true);
        QVERIFY(b.toolTip().isEmpty());
        b.SetTipText(QStringLiteral("choose lists"), false);
        QVERIFY(b.toolTip().isEmpty());
        b.ActivateTip(true);
        QCOMPARE(b.toolTip(), QStringLiteral("choose lists"));
    }
};

QTEST_MAIN(SkinButtonTest)
#include "tst_SkinButton.moc"
