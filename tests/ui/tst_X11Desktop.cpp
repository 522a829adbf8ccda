// The X11 desktop against a real X server: a private Xvfb, first without a
// window manager (the root's children), then with jwm (its client list and
// frames). Skipped where Xvfb or jwm is not installed.
#include <xcb/xcb.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <algorithm>
#include <optional>

#include "CX11Desktop.h"

namespace {

// A display number with neither a lock file nor a socket.
int FreeDisplay() {
    for (int n = 87; n < 200; ++n) {
        if (!QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)) &&
            !QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n))) {
            return n;
        }
    }
    return -1;
}

// Stops a helper process when the test ends, however it ends.
struct Child {
    QProcess process;
    ~Child() {
        if (process.state() != QProcess::NotRunning) {
            process.terminate();
            if (!process.waitForFinished(2000)) {
                process.kill();
                process.waitForFinished(2000);
            }
        }
    }
};

std::optional<CDesktopWindow> Find(const std::vector<CDesktopWindow>& windows, WId id) {
    const auto it = std::find_if(windows.begin(), windows.end(),
                                 [id](const CDesktopWindow& w) { return w.m_id == id; });
    return it == windows.end() ? std::nullopt : std::optional(*it);
}

}  // namespace

class X11DesktopTest : public QObject {
    Q_OBJECT

private slots:
    void listsAnotherWindowWithAndWithoutAManager() {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        const QString jwm = QStandardPaths::findExecutable(QStringLiteral("jwm"));
        if (xvfb.isEmpty() || jwm.isEmpty()) {
            QSKIP("Xvfb or jwm is not installed");
        }
        const int n = FreeDisplay();
        QVERIFY(n > 0);
        const QByteArray display = ":" + QByteArray::number(n);

        Child server;
        server.process.start(
            xvfb, {QString::fromLatin1(display), QStringLiteral("-screen"), QStringLiteral("0"),
                   QStringLiteral("800x600x24"), QStringLiteral("-noreset"),
                   QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        QVERIFY(server.process.waitForStarted());
        std::optional<CX11Desktop> desktop;
        QTRY_VERIFY_WITH_TIMEOUT((desktop.emplace(display.constData()), desktop->IsConnected()),
                                 5000);

        // Another client's window, 200 x 100 at (50, 60).
        xcb_connection_t* other = xcb_connect(display.constData(), nullptr);
        QCOMPARE(xcb_connection_has_error(other), 0);
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(other)).data;
        const xcb_window_t window = xcb_generate_id(other);
        xcb_create_window(other, XCB_COPY_FROM_PARENT, window, screen->root, 50, 60, 200, 100, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
        const xcb_window_t hidden = xcb_generate_id(other);
        xcb_create_window(other, XCB_COPY_FROM_PARENT, hidden, screen->root, 0, 0, 30, 30, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
        xcb_map_window(other, window);
        xcb_flush(other);

        std::optional<CDesktopWindow> seen;
        QTRY_VERIFY((seen = Find(desktop->TopLevelWindows(), window)) && seen->m_visible);
        QCOMPARE(seen->m_outer, QRect(50, 60, 200, 100));
        const auto unmapped = Find(desktop->TopLevelWindows(), hidden);
        QVERIFY(unmapped && !unmapped->m_visible);

        // Under a window manager the frame belongs to the outer rectangle.
        Child manager;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(display));
        manager.process.setProcessEnvironment(env);
        manager.process.start(jwm, {});
        QVERIFY(manager.process.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT((seen = Find(desktop->TopLevelWindows(), window)) &&
                                     seen->m_visible && seen->m_outer.height() > 100,
                                 5000);
        QVERIFY(seen->m_outer.width() >= 200);
        QVERIFY(!Find(desktop->TopLevelWindows(), hidden));  // never mapped: not a client
        QVERIFY(!desktop->IsPrimaryButtonDown());

        xcb_disconnect(other);
        desktop.reset();
    }
};

QTEST_MAIN(X11DesktopTest)
#include "tst_X11Desktop.moc"
