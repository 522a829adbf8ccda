// The skinned button's pixels and behaviour: face colours by state, where the
// raised and sunken lines fall, the icon centred and shifted while pressed,
// captions (mnemonic, disabled), focus rectangle, see-through face, hover
// tracking, double click, tool tip and colour slots.
#include <QSignalSpy>
#include <QTest>

#include "CSkinButton.h"
#include "ResourceIcons.h"

namespace {

const QColor kNormalBk(176, 184, 192);
const QColor kActiveBk(208, 216, 224);

void SendMove(QWidget* target, QPoint local, Qt::MouseButtons buttons) {
    QMouseEvent event(QEvent::MouseMove, local, target->mapToGlobal(local), Qt::NoButton, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

void SendEvent(QWidget* target, QEvent::Type type) {
    QEvent event(type);
    QApplication::sendEvent(target, &event);
}

QColor Role(const QWidget& w, QPalette::ColorRole role) {
    return w.palette().color(QPalette::Active, role);
}

// Whether every opaque pixel of `icon` appears in `image` at `at`.
bool IconAt(const QImage& image, const QImage& icon, QPoint at) {
    for (int y = 0; y < icon.height(); ++y) {
        for (int x = 0; x < icon.width(); ++x) {
            const QColor c = icon.pixelColor(x, y);
            if (c.alpha() == 255 && image.pixel(at + QPoint(x, y)) != c.rgb()) {
                return false;
            }
        }
    }
    return true;
}

// Columns that hold any pixel other than the face colour.
std::pair<int, int> InkColumns(const QImage& image, const QColor& face) {
    int first = image.width(), last = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != face.rgb()) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
        }
    }
    return {first, last};
}

int CountColour(const QImage& image, const QColor& colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            n += image.pixel(x, y) == colour.rgb() ? 1 : 0;
        }
    }
    return n;
}

}  // namespace

class SkinButtonTest : public QObject {
    Q_OBJECT

    // A browse button as the main dialog sets it up: no caption, one icon.
    std::unique_ptr<CSkinButton> BrowseButton() {
        auto button = std::make_unique<CSkinButton>();
        button->resize(27, 20);
        button->SetIcons(IDI_BROWSE, IDI_BROWSE);
        return button;
    }

private slots:
    void initTestCase() {
        CSkinButton probe;
        // The border checks need the four edge colours apart from the faces.
        for (const auto role : {QPalette::Light, QPalette::Midlight, QPalette::Dark}) {
            QVERIFY(Role(probe, role) != kNormalBk && Role(probe, role) != kActiveBk);
        }
        QVERIFY(Role(probe, QPalette::Light) != Role(probe, QPalette::Dark));
    }

    void flatFaceAndBorderByState() {
        auto b = BrowseButton();
        const int r = b->width() - 1, bt = b->height() - 1;
        const QColor light = Role(*b, QPalette::Light), dark = Role(*b, QPalette::Dark);

        QImage img = b->grab().toImage();
        QCOMPARE(img.pixel(1, 1), QColor(kNormalBk).rgb());
        QCOMPARE(img.pixel(0, 0), QColor(kNormalBk).rgb());  // no border at rest
        QCOMPARE(img.pixel(r, bt), QColor(kNormalBk).rgb());

        SendMove(b.get(), {5, 5}, Qt::NoButton);
        QVERIFY(b->IsHovered());
        img = b->grab().toImage();
        QCOMPARE(img.pixel(1, 1), QColor(kActiveBk).rgb());
        QCOMPARE(img.pixel(0, 5), QColor(light).rgb());  // raised: light top and left
        QCOMPARE(img.pixel(5, 0), QColor(light).rgb());
        QCOMPARE(img.pixel(r, 0), QColor(light).rgb());
        QCOMPARE(img.pixel(r, 5), QColor(dark).rgb());  // dark bottom and right
        QCOMPARE(img.pixel(5, bt), QColor(dark).rgb());
        QCOMPARE(img.pixel(0, bt), QColor(dark).rgb());

        b->setDown(true);
        img = b->grab().toImage();
        QCOMPARE(img.pixel(1, 1), QColor(kActiveBk).rgb());
        QCOMPARE(img.pixel(0, 5), QColor(dark).rgb());  // sunken: the other way round
        QCOMPARE(img.pixel(5, 0), QColor(dark).rgb());
        QCOMPARE(img.pixel(r, 0), QColor(dark).rgb());
        QCOMPARE(img.pixel(r, 5), QColor(light).rgb());
        QCOMPARE(img.pixel(5, bt), QColor(light).rgb());
        QCOMPARE(img.pixel(0, bt), QColor(light).rgb());

        b->SetHoverBorder(false);
        b->update();
        QCOMPARE(b->grab().toImage().pixel(0, 5), QColor(kActiveBk).rgb());
    }

    void pressedWithoutHoverIsActiveToo() {
        auto b = BrowseButton();
        b->setDown(true);
        QCOMPARE(b->grab().toImage().pixel(1, 1), QColor(kActiveBk).rgb());
    }

    void iconCentredAndShiftedWhenPressed() {
        auto b = BrowseButton();
        const QImage icon = LoadResourceIcon(IDI_BROWSE).pixmap(16, 16).toImage();
        QCOMPARE(icon.size(), QSize(16, 16));
        const QPoint centred((27 - 16) / 2, (20 - 16) / 2);
        QVERIFY(IconAt(b->grab().toImage(), icon, centred));
        b->setDown(true);
        const QImage pressed = b->grab().toImage();
        QVERIFY(IconAt(pressed, icon, centred + QPoint(1, 1)));
        QVERIFY(!IconAt(pressed, icon, centred));
    }

    void iconBesideOrAboveACaption() {
        CSkinButton b(QStringLiteral("Open"));
        b.resize(80, 40);
        b.SetIcons(IDI_BROWSE, 0);
        const QImage icon = LoadResourceIcon(IDI_BROWSE).pixmap(16, 16).toImage();
        QVERIFY(IconAt(b.grab().toImage(), icon, {3, (40 - 16) / 2}));
        b.SetIconPlacement(CSkinButton::IconAbove);
        QVERIFY(IconAt(b.grab().toImage(), icon, {(80 - 16) / 2, 0}));
        b.SetIconPlacement(2);  // not a placement: kept
        QCOMPARE(b.GetIconPlacement(), int(CSkinButton::IconAbove));
        b.SetShowText(false);  // no caption: centred both ways
        QVERIFY(IconAt(b.grab().toImage(), icon, {(80 - 16) / 2, (40 - 16) / 2}));
    }

    void disabledCaptionIsEmbossedOnTheNormalFace() {
        CSkinButton go(QStringLiteral("go !"));
        go.resize(33, 42);
        go.setEnabled(false);
        SendMove(&go, {5, 5}, Qt::NoButton);
        const QImage img = go.grab().toImage();
        QCOMPARE(img.pixel(0, 0), QColor(kNormalBk).rgb());
        QCOMPARE(img.pixel(32, 41), QColor(kNormalBk).rgb());
        QVERIFY(CountColour(img, Role(go, QPalette::Light)) > 0);
        QVERIFY(CountColour(img, Role(go, QPalette::Dark)) > 0);
        QCOMPARE(CountColour(img, go.GetColour(CSkinButton::ColourNormalText)), 0);
    }

    void ampersandUnderlinesInsteadOfShowing() {
        CSkinButton plain(QStringLiteral("go"));
        CSkinButton mnemonic(QStringLiteral("&go"));
        plain.resize(60, 30);
        mnemonic.resize(60, 30);
        const QImage a = plain.grab().toImage(), b = mnemonic.grab().toImage();
        QCOMPARE(InkColumns(b, kNormalBk), InkColumns(a, kNormalBk));    // no '&' drawn
        QVERIFY(CountColour(b, Qt::black) > CountColour(a, Qt::black));  // the underline
    }

    void captionShiftsWhenPressed() {
        CSkinButton b(QStringLiteral("go"));
        b.resize(60, 30);
        b.SetHoverBorder(false);
        const auto rest = InkColumns(b.grab().toImage(), kNormalBk);
        b.setDown(true);
        const auto down = InkColumns(b.grab().toImage(), kActiveBk);
        QCOMPARE(down.first, rest.first + 1);
    }

    void threeDLookBordersAndFocus() {
        QWidget window;
        auto* b = new CSkinButton(QStringLiteral("x"), &window);
        b->setGeometry(0, 0, 40, 24);
        b->SetFlatLook(false);
        const QImage rest = b->grab().toImage();
        QCOMPARE(rest.pixel(0, 5), QColor(Role(*b, QPalette::Light)).rgb());
        QCOMPARE(rest.pixel(1, 5), QColor(Role(*b, QPalette::Midlight)).rgb());
        QCOMPARE(rest.pixel(39, 5), QColor(Role(*b, QPalette::Shadow)).rgb());
        QCOMPARE(rest.pixel(38, 5), QColor(Role(*b, QPalette::Dark)).rgb());
        QCOMPARE(rest.pixel(5, 23), QColor(Role(*b, QPalette::Shadow)).rgb());
        b->setDown(true);
        const QImage down = b->grab().toImage();
        QCOMPARE(down.pixel(0, 5), QColor(Role(*b, QPalette::Dark)).rgb());
        QCOMPARE(down.pixel(39, 5), QColor(Role(*b, QPalette::Dark)).rgb());
        b->setDown(false);

        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        b->setFocus();
        QTRY_VERIFY(b->hasFocus());
        const QImage focused = b->grab().toImage();
        QCOMPARE(focused.pixel(0, 5), QColor(QColor(Qt::black)).rgb());  // outer frame
        QCOMPARE(focused.pixel(4, 4), QColor(QColor(Qt::black)).rgb());  // focus dots on B - 3
        QCOMPARE(focused.pixel(5, 4), QColor(kNormalBk).rgb());
        b->SetFlatLook(true);
        QCOMPARE(b->grab().toImage().pixel(4, 4), QColor(kNormalBk).rgb());  // flat: none
        b->SetFocusRectWhenFlat(true, true);
        QCOMPARE(b->grab().toImage().pixel(3, 3), QColor(QColor(Qt::black)).rgb());
    }

    void seeThroughFaceShowsTheParent() {
        QWidget parent;
        parent.resize(100, 60);
        QPalette pal = parent.palette();
        pal.setColor(QPalette::Window, QColor(20, 120, 40));
        parent.setPalette(pal);
        parent.setAutoFillBackground(true);
        auto* b = new CSkinButton(&parent);
        b->setGeometry(30, 10, 40, 30);
        b->SetTransparentLook();
        QCOMPARE(b->grab().toImage().pixel(10, 10), QColor(QColor(20, 120, 40)).rgb());
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
        SendEvent(b, QEvent::Leave);
        QVERIFY(!b->IsHovered());

        // Held down and moved off: the look goes, the press stays with the button.
        SendMove(b, {5, 5}, Qt::NoButton);
        QTest::mousePress(b, Qt::LeftButton, {}, {5, 5});
        SendMove(b, {80, 5}, Qt::LeftButton);
        QVERIFY(!b->IsHovered());
        QVERIFY(!b->isDown());
        // Back over it, still held: pressed again, but hover only comes back
        // with a move after the release.
        SendMove(b, {6, 6}, Qt::LeftButton);
        QVERIFY(!b->IsHovered());
        QVERIFY(b->isDown());
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
    }

    void doubleClickIsASecondPress() {
        CSkinButton b(QStringLiteral("go"));
        b.resize(60, 30);
        QSignalSpy clicks(&b, &QPushButton::clicked);
        QTest::mouseClick(&b, Qt::LeftButton, {}, {5, 5});
        QTest::mouseDClick(&b, Qt::LeftButton, {}, {5, 5});
        QVERIFY(b.isDown());
        QTest::mouseRelease(&b, Qt::LeftButton, {}, {5, 5});
        QCOMPARE(clicks.count(), 2);
    }

    void toolTipOnlyOnceGiven() {
        CSkinButton b;
        QVERIFY(b.toolTip().isEmpty());
        b.ActivateTip(true);
        QVERIFY(b.toolTip().isEmpty());
        b.SetTipText(QString(), true);
        QVERIFY(b.toolTip().isEmpty());
        b.SetTipText(QStringLiteral("choose lists"), false);
        QVERIFY(b.toolTip().isEmpty());
        b.ActivateTip(true);
        QCOMPARE(b.toolTip(), QStringLiteral("choose lists"));
    }

    void colourSlotsPaintAndReset() {
        auto b = BrowseButton();
        b->SetColour(CSkinButton::ColourNormalBackground, QColor(10, 20, 30), true);
        QCOMPARE(b->grab().toImage().pixel(1, 1), QColor(QColor(10, 20, 30)).rgb());
        b->ResetColour(CSkinButton::ColourNormalBackground, true);
        QCOMPARE(b->grab().toImage().pixel(1, 1), QColor(kNormalBk).rgb());
        b->SetColour(CSkinButton::ColourActiveText, Qt::red, false);
        b->ResetColour(CSkinButton::ColourActiveText, false);
        QCOMPARE(b->GetColour(CSkinButton::ColourActiveText), Role(*b, QPalette::ButtonText));
        b->SetColour(7, Qt::red, true);
        QVERIFY(!b->GetColour(7).isValid());
    }

    void hoverCursor() {
        QWidget parent;
        CSkinButton b(&parent);
        QVERIFY(b.SetHoverCursor(Qt::PointingHandCursor));
        QCOMPARE(b.cursor().shape(), Qt::PointingHandCursor);
        QVERIFY(b.SetHoverCursor(-1));
        QVERIFY(!b.testAttribute(Qt::WA_SetCursor));
        QVERIFY(!b.SetHoverCursor(500));
        QVERIFY(!b.testAttribute(Qt::WA_SetCursor));
    }

    void mainIconComesInTwoSizes() {
        const QList<QSize> sizes = LoadResourceIcon(IDI_MAIN).availableSizes();
        QVERIFY(sizes.contains(QSize(32, 32)));
        QVERIFY(sizes.contains(QSize(16, 16)));
        QVERIFY(LoadResourceIcon(4242).isNull());
    }
};

QTEST_MAIN(SkinButtonTest)
#include "tst_SkinButton.moc"
