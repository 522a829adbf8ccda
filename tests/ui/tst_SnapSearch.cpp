// The snap search on its own: distances at and around the snap distance, the
// tie-breaks between and within lists, both axes at once, snapping off.
#include <QTest>

#include "SnapSearch.h"

namespace {

// Builds a list as the dialog does, each entry pushed to the front: the last
// argument ends up newest.
SnapEdgeList Pushed(std::initializer_list<int> oldestFirst) {
    SnapEdgeList list;
    for (const int v : oldestFirst) {
        list.push_front(v);
    }
    return list;
}

// A work area of 0..1000 x 0..800 and nothing else.
SnapEdges WorkArea() {
    return {Pushed({0}), Pushed({1000}), Pushed({0}), Pushed({800})};
}

const QSize kSize(200, 100);

}  // namespace

class SnapSearchTest : public QObject {
    Q_OBJECT

private slots:
    void snapsWithinDistance_data() {
        QTest::addColumn<QPoint>("proposed");
        QTest::addColumn<QPoint>("expected");
        QTest::newRow("left 25 away") << QPoint(25, 300) << QPoint(0, 300);
        QTest::newRow("left exactly 30") << QPoint(30, 300) << QPoint(0, 300);
        QTest::newRow("left 31 stays") << QPoint(31, 300) << QPoint(31, 300);
        QTest::newRow("left beyond the edge") << QPoint(-12, 300) << QPoint(0, 300);
        QTest::newRow("right edge 20 short") << QPoint(780, 300) << QPoint(800, 300);
        QTest::newRow("right edge 30 past") << QPoint(830, 300) << QPoint(800, 300);
        QTest::newRow("bottom 30 short") << QPoint(400, 670) << QPoint(400, 700);
        QTest::newRow("bottom 31 short") << QPoint(400, 669) << QPoint(400, 669);
        QTest::newRow("corner snaps both axes") << QPoint(790, 690) << QPoint(800, 700);
        QTest::newRow("top-left corner") << QPoint(12, -7) << QPoint(0, 0);
        QTest::newRow("one axis only") << QPoint(10, 400) << QPoint(0, 400);
    }
    void snapsWithinDistance() {
        QFETCH(QPoint, proposed);
        QFETCH(QPoint, expected);
        QCOMPARE(SnapSearch(proposed, kSize, WorkArea(), 30), expected);
    }

    void leftListWinsATieAgainstRight() {
        // A window's right edge at 100 for our left edge, another's left edge
        // at 320 for our right edge: both 10 pixels off.
        const SnapEdges edges{Pushed({100}), Pushed({320}), {}, {}};
        QCOMPARE(SnapSearch({110, 0}, kSize, edges, 30).x(), 100);
        // One pixel nearer on the right and the right list wins.
        QCOMPARE(SnapSearch({111, 0}, kSize, edges, 30).x(), 120);
    }

    void topListWinsATieAgainstBottom() {
        const SnapEdges edges{{}, {}, Pushed({50}), Pushed({170})};
        QCOMPARE(SnapSearch({0, 60}, kSize, edges, 30).y(), 50);
        QCOMPARE(SnapSearch({0, 61}, kSize, edges, 30).y(), 70);
    }

    void newestEntryWinsATieWithinAList() {
        QCOMPARE(SnapSearch({100, 0}, kSize, {Pushed({90, 110}), {}, {}, {}}, 30).x(), 110);
        QCOMPARE(SnapSearch({100, 0}, kSize, {Pushed({110, 90}), {}, {}, {}}, 30).x(), 90);
        // A strictly nearer older entry still beats a newer one.
        QCOMPARE(SnapSearch({100, 0}, kSize, {Pushed({95, 110}), {}, {}, {}}, 30).x(), 95);
    }

    void nearestOfManyCandidates() {
        const SnapEdges edges{Pushed({0, 300, 140, 500}), Pushed({1000, 380}), {}, {}};
        QCOMPARE(SnapSearch({150, 0}, kSize, edges, 30).x(), 140);
        QCOMPARE(SnapSearch({175, 0}, kSize, edges, 30).x(), 180);  // right edge on 380
    }

    void snappingOffOrUnfilledNeverMoves() {
        QCOMPARE(SnapSearch({25, 10}, kSize, WorkArea(), 0), QPoint(25, 10));
        QCOMPARE(SnapSearch({25, 10}, kSize, WorkArea(), -5), QPoint(25, 10));
        // With no candidates the search stays at its sentinel; even a snap
        // distance past it must not send the window to the sentinel position.
        QCOMPARE(SnapSearch({25, 10}, kSize, SnapEdges{}, 30), QPoint(25, 10));
        QCOMPARE(SnapSearch({25, 10}, kSize, SnapEdges{}, 20000), QPoint(25, 10));
    }

    void nearestSnapEdgeReportsSentinelsWhenEmpty() {
        const SnapChoice none = NearestSnapEdge({}, 10, 0);
        QCOMPARE(none.distance, 10000);
        QCOMPARE(none.position, -1);
        const SnapChoice right = NearestSnapEdge(Pushed({500}), 480, 200);
        QCOMPARE(right.distance, 20);
        QCOMPARE(right.position, 300);
    }

    void farCoordinatesDoNotOverflow() {
        const SnapEdges edges{Pushed({INT_MIN}), Pushed({INT_MAX}), {}, {}};
        QCOMPARE(SnapSearch({INT_MAX - 50, 0}, {40, 10}, edges, 30).x(), INT_MAX - 40);
    }
};

QTEST_APPLESS_MAIN(SnapSearchTest)
#include "tst_SnapSearch.moc"
