// The skinned dialog base on real widgets: when the snap candidates are
// refreshed and from what, the colours it paints and hands to its controls,
// dragging by the background, snapping after a move it did not make, topmost.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <ctime>
#include <vector>

#include "CVelDialog.h"
#include "FakeDesktop.h"

namespace {

// Opens the handler for the tests; the window system would call it.
class TestDialog : public CVelDialog {
public:
    using CVelDialog::OnWindowPosChanging;
};

std::vector<int> Entries(const SnapEdgeList& list) {
    return {list.begin(), list.end()};
}

// Sends a mouse event with an explicit screen position, as the pointer moves
// in screen space while the window moves under it.
void SendMouse(QWidget* target, QEvent::Type type, QPoint global, Qt::MouseButtons buttons) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, target->mapFromGlobal(global), global, button, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

QColor PixelAt(QWidget& widget, QPoint at) {
    return widget.grab().toImage().pixelColor(at);
}

bool ImageHasColour(const QImage& image, const QColor& colour) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) == colour) {
                return true;
            }
        }
    }
    return false;
}

const QColor kDialogBk(176, 184, 192);

}  // namespace

class VelDialogTest : public QObject {
    Q_OBJECT

    FakeDesktopState m_desktop;
    std::time_t m_now = 1000;

    void Attach(CVelDialog& dialog) {
        dialog.SetDesktop(std::make_unique<FakeDesktop>(m_desktop));
        dialog.SetCalendarClock([this] { return m_now; });
    }

private slots:
    void init() {
        m_desktop = FakeDesktopState{};
        m_now = 1000;
    }

    void refreshCollectsWorkAreaThenWindowsNewestFirst() {
        TestDialog dialog;
        Attach(dialog);
        m_desktop.workArea = QRect(10, 20, 1000, 700);
        m_desktop.windows = {{1, QRect(100, 200, 50, 60), true},
                             {2, QRect(400, 300, 10, 10), false},
                             {3, QRect(600, 50, 100, 40), true}};
        QRect placement(500, 500, 300, 200);
        dialog.OnWindowPosChanging(placement);
        const SnapEdges& e = dialog.SnapCandidates();
        QCOMPARE(Entries(e.m_snapLeft), (std::vector<int>{700, 150, 10}));
        QCOMPARE(Entries(e.m_snapRight), (std::vector<int>{600, 100, 1010}));
        QCOMPARE(Entries(e.m_snapTop), (std::vector<int>{90, 260, 20}));
        QCOMPARE(Entries(e.m_snapBottom), (std::vector<int>{50, 200, 720}));
        QCOMPARE(dialog.LastEdgeScan(), m_now);
    }

    void ownWindowOffersNoEdges() {
        TestDialog dialog;
        Attach(dialog);
        m_desktop.windows = {{dialog.winId(), QRect(300, 300, 300, 200), true}};
        QRect placement(620, 320, 300, 200);  // 20 right of our own right edge
        dialog.SetSnapDistance(30);
        dialog.OnWindowPosChanging(placement);
        QCOMPARE(Entries(dialog.SnapCandidates().m_snapLeft), (std::vector<int>{0}));
        QCOMPARE(placement.topLeft(), QPoint(620, 320));
        // Another window's edge beats the work area's at the same distance.
        m_desktop.windows = {{7, QRect(-200, 400, 250, 100), true}};  // right edge at 50
        m_now += 4;
        placement = QRect(25, 100, 300, 200);
        dialog.OnWindowPosChanging(placement);
        QCOMPARE(placement, QRect(50, 100, 300, 200));
    }

    void snappingOffStillRefreshes() {
        TestDialog dialog;
        Attach(dialog);
        m_desktop.windows = {{7, QRect(700, 0, 100, 100), true}};
        QRect placement(25, 25, 300, 200);
        dialog.OnWindowPosChanging(placement);
        QCOMPARE(placement.topLeft(), QPoint(25, 25));
        QCOMPARE(m_desktop.windowQueries, 1);
        // Turned on within the same second, the cache from the earlier
        // refresh is used: the window that has gone meanwhile still counts.
        m_desktop.windows.clear();
        dialog.SetSnapDistance(30);
        placement.moveTopLeft({380, 25});  // right edge 20 short of 700
        dialog.OnWindowPosChanging(placement);
        QCOMPARE(placement.topLeft(), QPoint(400, 0));
        QCOMPARE(m_desktop.windowQueries, 1);
    }

    void newWindowCountsOnlyAfterMoreThanThreeSeconds() {
        TestDialog dialog;
        Attach(dialog);
        dialog.SetSnapDistance(30);
        QRect placement(500, 500, 300, 200);
        dialog.OnWindowPosChanging(placement);
        m_desktop.windows = {{9, QRect(100, 100, 380, 100), true}};  // right edge at 480
        m_now += 3;
        placement.moveTopLeft({490, 500});
        dialog.OnWindowPosChanging(placement);
        QCOMPARE(placement.x(), 490);
        QCOMPARE(dialog.LastEdgeScan(), std::time_t{1000});
        m_now += 1;
        dialog.OnWindowPosChanging(placement);
        QCOMPARE(placement.x(), 480);
        QCOMPARE(dialog.LastEdgeScan(), std::time_t{1004});
    }

    void addSnapEdgeIgnoresUnknownEdges() {
        TestDialog dialog;
        dialog.AddSnapEdge(5, CVelDialog::SnapTop);
        dialog.AddSnapEdge(6, CVelDialog::SnapTop);
        dialog.AddSnapEdge(7, 4);
        QCOMPARE(Entries(dialog.SnapCandidates().m_snapTop), (std::vector<int>{6, 5}));
        QVERIFY(dialog.SnapCandidates().m_snapLeft.empty());
    }

    void paintsBackgroundAndControlColours() {
        CVelDialog dialog;
        dialog.resize(300, 200);
        auto* label = new QLabel(QStringLiteral("IIIIIIII"), &dialog);
        QFont bold = label->font();
        bold.setPixelSize(30);
        bold.setBold(true);
        label->setFont(bold);
        label->setGeometry(10, 10, 200, 40);
        auto* edit = new QLineEdit(&dialog);
        edit->setGeometry(10, 100, 120, 30);
        const QColor plainBk = PixelAt(dialog, {250, 180});
        QVERIFY(plainBk != kDialogBk);

        dialog.SetBackgroundColor(kDialogBk);
        dialog.SetTextColor(QColor(150, 0, 40));
        QCOMPARE(PixelAt(dialog, {250, 180}), kDialogBk);
        const QImage labelPixels = label->grab().toImage();
        QVERIFY(ImageHasColour(labelPixels, QColor(150, 0, 40)));
        QVERIFY(ImageHasColour(labelPixels, kDialogBk));
        QCOMPARE(PixelAt(*edit, {60, 15}), kDialogBk);  // the edit box's own field
    }

    void transparentControlsShowTheBitmapBehindThem() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bk.png"));
        QImage red(150, 150, QImage::Format_RGB32);
        red.fill(QColor(200, 30, 30));
        QVERIFY(red.save(path));

        CVelDialog dialog;
        dialog.resize(300, 200);
        auto* plain = new QLineEdit(&dialog);
        plain->setGeometry(10, 10, 120, 30);
        auto* seeThrough = new QLineEdit(&dialog);
        seeThrough->setGeometry(10, 60, 120, 30);
        dialog.AddTransparentControl(seeThrough);
        dialog.SetBackgroundBitmap(path);
        // The bitmap waits for the colours to be turned on.
        QVERIFY(PixelAt(dialog, {5, 5}) != QColor(200, 30, 30));

        dialog.SetBackgroundColor(kDialogBk);
        QCOMPARE(PixelAt(dialog, {5, 5}), QColor(200, 30, 30));
        QCOMPARE(PixelAt(dialog, {250, 100}), kDialogBk);  // beyond the unscaled bitmap
        QCOMPARE(PixelAt(dialog, {60, 25}), kDialogBk);
        QCOMPARE(PixelAt(dialog, {60, 75}), QColor(200, 30, 30));
        dialog.SetBackgroundBitmap(QStringLiteral(":/no/such/bitmap.png"));
        QCOMPARE(PixelAt(dialog, {5, 5}), kDialogBk);  // unloadable: the colour
    }

    void dragByBackgroundSnapsAndButtonsStillClick() {
        CVelDialog dialog;
        Attach(dialog);
        dialog.SetSnapDistance(30);
        dialog.setGeometry(200, 150, 300, 200);
        auto* label = new QLabel(QStringLiteral("status"), &dialog);
        label->setGeometry(10, 150, 100, 20);
        auto* button = new QPushButton(QStringLiteral("go !"), &dialog);
        button->setGeometry(200, 10, 60, 30);
        auto* check = new QCheckBox(QStringLiteral("option"), &dialog);
        check->setGeometry(10, 10, 100, 20);
        QSignalSpy clicks(button, &QPushButton::clicked);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QPoint origin = dialog.pos();
        const QPoint grip = label->mapToGlobal(QPoint(5, 5));
        // Dragging off: a press and move leave the window where it is.
        SendMouse(label, QEvent::MouseButtonPress, grip, Qt::LeftButton);
        SendMouse(&dialog, QEvent::MouseMove, grip + QPoint(-60, 30), Qt::LeftButton);
        SendMouse(&dialog, QEvent::MouseButtonRelease, grip, Qt::NoButton);
        QTest::qWait(50);
        QCOMPARE(dialog.pos(), origin);

        // Pressed on the label; the press reaches the dialog, which drags.
        dialog.SetDragAnywhere(true);
        SendMouse(label, QEvent::MouseButtonPress, grip, Qt::LeftButton);
        SendMouse(&dialog, QEvent::MouseMove, grip + QPoint(-100, 40), Qt::LeftButton);
        QTRY_COMPARE(dialog.pos(), origin + QPoint(-100, 40));
        SendMouse(&dialog, QEvent::MouseMove, grip - QPoint(origin.x() - 25, 0), Qt::LeftButton);
        QTRY_COMPARE(dialog.pos(), QPoint(0, origin.y()));  // 25 from the work area: snapped
        SendMouse(&dialog, QEvent::MouseMove, grip - QPoint(origin.x() - 31, 0), Qt::LeftButton);
        QTRY_COMPARE(dialog.pos(), QPoint(31, origin.y()));
        SendMouse(&dialog, QEvent::MouseButtonRelease, grip, Qt::NoButton);
        const QPoint dropped = dialog.pos();

        QTest::mouseClick(button, Qt::LeftButton);
        QTest::mouseClick(check, Qt::LeftButton);
        QCOMPARE(clicks.count(), 1);
        QVERIFY(check->isChecked());
        QCOMPARE(dialog.pos(), dropped);

        // A move after the release no longer drags.
        SendMouse(&dialog, QEvent::MouseMove, grip + QPoint(50, 50), Qt::NoButton);
        QTest::qWait(50);
        QCOMPARE(dialog.pos(), dropped);
    }

    void moveMadeElsewhereSnapsOnceSettledAndButtonUp() {
        CVelDialog dialog;
        Attach(dialog);
        dialog.SetSnapDistance(30);
        dialog.setGeometry(200, 150, 300, 200);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        m_desktop.buttonDown = true;  // the window manager is still dragging
        dialog.move(20, 150);
        QTest::qWait(600);
        QCOMPARE(dialog.pos(), QPoint(20, 150));
        m_desktop.buttonDown = false;
        QTRY_COMPARE(dialog.pos(), QPoint(0, 150));
    }

    void topmostKeepsPlaceAndSize() {
        CVelDialog dialog;
        Attach(dialog);
        dialog.setGeometry(220, 130, 300, 200);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.SetTopmost(true);
        QVERIFY(dialog.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(dialog.isVisible());
        QTRY_COMPARE(dialog.geometry(), QRect(220, 130, 300, 200));
        dialog.SetTopmost(false);
        QVERIFY(!dialog.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QTRY_COMPARE(dialog.geometry(), QRect(220, 130, 300, 200));
    }
};

QTEST_MAIN(VelDialogTest)
#include "tst_VelDialog.moc"
