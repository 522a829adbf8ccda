// The main window running jobs on real files: each job end to end with the
// window locked while it runs and given back after, the failure paths, a
// second press of go, reference lists chosen during a run, and closing or
// destroying the window while a job runs.
#include <sys/stat.h>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <thread>

#include "MainDlgTestKit.h"

namespace {
// What the window looked like while a job drove its progress bar.
struct LockSnapshot {
    bool seen = false;
    bool anyUnlocked = false;
};

void WatchLocks(TestMainDlg& dlg, LockSnapshot& snapshot) {
    auto* progress = dlg.Get<QProgressBar>(IDC_PROGRESS);
    QObject::connect(progress, &QProgressBar::valueChanged, &dlg, [&dlg, &snapshot] {
        snapshot.seen = true;
        for (int id : {IDC_GO, IDC_BROWSE_INPUT, IDC_USE_REF, IDC_DEL_SINGLE, IDC_ALPHABETIZE,
                       IDC_BY_FREQUENCY})
            snapshot.anyUnlocked |= dlg.Control(id)->isEnabled();
        snapshot.anyUnlocked |= dlg.acceptDrops();
        snapshot.anyUnlocked |= !dlg.Get<QLineEdit>(IDC_SINGLE_TEXT)->isReadOnly();
    });
}

QString Status(TestMainDlg& dlg) {
    return dlg.Get<QLabel>(IDC_STATUS)->text();
}

// Many lines, every tenth one a repeat, so a run takes a moment.
QByteArray BigList() {
    QByteArray bytes;
    for (int i = 0; i < 300000; ++i) bytes += "word" + QByteArray::number(i % 270000) + "\n";
    return bytes;
}

QByteArray DedupedBigList() {
    QByteArray bytes;
    for (int i = 0; i < 270000; ++i) bytes += "word" + QByteArray::number(i) + "\r\n";
    return bytes;
}

void ExpectUnlocked(TestMainDlg& dlg) {
    for (int id : {IDC_GO, IDC_BROWSE_INPUT, IDC_USE_REF, IDC_DEL_SINGLE, IDC_ALPHABETIZE,
                   IDC_BY_FREQUENCY, IDC_STATUS})
        QVERIFY2(dlg.Control(id)->isEnabled(), qPrintable(QString::number(id)));
    QVERIFY(dlg.acceptDrops());
    QCOMPARE(dlg.m_inputCount, 0);
}
}  // namespace

class MainDlgRunsTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    const QRegularExpression m_summary{QStringLiteral("^\\d+ read, \\d+ dupes, \\d+\\.\\d s$")};

    // At the first position shown, waits until the job has asked for more
    // without waiting for the window, then closes it from inside that request.
    static void CloseWhileRequestsWait(TestMainDlg& dlg) {
        auto* progress = dlg.Get<QProgressBar>(IDC_PROGRESS);
        connect(progress, &QProgressBar::valueChanged, &dlg, [&dlg, done = false]() mutable {
            if (std::exchange(done, true)) return;
            const int wanted = dlg.positions + 3;
            QDeadlineTimer patience(20000);
            while (dlg.positions < wanted && !patience.hasExpired()) QThread::yieldCurrentThread();
            QVERIFY2(dlg.positions >= wanted, "the job waited for the window");
            QTest::keyClick(&dlg, Qt::Key_Escape);
        });
    }

    void RunToEnd(TestMainDlg& dlg) {
        dlg.Get<QPushButton>(IDC_GO)->click();
        QTRY_VERIFY_WITH_TIMEOUT(!dlg.HasJob(), 60000);
    }

private slots:
    // Each job through the real controls: the window locked while the bar
    // moves, the list rewritten, the window given back.
    void jobRunsLockedAndUnlocksAfter_data() {
        QTest::addColumn<int>("option");
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("dedupe") << 0 << QByteArray("b\na\nb\n\nc\r\na\n")
                                << QByteArray("b\r\na\r\nc\r\n");
        QTest::newRow("single line")
            << int(IDC_DEL_SINGLE) << QByteArray("keep\ndrop\nkeep\ndrop\n")
            << QByteArray("keep\r\nkeep\r\n");
        QTest::newRow("reference")
            << int(IDC_USE_REF) << QByteArray("a\nb\nc\nb\nd\n") << QByteArray("a\r\nc\r\n");
    }
    void jobRunsLockedAndUnlocksAfter() {
        QFETCH(int, option);
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        TestMainDlg dlg;
        LockSnapshot locks;
        WatchLocks(dlg, locks);
        const QString list = m_dir.filePath(QStringLiteral("job.txt"));
        WriteFile(list, before);
        QVERIFY(DropFiles(dlg, {list}));
        if (option != 0) dlg.Get<QCheckBox>(option)->click();
        QTest::keyClicks(dlg.Get<QLineEdit>(IDC_SINGLE_TEXT), QStringLiteral("drop"));
        const QString ref = m_dir.filePath(QStringLiteral("ref.txt"));
        WriteFile(ref, "b\nd\n");
        if (option == IDC_USE_REF) dlg.Choose(IDC_BROWSE_REF, {ref});
        RunToEnd(dlg);
        QCOMPARE(ReadFile(list), after);
        QVERIFY(locks.seen && !locks.anyUnlocked);
        ExpectUnlocked(dlg);
        if (option == 0) QCOMPARE(Status(dlg).left(16), QStringLiteral("5 read, 2 dupes,"));
        // An empty selection now only asks for files.
        RunToEnd(dlg);
        QCOMPARE(dlg.Get<QLabel>(IDC_INPUT_CAPTION)->text(), QStringLiteral("choose new file(s)"));
    }

    void referencesChosenDuringARunOutliveIt() {
        TestMainDlg dlg;
        const QString list = m_dir.filePath("withref.txt");
        const QString ref = m_dir.filePath("ref.txt");
        WriteFile(list, BigList());
        WriteFile(ref, "word1\n");
        dlg.Choose(IDC_BROWSE_INPUT, {list});
        dlg.Get<QCheckBox>(IDC_USE_REF)->click();
        dlg.Choose(IDC_BROWSE_REF, {ref});
        // The reference chooser stays usable during the run; choose once then.
        const QString later = m_dir.filePath("later.txt");
        bool choseDuringRun = false;
        connect(dlg.Get<QProgressBar>(IDC_PROGRESS), &QProgressBar::valueChanged, &dlg, [&] {
            if (choseDuringRun || !dlg.HasJob()) return;
            choseDuringRun = true;
            dlg.Choose(IDC_BROWSE_REF, {later});
        });
        RunToEnd(dlg);
        QVERIFY(choseDuringRun);
        QCOMPARE(dlg.m_refFiles, std::vector<std::string>{later.toStdString()});
        QCOMPARE(dlg.Get<QLabel>(IDC_REF_CAPTION)->text(), QStringLiteral("1 ref file"));
        QVERIFY(!dlg.IsChecked(IDC_USE_REF));
    }

    // A failure leaves the list as it was and gives the window back, with
    // the same list still chosen.
    void failureKeepsListAndGivesWindowBack_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("status");
        QTest::newRow("read-only") << "readonly.txt"
                                   << "output list can't be opened";
        QTest::newRow("missing") << "missing.txt"
                                 << "Invalid input file";
    }
    void failureKeepsListAndGivesWindowBack() {
        QFETCH(QString, name);
        QFETCH(QString, status);
        TestMainDlg dlg;
        const QString list = m_dir.filePath(name);
        if (name == "readonly.txt") {
            WriteFile(list, "x\nx\ny\n");
            QVERIFY(::chmod(QFile::encodeName(list).constData(), 0444) == 0);
        }
        dlg.Choose(IDC_BROWSE_INPUT, {list});
        RunToEnd(dlg);
        QCOMPARE(Status(dlg), status);
        QCOMPARE(ReadFile(list), QByteArray(name == "missing.txt" ? "<missing>" : "x\nx\ny\n"));
        QVERIFY(dlg.Control(IDC_GO)->isEnabled() && dlg.Control(IDC_BROWSE_INPUT)->isEnabled());
        QVERIFY(dlg.acceptDrops());
        QCOMPARE(dlg.m_inputCount, 1);
    }

    void secondPressStartsNoSecondJob() {
        TestMainDlg dlg;
        const QString list = m_dir.filePath("twice.txt");
        WriteFile(list, BigList());
        dlg.Choose(IDC_BROWSE_INPUT, {list});
        auto* go = dlg.Get<QPushButton>(IDC_GO);
        go->click();
        go->click();  // before the job can have locked the window
        QTRY_VERIFY_WITH_TIMEOUT(!dlg.HasJob(), 60000);
        QCOMPARE(dlg.locks.load(), 1);
        QVERIFY(m_summary.match(Status(dlg)).hasMatch());
        QCOMPARE(Status(dlg).section(' ', 0, 3), QStringLiteral("300000 read, 30000 dupes,"));
    }

    void dropsAreRefusedDuringARun() {
        TestMainDlg dlg;
        const QString list = m_dir.filePath("dropduring.txt");
        WriteFile(list, BigList());
        dlg.Choose(IDC_BROWSE_INPUT, {list});
        bool refused = false;
        connect(dlg.Get<QProgressBar>(IDC_PROGRESS), &QProgressBar::valueChanged, &dlg, [&] {
            if (!refused && dlg.HasJob()) refused = !DropFiles(dlg, {"/a/late.txt"});
        });
        RunToEnd(dlg);
        QVERIFY(refused);
        QCOMPARE(dlg.m_inputCount, 0);
    }

    // The job's side of the window from a thread of the test's own: what the
    // window shows follows the requests in their order (positions run
    // together may be skipped, never the last of them), and every read sees
    // each change queued before it.
    void requestsShowInTheirOrderAndReadsWaitForThem() {
        TestMainDlg dlg;
        auto* progress = dlg.Get<QProgressBar>(IDC_PROGRESS);
        progress->setRange(0, 100000);
        struct Shown {
            int pos;
            QString status;
            bool enabled, checked;
        };
        std::vector<Shown> shown;
        connect(progress, &QProgressBar::valueChanged, &dlg, [&](int pos) {
            shown.push_back({pos, Status(dlg), dlg.Control(IDC_ALPHABETIZE)->isEnabled(),
                             dlg.IsChecked(IDC_BY_FREQUENCY)});
        });
        constexpr int kGroups = 400;
        std::vector<QString> readStatus;
        int misreads = 0;
        std::atomic<bool> finished{false};
        std::thread job([&] {
            for (int g = 1; g <= kGroups; ++g) {
                dlg.SetStatusText(std::to_string(g));
                dlg.EnableControl(IDC_ALPHABETIZE, g % 2 == 0);
                dlg.SetChecked(IDC_BY_FREQUENCY, g % 3 == 0);
                for (int step = 0; step < 5; ++step) dlg.SetProgressPos(g * 10 + step);
                if (g % 8 != 0) continue;
                misreads += dlg.IsChecked(IDC_BY_FREQUENCY) != (g % 3 == 0);
                dlg.AccessSelection([&] { readStatus.push_back(Status(dlg)); });
            }
            finished = true;
        });
        QTRY_VERIFY_WITH_TIMEOUT(finished, 60000);
        job.join();
        QCOMPARE(misreads, 0);
        QCOMPARE(int(readStatus.size()), kGroups / 8);
        for (int i = 0; i < kGroups / 8; ++i) QCOMPARE(readStatus[i], QString::number(8 * i + 8));
        std::vector<int> lastOfGroup;
        for (size_t i = 0; i < shown.size(); ++i) {
            const int g = shown[i].pos / 10;
            QVERIFY(i == 0 || shown[i].pos > shown[i - 1].pos);
            QCOMPARE(shown[i].status, QString::number(g));
            QCOMPARE(shown[i].enabled, g % 2 == 0);
            QCOMPARE(shown[i].checked, g % 3 == 0);
            if (shown[i].pos % 10 == 4) lastOfGroup.push_back(g);
        }
        QCOMPARE(int(lastOfGroup.size()), kGroups);
    }

    void closingDuringRunStopsCleanly_data() {
        QTest::addColumn<int>("how");
        QTest::newRow("escape") << 0;
        QTest::newRow("close box") << 1;
        QTest::newRow("destroyed") << 2;
        QTest::newRow("escape with requests queued") << 3;
    }

    void closingDuringRunStopsCleanly() {
        QFETCH(int, how);
        QTemporaryDir dir;
        const QString list = dir.filePath(QStringLiteral("close.txt"));
        const QByteArray original = BigList();
        WriteFile(list, original);
        auto dlg = std::make_unique<TestMainDlg>();
        dlg->show();
        dlg->Choose(IDC_BROWSE_INPUT, {list});
        if (how == 3) CloseWhileRequestsWait(*dlg);
        dlg->Get<QPushButton>(IDC_GO)->click();
        if (how == 3) QTRY_VERIFY_WITH_TIMEOUT(!dlg->isVisible(), 60000);
        if (how == 0) QTest::keyClick(dlg.get(), Qt::Key_Escape);
        if (how == 1) dlg->close();
        if (how == 2) dlg.reset();
        if (dlg) {
            QVERIFY(!dlg->HasJob());
            QVERIFY(!dlg->isVisible());
        }
        dlg.reset();
        // Never partial: the list as it was, or the whole result; no temporary left.
        const QByteArray after = ReadFile(list);
        if (after != original) QCOMPARE(after, DedupedBigList());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("close.txt")});
    }
};

QTEST_MAIN(MainDlgRunsTest)
#include "tst_MainDlgRuns.moc"
