// The skinned dialog base on real widgets: when the snap candidates are
// refreshed and from what, dragging by the background with its snap, and
// snapping after a move it did not make.
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "CVelDialog.h"

namespace {
// A work area and window list that a test edits as it goes.
struct FakeDesktop : CDesktop {
    QRect workArea{0, 0, 1200, 900};
    std::vector<CDesktopWindow> windows;
    mutable int windowQueries = 0;
    bool buttonDown = false;
    QRect WorkArea() const override { return workArea; }
    std::vector<CDesktopWindow> TopLevelWindows() const override {
        ++windowQueries;
        return windows;
    }
    bool IsPrimaryButtonDown() const override { return buttonDown; }
};

// Opens the handler for the tests; the window system would call it.
class TestDialog : public CVelDialog {
public:
    using CVelDialog::OnWindowPosChanging;
    // A desktop and a clock the test steps.
    TestDialog() {
        SetDesktop(std::unique_ptr<CDesktop>(desktop));
        SetCalendarClock([this] { return now; });
    }
    FakeDesktop* const desktop = new FakeDesktop;  // owned by the dialog from construction
    std::time_t now = 1000;
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

}  // namespace

class VelDialogTest : public QObject {
    Q_OBJECT

private slots:
    void snapEdgesRefreshFromTheDesktopAtMostEveryThreeSeconds() {
        TestDialog dialog;
        FakeDesktop& desktop = *dialog.desktop;
        desktop.workArea = QRect(10, 20, 1000, 700);
        desktop.windows = {{dialog.winId(), QRect(300, 300, 300, 200), true},
                           {101, QRect(100, 200, 50, 60), true},
                           {102, QRect(400, 300, 10, 10), false},
                           {103, QRect(600, 50, 100, 40), true}};
        const auto snap = [&dialog](QPoint at) {
            QRect placement(at, QSize(300, 200));
            dialog.OnWindowPosChanging(placement);
            return placement.topLeft();
        };
        QCOMPARE(snap({25, 400}), QPoint(25, 400));  // snapping is off: refreshed, not moved
        dialog.AddSnapEdge(5, 4);                    // no such edge: ignored
        const SnapEdges& e = dialog.SnapCandidates();
        QCOMPARE(Entries(e.m_snapLeft), (std::vector<int>{700, 150, 10}));
        QCOMPARE(Entries(e.m_snapRight), (std::vector<int>{600, 100, 1010}));
        QCOMPARE(Entries(e.m_snapTop), (std::vector<int>{90, 260, 20}));
        QCOMPARE(Entries(e.m_snapBottom), (std::vector<int>{50, 200, 720}));
        // Within the same second the cache counts, though the windows have gone.
        desktop.windows = {{109, QRect(-200, 100, 250, 100), true}};  // right edge at 50
        dialog.SetSnapDistance(30);
        QCOMPARE(snap({680, 400}), QPoint(700, 400));
        // A new window counts only after more than three seconds; then it
        // beats the work area's edge at the same distance.
        dialog.now += 3;
        QCOMPARE(snap({30, 400}), QPoint(10, 400));
        QCOMPARE(desktop.windowQueries, 1);
        dialog.now += 1;
        QCOMPARE(snap({30, 400}), QPoint(50, 400));
        QCOMPARE(dialog.LastEdgeScan(), std::time_t{1004});
    }

    void dragByBackgroundSnapsAndButtonsStillClick() {
        TestDialog dialog;
        dialog.SetSnapDistance(30);
        dialog.setGeometry(200, 150, 300, 200);
        auto* label = new QLabel(QStringLiteral("status"), &dialog);
        label->setGeometry(10, 150, 100, 20);
        auto* button = new QPushButton(QStringLiteral("go !"), &dialog);
        button->setGeometry(200, 10, 60, 30);
        QSignalSpy clicks(button, &QPushButton::clicked);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QPoint origin = dialog.pos();
        const QPoint grip = label->mapToGlobal(QPoint(5, 5));
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
        QCOMPARE(clicks.count(), 1);
        // A move after the release no longer drags.
        SendMouse(&dialog, QEvent::MouseMove, grip + QPoint(50, 50), Qt::NoButton);
        QTest::qWait(50);
        QCOMPARE(dialog.pos(), dropped);
    }

    void moveMadeElsewhereSnapsOnceTheButtonIsUp() {
        TestDialog dialog;
        dialog.SetSnapDistance(30);
        dialog.setGeometry(200, 150, 300, 200);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.desktop->buttonDown = true;  // the window manager is still dragging
        dialog.move(20, 150);
        QTest::qWait(600);
        QCOMPARE(dialog.pos(), QPoint(20, 150));
        dialog.desktop->buttonDown = false;
        QTRY_COMPARE(dialog.pos(), QPoint(0, 150));
    }
};

QTEST_MAIN(VelDialogTest)
#include "tst_VelDialog.moc"
