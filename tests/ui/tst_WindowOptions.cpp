// The window's options, stop and results through its real controls: each
// option gives the bytes the command line gives for the same plan, the
// options dialog keeps its choices between runs, a stop leaves the list
// being cleaned as it was, and the results name every list of a run.
#include <QDir>
#include <QProcess>
#include <QProgressBar>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "CMainDlg.h"
#include "COptionsDlg.h"
#include "ControlIds.h"
#include "UiFiles.h"

using namespace lintrim;

namespace {
struct Chooser : CFileChooser {
    QStringList answer;
    QStringList ChooseFiles(QWidget*, const CChooserRequest&) override { return answer; }
};

// The window with `settings`, `lists` chosen and go pressed, to the run's end.
void RunWindow(const WindowSettings& settings, const QStringList& lists, CMainDlg& dlg) {
    auto chooser = std::make_unique<Chooser>();
    chooser->answer = lists;
    dlg.SetFileChooser(std::move(chooser));
    dlg.SetSettings(settings);
    qobject_cast<QAbstractButton*>(dlg.Control(IDC_BROWSE_INPUT))->click();
    qobject_cast<QAbstractButton*>(dlg.Control(IDC_GO))->click();
    QTRY_VERIFY_WITH_TIMEOUT(!dlg.HasJob(), 60000);
}

const QByteArray kList = "b\r\na\nB\n$HEX[61]\nccc\r\nb\r\nabcdef\r\nA\r\n";
}  // namespace

class WindowOptionsTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QSettings().clear();
    }

    void optionsGiveTheCommandLinesBytes_data() {
        QTest::addColumn<WindowSettings>("settings");
        QTest::addColumn<QStringList>("cli");  // the same plan on the command line
        WindowSettings s;
        QTest::newRow("defaults") << s << QStringList{"--crlf"};
        s.lineEnd = WindowSettings::kLf;
        QTest::newRow("LF") << s << QStringList{};
        s.lineEnd = WindowSettings::kAsRead;  // most lines end with CR LF
        QTest::newRow("as read") << s << QStringList{"--crlf"};
        s = {};
        s.ignoreCase = true;
        s.hexKey = true;
        QTest::newRow("keys") << s << QStringList{"--crlf", "-i", "--hex"};
        s = {};
        s.minLength = 2;
        s.maxLength = 4;
        QTest::newRow("lengths") << s
                                 << QStringList{"--crlf", "--min-length", "2", "--max-length", "4"};
        s = {};
        s.keepRemoved = true;
        QTest::newRow("removed") << s << QStringList{"--crlf", "--removed", "gone"};
        s = {};
        s.beside = true;
        s.besideSuffix = QStringLiteral("-c");
        QTest::newRow("beside") << s << QStringList{"--crlf", "-o", "l-c.txt"};
    }
    void optionsGiveTheCommandLinesBytes() {
        QFETCH(WindowSettings, settings);
        QFETCH(QStringList, cli);
        for (const char* side : {"window", "cli"}) {
            const QString dir = m_dir.filePath(QString::fromLatin1(side));
            QDir().mkpath(dir);
            WriteFile(dir + "/l.txt", kList);
            if (settings.keepRemoved) settings.removedFile = dir + "/gone";
            if (QString::fromLatin1(side) == "window") {
                CMainDlg dlg;
                RunWindow(settings, {dir + "/l.txt"}, dlg);
                continue;
            }
            QProcess process;
            process.setWorkingDirectory(dir);
            process.start(QStringLiteral(LINTRIM_CLI_PATH), cli + QStringList{"l.txt"});
            QVERIFY(process.waitForFinished(60000) && process.exitCode() == 0);
        }
        const QStringList names = QDir(m_dir.filePath("cli")).entryList(QDir::Files);
        QCOMPARE(QDir(m_dir.filePath("window")).entryList(QDir::Files), names);
        for (const QString& name : names)
            QCOMPARE(ReadFile(m_dir.filePath("window/" + name)),
                     ReadFile(m_dir.filePath("cli/" + name)));
        QDir(m_dir.filePath("window")).removeRecursively();
        QDir(m_dir.filePath("cli")).removeRecursively();
    }

    // What the dialog is given it shows; what is chosen there is kept.
    void theOptionsDialogKeepsItsChoices() {
        WindowSettings s;
        s.lineEnd = WindowSettings::kAsRead;
        s.beside = true;
        s.besideSuffix = QStringLiteral("-x");
        s.hexKey = true;
        s.maxLength = 9;
        s.memoryMiB = 3;  // below the smallest budget: taken as it
        COptionsDlg dialog(s);
        WindowSettings chosen = dialog.Chosen();
        QCOMPARE(chosen.memoryMiB, 16);
        chosen.memoryMiB = 3;
        QVERIFY(chosen == s);
        CMainDlg dlg;
        dlg.SetSettings(chosen);
        CMainDlg again;  // a new window, as the next time the program starts
        QVERIFY(again.Settings() == chosen);
        dlg.SetSettings({});
    }

    // A stop leaves the list being cleaned as it was, says so, and gives
    // every control back; the results name each list handled.
    void aStopLeavesTheListAndTheResultsNameEveryList() {
        const QString small = m_dir.filePath("small.txt"), large = m_dir.filePath("large.txt");
        WriteFile(small, "a\na\n");
        QByteArray big;
        for (int i = 0; i < 20000; ++i) big += "w" + QByteArray::number(i % 15000) + "\n";
        WriteFile(large, big);
        CMainDlg dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        // The second list reaches 2500 just before the job reads the
        // Alphabetize box and waits for the window: stopped there.
        int reached = 0;
        connect(qobject_cast<QProgressBar*>(dlg.Control(IDC_PROGRESS)), &QProgressBar::valueChanged,
                &dlg, [&](int value) {
                    if (value == 2500 && ++reached == 2)
                        QTest::keyClick(&dlg, Qt::Key_Period, Qt::ControlModifier);
                });
        RunWindow({}, {small, large}, dlg);
        QCOMPARE(ReadFile(small), QByteArray("a\r\n"));
        QCOMPARE(ReadFile(large), big);
        QCOMPARE(dlg.Control(IDC_STATUS)->property("text").toString(),
                 QStringLiteral("stopped: large.txt left as it was"));
        for (const int id :
             {IDC_GO, IDC_BROWSE_INPUT, IDC_USE_REF, IDC_DEL_SINGLE, IDC_ALPHABETIZE})
            QVERIFY(dlg.Control(id)->isEnabled());
        QCOMPARE(dlg.ResultsText(),
                 small + QStringLiteral(": 2 read, 1 kept, 1 removed (1 repeated)"));
    }
};

QTEST_MAIN(WindowOptionsTest)
#include "tst_WindowOptions.moc"
