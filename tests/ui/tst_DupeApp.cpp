// The window program's start-up: Qt takes its own options from the command
// line, and every argument left is a list chosen in the window that opens,
// as its bytes and in order. The application object makes the QApplication,
// which can be done once in a process: one command line covers it all. The
// window is read and closed from inside its modal loop.
#include <QStyle>
#include <QTest>
#include <QTimer>

#include "CDupeApp.h"
#include "CMainDlg.h"
#include "ControlIds.h"

using namespace lintrim;

class DupeAppTest : public QObject {
    Q_OBJECT

private slots:
    // Qt's options come before, between and after the lists; a name is taken
    // as its bytes (not UTF-8 here), a leading dash and all, and the
    // program's own name is no list.
    void argumentsAfterQtsOptionsAreChosenLists() {
        std::vector<std::string> args{"lintrim",  "-style",    "Fusion",    "rel/b\xff.dic",
                                      "/l/a.txt", "-platform", "offscreen", "-c.txt"};
        const std::vector<std::string> lists{"rel/b\xff.dic", "/l/a.txt", "-c.txt"};
        std::vector<char*> argv;
        for (std::string& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        int argc = int(args.size());
        CDupeApp app(argc, argv.data());
        QCOMPARE(app.StartPaths(), lists);
        QCOMPARE(QApplication::style()->name(), QStringLiteral("fusion"));
        std::vector<std::string> chosen;
        QString caption;
        bool go = false;
        QTimer::singleShot(0, [&] {
            for (QWidget* widget : QApplication::topLevelWidgets())
                if (auto* dlg = qobject_cast<CMainDlg*>(widget)) {
                    chosen = dlg->m_inputFiles;
                    caption = dlg->Control(IDC_INPUT_CAPTION)->property("text").toString();
                    go = dlg->Control(IDC_GO)->isEnabled();
                    dlg->done(0);
                }
        });
        app.InitInstance();
        QCOMPARE(chosen, lists);
        QCOMPARE(caption, QStringLiteral("3 wordlists "));
        QVERIFY(go);
    }
};

QTEST_APPLESS_MAIN(DupeAppTest)
#include "tst_DupeApp.moc"
