// The snap search on its own: distances at and around the snap distance, the
// tie-breaks between and within lists, both axes at once, snapping off, and
// coordinates far out.
#include <QTest>

#include "SnapSearch.h"

Q_DECLARE_METATYPE(SnapEdges)

namespace {
// A list as the dialog builds it, each entry pushed to the front: the last
// argument ends up newest.
SnapEdgeList Pushed(std::initializer_list<int> oldestFirst) {
    SnapEdgeList list;
    for (const int v : oldestFirst) list.push_front(v);
    return list;
}
// A work area of 0..1000 x 0..800 and nothing else.
const SnapEdges kArea{Pushed({0}), Pushed({1000}), Pushed({0}), Pushed({800})};
}  // namespace

class SnapSearchTest : public QObject {
    Q_OBJECT

private slots:
    void snaps_data() {
        QTest::addColumn<SnapEdges>("edges");
        QTest::addColumn<int>("distance");
        QTest::addColumn<QPoint>("proposed");
        QTest::addColumn<QPoint>("expected");
        QTest::newRow("left 25 away") << kArea << 30 << QPoint(25, 300) << QPoint(0, 300);
        QTest::newRow("left exactly 30") << kArea << 30 << QPoint(30, 300) << QPoint(0, 300);
        QTest::newRow("left 31 stays") << kArea << 30 << QPoint(31, 300) << QPoint(31, 300);
        QTest::newRow("left beyond") << kArea << 30 << QPoint(-12, 300) << QPoint(0, 300);
        QTest::newRow("right 20 short") << kArea << 30 << QPoint(780, 300) << QPoint(800, 300);
        QTest::newRow("right 30 past") << kArea << 30 << QPoint(830, 300) << QPoint(800, 300);
        QTest::newRow("bottom 30 short") << kArea << 30 << QPoint(400, 670) << QPoint(400, 700);
        QTest::newRow("bottom 31 short") << kArea << 30 << QPoint(400, 669) << QPoint(400, 669);
        QTest::newRow("both axes") << kArea << 30 << QPoint(790, 690) << QPoint(800, 700);
        QTest::newRow("top-left") << kArea << 30 << QPoint(12, -7) << QPoint(0, 0);
        QTest::newRow("off") << kArea << 0 << QPoint(25, 10) << QPoint(25, 10);
        QTest::newRow("negative") << kArea << -5 << QPoint(25, 10) << QPoint(25, 10);
        // With no candidates the search stays at its sentinel, which even a
        // huge distance must not turn into a position.
        QTest::newRow("no edges") << SnapEdges{} << 20000 << QPoint(25, 10) << QPoint(25, 10);
        // Right edge of a window at 100 for our left, left edge of another at
        // 320 for our right: a tie goes to the left list, one nearer to the right.
        const SnapEdges sides{Pushed({100}), Pushed({320}), Pushed({50}), Pushed({170})};
        QTest::newRow("left wins tie") << sides << 30 << QPoint(110, 60) << QPoint(100, 50);
        QTest::newRow("right nearer") << sides << 30 << QPoint(111, 61) << QPoint(120, 70);
        const SnapEdges twoNew{Pushed({90, 110}), {}, {}, {}};
        const SnapEdges twoOld{Pushed({110, 90}), {}, {}, {}};
        QTest::newRow("newest wins tie") << twoNew << 30 << QPoint(100, 0) << QPoint(110, 0);
        QTest::newRow("newest wins tie 2") << twoOld << 30 << QPoint(100, 0) << QPoint(90, 0);
        const SnapEdges nearerOld{Pushed({95, 110}), {}, {}, {}};
        QTest::newRow("nearer older") << nearerOld << 30 << QPoint(100, 0) << QPoint(95, 0);
        const SnapEdges many{Pushed({0, 300, 140, 500}), Pushed({1000, 380}), {}, {}};
        QTest::newRow("nearest of many") << many << 30 << QPoint(150, 0) << QPoint(140, 0);
        QTest::newRow("many, right") << many << 30 << QPoint(175, 0) << QPoint(180, 0);
    }
    void snaps() {
        QFETCH(SnapEdges, edges);
        QFETCH(int, distance);
        QFETCH(QPoint, proposed);
        QFETCH(QPoint, expected);
        QCOMPARE(SnapSearch(proposed, QSize(200, 100), edges, distance), expected);
    }

    void farCoordinatesDoNotOverflow() {
        const SnapEdges edges{Pushed({INT_MIN}), Pushed({INT_MAX}), {}, {}};
        QCOMPARE(SnapSearch({INT_MAX - 50, 0}, {40, 10}, edges, 30).x(), INT_MAX - 40);
        const SnapChoice none = NearestSnapEdge({}, 10, 0);
        QCOMPARE(none.distance, 10000);
        QCOMPARE(none.position, -1);
    }
};

QTEST_APPLESS_MAIN(SnapSearchTest)
#include "tst_SnapSearch.moc"
