// The skinned button's pixels: face, border and focus marks in each look and
// state, the see-through face, and the embossed caption of a disabled button.
#include <QTest>
#include <map>

#include "CSkinButton.h"

namespace {
const QColor kNormalBk(176, 184, 192);
const QColor kActiveBk(208, 216, 224);
const QPoint kProbes[] = {{1, 1}, {0, 5}, {5, 0}, {26, 5}, {5, 19}, {3, 3}, {4, 4}};

void SendMove(QWidget* target, QPoint at, Qt::MouseButtons buttons) {
    QMouseEvent event(QEvent::MouseMove, at, target->mapToGlobal(at), Qt::NoButton, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

// How many pixels of `image` have the colour.
int Count(const QImage& image, const QColor& colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) count += image.pixel(x, y) == colour.rgb();
    return count;
}
}  // namespace

class SkinButtonTest : public QObject {
    Q_OBJECT

private slots:
    // The row's name is the state; the colours expected at kProbes are the
    // Normal or Active face, the Light, Dark, Shadow or Midlight role, or Black.
    void looks_data() {
        QTest::addColumn<QString>("probes");
        QTest::newRow("flat") << "NNNNNNN";
        QTest::newRow("flat hover") << "ALLDDAA";       // raised
        QTest::newRow("flat hover down") << "ADDLLAA";  // sunken
        QTest::newRow("flat down") << "ADDLLAA";
        QTest::newRow("flat hover noborder") << "AAAAAAA";
        QTest::newRow("flat focus") << "NNNNNNN";
        QTest::newRow("flat focus rect") << "NNNNNBN";
        QTest::newRow("3d hover") << "MLLSSNN";  // no hover look
        QTest::newRow("3d down") << "ADDDDAA";
        QTest::newRow("3d focus") << "LBBBBNB";         // black frame, focus dots
        QTest::newRow("flat seethrough") << "GGGGGGG";  // the parent's Green
    }
    void looks() {
        QFETCH(QString, probes);
        const QStringList state = QString::fromLatin1(QTest::currentDataTag()).split(' ');
        QWidget window;
        auto* b = new CSkinButton(&window);
        b->setGeometry(30, 30, 27, 20);  // away from where the pointer starts
        b->SetFlatLook(state.contains("flat"));
        b->SetHoverBorder(!state.contains("noborder"));
        b->SetFocusRectWhenFlat(state.contains("rect"), false);
        if (state.contains("seethrough")) {
            window.setStyleSheet(QStringLiteral("background: rgb(20, 120, 40)"));
            b->SetTransparentLook();
        }
        if (state.contains("focus")) {
            window.show();
            QVERIFY(QTest::qWaitForWindowActive(&window));
            b->setFocus();
            QTRY_VERIFY(b->hasFocus());
        }
        if (state.contains("hover")) SendMove(b, {5, 5}, Qt::NoButton);
        b->setDown(state.contains("down"));
        const QImage img = b->grab().toImage();
        const QPalette& pal = b->palette();
        const std::map<QChar, QColor> colours{
            {'N', kNormalBk},
            {'A', kActiveBk},
            {'B', Qt::black},
            {'L', pal.color(QPalette::Active, QPalette::Light)},
            {'D', pal.color(QPalette::Active, QPalette::Dark)},
            {'S', pal.color(QPalette::Active, QPalette::Shadow)},
            {'M', pal.color(QPalette::Active, QPalette::Midlight)},
            {'G', QColor(20, 120, 40)}};
        for (int i = 0; i < probes.size(); ++i)
            QVERIFY2(img.pixel(kProbes[i]) == colours.at(probes[i]).rgb(),
                     qPrintable(QString::number(i)));
    }

    // The focus rectangle of the flat look shows only for focus from the keyboard.
    void keyboardFocusIsMarked() {
        QWidget window;
        auto* first = new CSkinButton(QStringLiteral("a"), &window);
        auto* second = new CSkinButton(QStringLiteral("b"), &window);
        second->move(0, 40);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        const QImage plain = second->grab().toImage();
        second->setFocus(Qt::MouseFocusReason);
        QCOMPARE(second->grab().toImage(), plain);
        first->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(&window, Qt::Key_Tab);
        QVERIFY(second->hasFocus());
        QVERIFY(second->grab().toImage() != plain);
    }

    void disabledCaptionIsEmbossedOnTheNormalFaceEvenHovered() {
        CSkinButton b(QStringLiteral("go !"));
        b.resize(60, 30);
        b.setEnabled(false);
        SendMove(&b, {5, 5}, Qt::NoButton);
        const QImage img = b.grab().toImage();
        QCOMPARE(img.pixel(0, 0), kNormalBk.rgb());
        QVERIFY(Count(img, b.palette().color(QPalette::Active, QPalette::Light)) > 0);
        QVERIFY(Count(img, b.palette().color(QPalette::Disabled, QPalette::ButtonText)) > 0);
        QCOMPARE(Count(img, b.GetColour(CSkinButton::ColourNormalText)), 0);
    }
};

QTEST_MAIN(SkinButtonTest)
#include "tst_SkinButton.moc"
