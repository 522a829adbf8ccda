// The X11 desktop against a real X server: a private Xvfb, first without a
// window manager (the root's children), then with jwm (its client list and
// frames). Skipped where Xvfb or jwm is not installed.
#include <xcb/xcb.h>

#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <optional>

#include "CX11Desktop.h"

namespace {
// Stops a helper process when the test ends, however it ends.
struct Child : QProcess {
    ~Child() override {
        terminate();
        if (!waitForFinished(2000)) kill();
        waitForFinished(2000);
    }
};

std::optional<CDesktopWindow> Find(const std::vector<CDesktopWindow>& windows, WId id) {
    for (const CDesktopWindow& w : windows)
        if (w.m_id == id) return w;
    return std::nullopt;
}
}  // namespace

class X11DesktopTest : public QObject {
    Q_OBJECT

private slots:
    void listsAnotherWindowWithAndWithoutAManager() {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        const QString jwm = QStandardPaths::findExecutable(QStringLiteral("jwm"));
        if (xvfb.isEmpty() || jwm.isEmpty()) QSKIP("Xvfb or jwm is not installed");
        // The server picks a free display and names it on its output once it listens.
        Child server;
        server.start(xvfb, QStringList{"-displayfd", "1", "-screen", "0", "800x600x24", "-noreset",
                                       "-nolisten", "tcp"});
        QVERIFY(server.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(server.canReadLine(), 10000);
        const QByteArray display = ":" + server.readLine().trimmed();
        CX11Desktop desktop(display.constData());
        QVERIFY(desktop.IsConnected());

        // Another client's window, 200 x 100 at (50, 60), and one never mapped.
        xcb_connection_t* other = xcb_connect(display.constData(), nullptr);
        QCOMPARE(xcb_connection_has_error(other), 0);
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(other)).data;
        const xcb_window_t window = xcb_generate_id(other), hidden = xcb_generate_id(other);
        for (const xcb_window_t id : {window, hidden})
            xcb_create_window(other, XCB_COPY_FROM_PARENT, id, screen->root, 50, 60, 200, 100, 0,
                              XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
        xcb_map_window(other, window);
        xcb_flush(other);
        std::optional<CDesktopWindow> seen;
        QTRY_VERIFY((seen = Find(desktop.TopLevelWindows(), window)) && seen->m_visible);
        QCOMPARE(seen->m_outer, QRect(50, 60, 200, 100));
        const auto unmapped = Find(desktop.TopLevelWindows(), hidden);
        QVERIFY(unmapped && !unmapped->m_visible);

        // Under a window manager the frame belongs to the outer rectangle.
        Child manager;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(display));
        manager.setProcessEnvironment(env);
        manager.start(jwm, {});
        QVERIFY(manager.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT((seen = Find(desktop.TopLevelWindows(), window)) &&
                                     seen->m_visible && seen->m_outer.height() > 100,
                                 5000);
        QVERIFY(seen->m_outer.width() >= 200);
        QVERIFY(!Find(desktop.TopLevelWindows(), hidden));  // never mapped: not a client
        QVERIFY(!desktop.IsPrimaryButtonDown());
        xcb_disconnect(other);
    }
};

QTEST_MAIN(X11DesktopTest)
#include "tst_X11Desktop.moc"
