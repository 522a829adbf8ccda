// The main window through its real controls: the option interlocks and the
// state of "go !" that follows from the choices, the choosers' filters,
// dropped lists and those named at start, each job and each failure run on
// real files with the window locked meanwhile, the order of a job's
// requests, and closing the window while a job runs.
#include <sys/stat.h>
#include <QAccessible>
#include <QDir>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QProgressBar>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <map>
#include <thread>

#include "CMainDlg.h"
#include "ControlIds.h"
#include "UiFiles.h"
#include "lintrim/Formats.h"

using namespace lintrim;

namespace {
using Ids = QList<int>;
constexpr int kDrop = -1;  // in a row's clicks: an input list dropped on the window
// What a job locks; a successful run gives all of it back.
const Ids kLocked{IDC_GO,         IDC_BROWSE_INPUT, IDC_USE_REF,
                  IDC_DEL_SINGLE, IDC_ALPHABETIZE,  IDC_BY_FREQUENCY};

// Answers every chooser with the test's answer of the moment and keeps the
// questions it was asked.
struct Chooser : CFileChooser {
    Chooser(const QStringList& answer, QList<CChooserRequest>& asked)
        : m_answer(answer), m_asked(asked) {}
    QStringList ChooseFiles(QWidget*, const CChooserRequest& request) override {
        m_asked.append(request);
        return m_answer;
    }
    const QStringList& m_answer;
    QList<CChooserRequest>& m_asked;
};

// The real window with that chooser, counting the positions a job asks for.
class TestMainDlg : public CMainDlg {
public:
    TestMainDlg() { SetFileChooser(std::make_unique<Chooser>(answer, asked)); }
    // The job may still call SetProgressPos below: stop it while that exists.
    ~TestMainDlg() override { StopJob(); }
    void SetProgressPos(int pos) override {
        ++positions;
        CMainDlg::SetProgressPos(pos);
    }
    template <typename T = QAbstractButton>
    T* Get(int id) const {
        return qobject_cast<T*>(Control(id));
    }
    QString Text(int id) const { return Control(id)->property("text").toString(); }
    void Choose(int browseId, const QStringList& paths) {
        answer = paths;
        Get(browseId)->click();
    }
    QStringList answer;
    QList<CChooserRequest> asked;
    std::atomic<int> positions{0};  // requested, whether shown yet or not
};

// Drags `mime` over the window and drops it; whether the window took it.
bool Drop(QWidget& target, const QMimeData& mime) {
    const QPoint at = target.rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    if (enter.isAccepted()) QApplication::sendEvent(&target, &drop);
    return enter.isAccepted() && drop.isAccepted();
}

// Drops the paths (local files, or other addresses).
bool DropFiles(QWidget& target, const QStringList& paths) {
    QMimeData mime;
    QList<QUrl> urls;
    for (const QString& path : paths) urls.append(QUrl::fromUserInput(path));
    mime.setUrls(urls);
    return Drop(target, mime);
}

// `count` lines of `distinct` different words in turn, each ended by `eol`.
QByteArray Words(int count, int distinct, const char* eol) {
    QByteArray bytes;
    for (int i = 0; i < count; ++i) bytes += "word" + QByteArray::number(i % distinct) + eol;
    return bytes;
}

// The contrast ratio of two colours, as the accessibility guidelines reckon it.
double Contrast(const QColor& a, const QColor& b) {
    const auto luminance = [](const QColor& c) {
        const auto linear = [](double v) {
            return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Whether this build reads the compressed format of that suffix.
bool Built(const char* suffix) {
    for (const CompressedFormat& format : CompressedFormats())
        if (std::string_view(format.suffix) == suffix) return format.built;
    return false;
}

void RunToEnd(TestMainDlg& dlg) {
    dlg.Get(IDC_GO)->click();
    QTRY_VERIFY_WITH_TIMEOUT(!dlg.HasJob(), 60000);
}
}  // namespace

class MainDlgTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    // From a new window, the controls clicked in order (the browse buttons
    // choose one list); then which controls are off (disabled, or for the
    // edit box read-only) and which options are checked.
    void interlocks_data() {
        QTest::addColumn<Ids>("clicks");
        QTest::addColumn<Ids>("off");
        QTest::addColumn<Ids>("checked");
        const int go = IDC_GO, in = IDC_BROWSE_INPUT, ref = IDC_BROWSE_REF, cap = IDC_REF_CAPTION,
                  text = IDC_SINGLE_TEXT, freq = IDC_BY_FREQUENCY, alpha = IDC_ALPHABETIZE,
                  useRef = IDC_USE_REF, del = IDC_DEL_SINGLE;
        QTest::newRow("start") << Ids{} << Ids{go, ref, cap, text} << Ids{};
        QTest::newRow("alpha unchecks freq")
            << Ids{freq, alpha} << Ids{go, ref, cap, text} << Ids{alpha};
        QTest::newRow("freq unchecks alpha")
            << Ids{alpha, freq} << Ids{go, ref, cap, text} << Ids{freq};
        QTest::newRow("single line: no ref, no freq, go kept")
            << Ids{in, useRef, ref, freq, del} << Ids{ref, cap, freq} << Ids{del};
        QTest::newRow("single line off: freq back") << Ids{del, del} << Ids{go, ref, cap} << Ids{};
        QTest::newRow("ref unchecks single line")
            << Ids{del, useRef} << Ids{go, text, freq} << Ids{useRef};
        QTest::newRow("ref off, no input")
            << Ids{useRef, useRef} << Ids{go, ref, cap, text} << Ids{};
        QTest::newRow("ref off: go for the input")
            << Ids{in, useRef, ref, useRef} << Ids{ref, cap, text} << Ids{};
        QTest::newRow("refs without input") << Ids{useRef, ref} << Ids{go, text} << Ids{useRef};
        QTest::newRow("input without refs") << Ids{in, useRef} << Ids{go, text} << Ids{useRef};
        QTest::newRow("chosen input: go anyway") << Ids{useRef, in} << Ids{text} << Ids{useRef};
        QTest::newRow("drop waits for refs") << Ids{useRef, kDrop} << Ids{go, text} << Ids{useRef};
        QTest::newRow("refs, then drop") << Ids{useRef, ref, kDrop} << Ids{text} << Ids{useRef};
        QTest::newRow("drop") << Ids{kDrop} << Ids{ref, cap, text} << Ids{};
    }
    void interlocks() {
        QFETCH(Ids, clicks);
        QFETCH(Ids, off);
        QFETCH(Ids, checked);
        TestMainDlg dlg;
        for (const int id : clicks) {
            if (id == kDrop)
                QVERIFY(DropFiles(dlg, {"/a/in.txt"}));
            else if (id == IDC_BROWSE_INPUT || id == IDC_BROWSE_REF)
                dlg.Choose(id, {"/a/list.txt"});
            else
                dlg.Get(id)->click();
        }
        for (const int id : kLocked + Ids{IDC_BROWSE_REF, IDC_REF_CAPTION, IDC_SINGLE_TEXT}) {
            const bool on = id == IDC_SINGLE_TEXT ? !dlg.Get<QLineEdit>(id)->isReadOnly()
                                                  : dlg.Control(id)->isEnabled();
            QVERIFY2(on != off.contains(id), qPrintable(QString::number(id)));
            if (dlg.Get<QCheckBox>(id)) QCOMPARE(dlg.IsChecked(id), checked.contains(id));
        }
    }

    // Paths are taken whole, in order, however long or many: a path is never
    // cut to another file's name. A dropped name is taken as its bytes, UTF-8
    // or not; a chosen name that cannot be had is refused on the status line.
    void choicesAndDropsAppendWholePathsInOrder() {
        TestMainDlg dlg;
        const QString longPath = "/" + QString(1200, QLatin1Char('l'));
        QStringList many;
        for (int i = 0; i < 40; ++i) many.append(QStringLiteral("/d/list%1.txt").arg(i));
        dlg.Choose(IDC_BROWSE_INPUT, {"/d/first.txt"});
        QCOMPARE(dlg.Text(IDC_INPUT_CAPTION), QStringLiteral("first.txt"));
        dlg.Choose(IDC_BROWSE_INPUT, many + QStringList{longPath});
        QMimeData mime;
        mime.setUrls({QUrl::fromEncoded("file:///a/b%FF.dic")});
        QVERIFY(DropFiles(dlg, {"/a/b.dic", longPath + ".bak"}));
        QVERIFY(Drop(dlg, mime));
        QVERIFY(!DropFiles(dlg, {"https://example.org/list.txt"}));
        QCOMPARE(dlg.m_inputCount, 45);
        QCOMPARE(dlg.m_inputFiles.size(), size_t{45});
        QCOMPARE(dlg.m_inputFiles[41], longPath.toStdString());
        QCOMPARE(dlg.m_inputFiles[43], (longPath + ".bak").toStdString());
        QCOMPARE(dlg.m_inputFiles[44], std::string("/a/b\xff.dic"));
        dlg.Get(IDC_USE_REF)->click();
        dlg.Choose(IDC_BROWSE_REF, {QStringLiteral("/r/x\uFFFD.txt"), "/r/ok.txt"});
        QCOMPARE(dlg.m_refFiles, std::vector<std::string>{"/r/ok.txt"});
        QCOMPARE(dlg.Text(IDC_STATUS),
                 QStringLiteral("Invalid ref file (can't be named: /r/x\uFFFD.txt)"));
    }

    // Each chooser offers plain text first (the first filter is the one
    // selected), then one entry for each compressed format this build reads,
    // never one it refuses, then any file; a typed name gets ".txt".
    void choosersOfferTextThenEachFormatRead() {
        TestMainDlg dlg;
        dlg.Get(IDC_USE_REF)->click();
        dlg.Choose(IDC_BROWSE_INPUT, {});
        dlg.Choose(IDC_BROWSE_REF, {});
        const std::pair<const char*, const char*> offered[] = {{".gz", "gzip lists (*.gz)"},
                                                               {".xz", "xz lists (*.xz)"},
                                                               {".zst", "zstd lists (*.zst)"},
                                                               {".bz2", "bzip2 lists (*.bz2)"},
                                                               {".lz4", "lz4 lists (*.lz4)"}};
        QStringList formats;
        for (const auto& [suffix, filter] : offered)
            if (Built(suffix)) formats.append(filter);
        QCOMPARE(dlg.asked.size(), 2);
        QCOMPARE(dlg.asked[0].m_filters, QStringList{"Single/Combo wordlists (*.txt)"} + formats +
                                             QStringList{"All Files (*)"});
        QCOMPARE(dlg.asked[1].m_filters,
                 QStringList{"Reference list (*.txt)"} + formats + QStringList{"All Files (*)"});
        for (const CChooserRequest& request : dlg.asked)
            QCOMPARE(request.m_defaultSuffix, QStringLiteral("txt"));
    }

    // Lists named at start are chosen as a drop chooses them, the caption
    // naming the one list and go enabled; none named leaves the window as it
    // opens. (Several lists, and the command line itself: tst_DupeApp.)
    void startPathsAreChosenAsDropped() {
        const std::pair<std::vector<std::string>, QString> starts[] = {
            {{}, "  drop file / select --->"}, {{"/l/a.txt"}, "a.txt"}};
        for (const auto& [given, caption] : starts) {
            TestMainDlg dlg;
            dlg.TakeStartPaths(given);
            QCOMPARE(dlg.m_inputFiles, given);
            QCOMPARE(dlg.m_inputCount, int(given.size()));
            QCOMPARE(dlg.Text(IDC_INPUT_CAPTION), caption);
            QCOMPARE(dlg.Control(IDC_GO)->isEnabled(), !given.empty());
        }
    }

    // A list dropped, an option clicked, go pressed: the list on disk and the
    // status line after. The window stays locked (drops refused) while the bar
    // moves; a success gives it all back with the selection emptied, a failure
    // gives back go, the chooser and drops with the list still chosen.
    void runThroughTheControls_data() {
        QTest::addColumn<int>("option");
        QTest::addColumn<QByteArray>("before");  // null: no such file
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("fails");
        QTest::newRow("dedupe") << 0 << QByteArray("b\na\nb\n\nc\r\na\n")
                                << QByteArray("b\r\na\r\nc\r\n")
                                << "^5 read, 2 dupes, \\d+\\.\\d s$" << false;
        QTest::newRow("single line")
            << int(IDC_DEL_SINGLE) << QByteArray("keep\ndrop\nkeep\ndrop\n")
            << QByteArray("keep\r\nkeep\r\n") << "^4 read, 2 dupes, \\d+\\.\\d s$" << false;
        QTest::newRow("reference")
            << int(IDC_USE_REF) << QByteArray("a\nb\nc\nb\nd\n") << QByteArray("a\r\nc\r\n")
            << "^7 read 1 dupes \\d+\\.\\d s$" << false;
        QTest::newRow("read-only list")
            << 0 << QByteArray("x\nx\ny\n") << QByteArray("x\nx\ny\n")
            << "^output list can't be opened \\(Permission denied\\)$" << true;
        QTest::newRow("missing list")
            << 0 << QByteArray() << QByteArray("<missing>")
            << "^Invalid input file \\(No such file or directory\\)$" << true;
    }
    void runThroughTheControls() {
        QFETCH(int, option);
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        QFETCH(QString, status);
        QFETCH(bool, fails);
        TestMainDlg dlg;
        const QString list = m_dir.filePath(QString(QTest::currentDataTag()) + ".txt");
        if (!before.isNull()) WriteFile(list, before);
        if (fails && !before.isNull()) QVERIFY(::chmod(qPrintable(list), 0444) == 0);
        QVERIFY(DropFiles(dlg, {list}));
        if (option != 0) dlg.Get(option)->click();
        QTest::keyClicks(dlg.Get<QLineEdit>(IDC_SINGLE_TEXT), QStringLiteral("drop"));
        const QString ref = m_dir.filePath("ref.txt"), later = m_dir.filePath("later.txt");
        WriteFile(ref, "b\nd\n");
        if (option == IDC_USE_REF) dlg.Choose(IDC_BROWSE_REF, {ref});
        // While the bar moves: everything locked, and (with references) a
        // reference list chosen, which must stay for the next run.
        bool seen = false, unlocked = false;
        connect(dlg.Get<QProgressBar>(IDC_PROGRESS), &QProgressBar::valueChanged, &dlg, [&] {
            seen = true;
            for (const int id : kLocked) unlocked |= dlg.Control(id)->isEnabled();
            unlocked |= !dlg.Get<QLineEdit>(IDC_SINGLE_TEXT)->isReadOnly();
            unlocked |= DropFiles(dlg, {"/a/late.txt"});
            if (option == IDC_USE_REF && dlg.m_refFiles.size() == 1)
                dlg.Choose(IDC_BROWSE_REF, {later});
        });
        RunToEnd(dlg);
        QCOMPARE(ReadFile(list), after);
        QVERIFY2(QRegularExpression(status).match(dlg.Text(IDC_STATUS)).hasMatch(),
                 qPrintable(dlg.Text(IDC_STATUS)));
        QVERIFY((seen || fails) && !unlocked);
        for (const int id : fails ? Ids{IDC_GO, IDC_BROWSE_INPUT} : kLocked)
            QVERIFY2(dlg.Control(id)->isEnabled(), qPrintable(QString::number(id)));
        QVERIFY(dlg.acceptDrops());
        QCOMPARE(dlg.m_inputCount, fails ? 1 : 0);
        if (option == IDC_USE_REF) {
            QCOMPARE(dlg.m_refFiles, std::vector<std::string>{later.toStdString()});
            QCOMPARE(dlg.Text(IDC_REF_CAPTION), QStringLiteral("1 ref file"));
            QVERIFY(!dlg.IsChecked(IDC_USE_REF));
        }
        if (fails) return;
        RunToEnd(dlg);  // an empty selection now only asks for files
        QCOMPARE(dlg.Text(IDC_INPUT_CAPTION), QStringLiteral("choose new file(s)"));
    }

    // A failure too long for the status line starts at its left edge, whole
    // in the line's tool tip; a text that fits stays centred.
    void aStatusTooLongShowsItsStart() {
        TestMainDlg dlg;
        auto* status = dlg.Get<QLabel>(IDC_STATUS);
        dlg.SetStatusText("temporary files can't be written (No space left on device)");
        QCOMPARE(status->alignment(), Qt::AlignLeft | Qt::AlignVCenter);
        QCOMPARE(status->toolTip(), status->text());
        dlg.SetStatusText("output list can't be opened (Permission denied)");
        QCOMPARE(status->alignment(), Qt::Alignment(Qt::AlignCenter));
        QVERIFY(status->toolTip().isEmpty());
    }

    // The job's side of the window from a thread of the test's own: what the
    // window shows follows the requests in their order (positions run
    // together may be skipped, never the last of them), and every read sees
    // each change queued before it.
    void requestsShowInTheirOrderAndReadsWaitForThem() {
        TestMainDlg dlg;
        auto* progress = dlg.Get<QProgressBar>(IDC_PROGRESS);
        progress->setRange(0, 100000);
        std::vector<std::tuple<int, QString, bool, bool>> shown;
        connect(progress, &QProgressBar::valueChanged, &dlg, [&](int pos) {
            shown.emplace_back(pos, dlg.Text(IDC_STATUS), dlg.Control(IDC_ALPHABETIZE)->isEnabled(),
                               dlg.IsChecked(IDC_BY_FREQUENCY));
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
                dlg.AccessSelection([&] { readStatus.push_back(dlg.Text(IDC_STATUS)); });
            }
            finished = true;
        });
        QTRY_VERIFY_WITH_TIMEOUT(finished, 60000);
        job.join();
        QCOMPARE(misreads, 0);
        QCOMPARE(int(readStatus.size()), kGroups / 8);
        for (int i = 0; i < kGroups / 8; ++i) QCOMPARE(readStatus[i], QString::number(8 * i + 8));
        int lastOfGroup = 0, previous = 0;
        for (const auto& [pos, text, enabled, checked] : shown) {
            const int g = pos / 10;
            QVERIFY(pos > std::exchange(previous, pos));
            QCOMPARE(text, QString::number(g));
            QCOMPARE(enabled, g % 2 == 0);
            QCOMPARE(checked, g % 3 == 0);
            lastOfGroup += pos % 10 == 4;
        }
        QCOMPARE(lastOfGroup, kGroups);
    }

    // A long run: pressed twice it runs once to the end; closed or destroyed
    // meanwhile, it stops. Never partial: the list as it was or the whole
    // result, and no temporary file left.
    void longRunEndsWholeOrNotAtAll_data() {
        QTest::addColumn<int>("how");
        QTest::newRow("pressed twice, to the end") << 0;
        QTest::newRow("escape") << 1;
        QTest::newRow("close box") << 2;
        QTest::newRow("destroyed") << 3;
        QTest::newRow("escape with requests queued") << 4;
    }
    void longRunEndsWholeOrNotAtAll() {
        QFETCH(int, how);
        QTemporaryDir dir;
        const QString list = dir.filePath(QStringLiteral("long.txt"));
        const QByteArray original = Words(300000, 270000, "\n");
        WriteFile(list, original);
        auto dlg = std::make_unique<TestMainDlg>();
        dlg->show();
        dlg->Choose(IDC_BROWSE_INPUT, {list});
        // At the first position shown, waits until the job has asked for more
        // positions than that one (it may have done so already) without
        // waiting for the window, then closes it from inside that request.
        TestMainDlg& window = *dlg;
        if (how == 4)
            connect(window.Get<QProgressBar>(IDC_PROGRESS), &QProgressBar::valueChanged, &window,
                    [&window, done = false]() mutable {
                        if (std::exchange(done, true)) return;
                        const int wanted = 4;
                        QDeadlineTimer patience(20000);
                        while (window.positions < wanted && !patience.hasExpired())
                            QThread::yieldCurrentThread();
                        QVERIFY2(window.positions >= wanted, "the job waited for the window");
                        QTest::keyClick(&window, Qt::Key_Escape);
                    });
        dlg->Get(IDC_GO)->click();
        if (how == 0) RunToEnd(*dlg);  // a second press while the job runs
        if (how == 1) QTest::keyClick(dlg.get(), Qt::Key_Escape);
        if (how == 2) dlg->close();
        if (how == 3) dlg.reset();
        if (how == 4) QTRY_VERIFY_WITH_TIMEOUT(!dlg->isVisible(), 60000);
        if (dlg) QVERIFY(!dlg->HasJob() && dlg->isVisible() == (how == 0));
        if (how == 0) {  // one job only: a second would have asked for new files
            QCOMPARE(dlg->Text(IDC_STATUS).section(' ', 0, 3),
                     QStringLiteral("300000 read, 30000 dupes,"));
            QCOMPARE(dlg->Text(IDC_INPUT_CAPTION), QStringLiteral("long.txt"));
        }
        dlg.reset();
        const QByteArray after = ReadFile(list);
        if (how == 0 || after != original) QCOMPARE(after, Words(270000, 270000, "\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("long.txt")});
    }

    // Enter never closes the window: on a check box it clicks it, in the
    // line's box it presses go once go may be pressed.
    void enterNeverClosesTheWindow() {
        TestMainDlg dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        dlg.Get(IDC_DEL_SINGLE)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_VERIFY(dlg.IsChecked(IDC_DEL_SINGLE));
        dlg.Control(IDC_SINGLE_TEXT)->setFocus();
        QTest::keyClicks(dlg.Control(IDC_SINGLE_TEXT), QStringLiteral("drop"));
        QTest::keyClick(dlg.Control(IDC_SINGLE_TEXT), Qt::Key_Enter);
        QVERIFY(dlg.isVisible() && !dlg.HasJob());
        const QString list = m_dir.filePath(QStringLiteral("enter.txt"));
        WriteFile(list, "keep\ndrop\n");
        dlg.Choose(IDC_BROWSE_INPUT, {list});
        dlg.Control(IDC_SINGLE_TEXT)->setFocus();
        QTest::keyClick(dlg.Control(IDC_SINGLE_TEXT), Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(ReadFile(list), QByteArray("keep\r\n"), 20000);
        QVERIFY(dlg.isVisible());
    }

    // Every control has a name a screen reader can say, without the padding
    // and arrows of the captions; Tab follows the layout.
    void controlsAreNamedAndTabbedInTheirVisualOrder() {
        TestMainDlg dlg;
        const std::map<int, QString> names{{IDC_BROWSE_INPUT, "choose input lists"},
                                           {IDC_BROWSE_REF, "choose reference lists"},
                                           {IDC_GO, "go"},
                                           {IDC_SINGLE_TEXT, "line to delete"},
                                           {IDC_PROGRESS, "progress"},
                                           {IDC_INPUT_CAPTION, "drop file / select"},
                                           {IDC_REF_CAPTION, "select"},
                                           {IDC_USE_REF, "use ref list(s)"},
                                           {IDC_STATUS, "Lintrim 4.1 - word lists, cleaned fast"}};
        for (const auto& [id, name] : names)
            QCOMPARE(
                QAccessible::queryAccessibleInterface(dlg.Control(id))->text(QAccessible::Name),
                name);
        dlg.Choose(IDC_BROWSE_INPUT, {"/x/a.txt", "/x/b.txt"});
        QCOMPARE(QAccessible::queryAccessibleInterface(dlg.Control(IDC_INPUT_CAPTION))
                     ->text(QAccessible::Name),
                 QStringLiteral("2 wordlists"));
        const Ids order{IDC_BROWSE_INPUT, IDC_GO,          IDC_USE_REF,      IDC_BROWSE_REF,
                        IDC_DEL_SINGLE,   IDC_SINGLE_TEXT, IDC_BY_FREQUENCY, IDC_ALPHABETIZE};
        dlg.Get(IDC_GO)->setEnabled(true);
        dlg.Get(IDC_BROWSE_REF)->setEnabled(true);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        dlg.Control(order.front())->setFocus(Qt::TabFocusReason);
        for (const int id : order) {
            QCOMPARE(QApplication::focusWidget(), dlg.Control(id));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
    }

    // Text on the skin's face reads at 4.5:1 or more, enabled or not,
    // whatever palette the desktop gives the program (a dark one here).
    void skinTextReadsUnderAnyTheme() {
        const QPalette desktop = QApplication::palette();
        QPalette dark(QColor(50, 50, 50), QColor(30, 30, 30));
        for (const auto group : {QPalette::Active, QPalette::Disabled})
            for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
                dark.setColor(group, role, QColor(220, 220, 220));
        QApplication::setPalette(dark);
        TestMainDlg dlg;
        QApplication::setPalette(desktop);
        const QColor face = dlg.BackgroundColor();
        for (QWidget* control : dlg.findChildren<QWidget*>())
            for (const auto group : {QPalette::Active, QPalette::Disabled})
                for (const auto role : {QPalette::WindowText, QPalette::ButtonText})
                    QVERIFY2(Contrast(control->palette().color(group, role), face) >= 4.5,
                             qPrintable(control->metaObject()->className()));
    }
};

QTEST_MAIN(MainDlgTest)
#include "tst_MainDlg.moc"
