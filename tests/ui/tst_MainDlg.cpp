// The main window before any job: its layout and start-up state, choosing
// through both choosers and dropping files with the captions and "go !" that
// follow, the name-buffer limits, and the option interlocks.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>

#include "MainDlgTestKit.h"
#include "NameBuffer.h"

class MainDlgTest : public QObject {
    Q_OBJECT

private:
    QString Caption(TestMainDlg& dlg, int id) { return dlg.Get<QLabel>(id)->text(); }
    bool Enabled(TestMainDlg& dlg, int id) { return dlg.Control(id)->isEnabled(); }
    QTemporaryDir m_dir;

private slots:
    void startsWithTheTemplateState() {
        TestMainDlg dlg;
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Lintrim 4.1"));
        QVERIFY(!Enabled(dlg, IDC_GO));
        QVERIFY(!Enabled(dlg, IDC_STATUS));
        QVERIFY(!Caption(dlg, IDC_STATUS).isEmpty());
        QVERIFY(!Enabled(dlg, IDC_BROWSE_REF));
        QVERIFY(!Enabled(dlg, IDC_REF_CAPTION));
        QCOMPARE(Caption(dlg, IDC_INPUT_CAPTION), QStringLiteral("  drop file / select --->"));
        QCOMPARE(Caption(dlg, IDC_REF_CAPTION), QStringLiteral("         select --->"));
        auto* edit = dlg.Get<QLineEdit>(IDC_SINGLE_TEXT);
        QVERIFY(edit->isReadOnly());
        QVERIFY(!edit->acceptDrops());
        QVERIFY(dlg.acceptDrops());
        QVERIFY(dlg.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!(dlg.windowFlags() & Qt::WindowMaximizeButtonHint));
        for (int id : {IDC_BY_FREQUENCY, IDC_USE_REF, IDC_ALPHABETIZE, IDC_DEL_SINGLE}) {
            QVERIFY(Enabled(dlg, id));
            QVERIFY(!dlg.IsChecked(id));
        }
    }

    void editBoxTakesFortyCharacters() {
        TestMainDlg dlg;
        dlg.show();
        dlg.Get<QCheckBox>(IDC_DEL_SINGLE)->click();
        auto* edit = dlg.Get<QLineEdit>(IDC_SINGLE_TEXT);
        QTest::keyClicks(edit, QString(45, QLatin1Char('x')));
        QCOMPARE(edit->text().size(), 40);
        QTest::keyClick(edit, Qt::Key_Return);  // OK: keeps the line, closes
        QCOMPARE(dlg.m_singleLine, std::string(40, 'x'));
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
    }

    void layoutIsInDialogUnitsAndCutsNoText() {
        TestMainDlg dlg;
        dlg.show();
        if (QFontInfo(dlg.font()).family() != QStringLiteral("DejaVu Sans"))
            QSKIP("DejaVu Sans is not installed");
        // DejaVu Sans 7 pt at 96 dpi has dialog base units 6 x 10.
        QCOMPARE(dlg.size(), QSize(245, 104));
        QCOMPARE(dlg.Control(IDC_GO)->geometry(), QRect(207, 1, 33, 33));
        QCOMPARE(dlg.Control(IDC_SINGLE_TEXT)->geometry(), QRect(98, 39, 143, 13));
        for (QWidget* child : dlg.findChildren<QWidget*>()) {
            if (!qobject_cast<QLabel*>(child) && !qobject_cast<QCheckBox*>(child)) continue;
            QVERIFY2(child->sizeHint().width() <= child->width(),
                     qPrintable(child->property("text").toString()));
            QVERIFY(child->fontMetrics().height() <= child->height());
            QVERIFY(QRect(QPoint(), dlg.size()).contains(child->geometry()));
        }
    }

    void choosingInputListsShowsNameThenCount() {
        TestMainDlg dlg;
        const QString first = m_dir.filePath("first.txt");
        dlg.Choose(IDC_BROWSE_INPUT, {first});
        QCOMPARE(Caption(dlg, IDC_INPUT_CAPTION), QStringLiteral("first.txt"));
        QVERIFY(Enabled(dlg, IDC_GO));
        dlg.Choose(IDC_BROWSE_INPUT, {first});
        QCOMPARE(Caption(dlg, IDC_INPUT_CAPTION), QStringLiteral("2 wordlists "));
        QCOMPARE(dlg.m_inputFiles, (std::vector<std::string>(2, first.toStdString())));
        QCOMPARE(dlg.m_inputCount, 2);
        const CChooserRequest& asked = dlg.chooser->requests.front();
        QCOMPARE(asked.m_filters, (QStringList{"Single/Combo wordlists (*.txt)", "All Files (*)"}));
        QCOMPARE(asked.m_defaultSuffix, QStringLiteral("txt"));
    }

    void cancelledOrOverlongChoiceChangesNothing() {
        TestMainDlg dlg;
        dlg.Choose(IDC_BROWSE_INPUT, {});
        // Folder "/d" and names, each terminated, and one more: 3 + 2 * 128 + 1 = 260.
        const QString name127 = QString(123, QLatin1Char('n')) + ".txt";
        const QString name128 = QString(124, QLatin1Char('n')) + ".txt";
        dlg.Choose(IDC_BROWSE_INPUT, {"/d/" + name128, "/d/" + name128});
        QCOMPARE(dlg.m_inputCount, 0);
        QVERIFY(!Enabled(dlg, IDC_GO));
        QCOMPARE(Caption(dlg, IDC_INPUT_CAPTION), QStringLiteral("  drop file / select --->"));
        dlg.Choose(IDC_BROWSE_INPUT, {"/d/" + name127, "/d/" + name127});
        QCOMPARE(dlg.m_inputCount, 2);
        QCOMPARE(NameBufferLength({QString(259, QLatin1Char('p'))}), 260);
    }

    void choosingReferenceListsNeedsInputForGo() {
        TestMainDlg dlg;
        dlg.Get<QCheckBox>(IDC_USE_REF)->click();
        QVERIFY(Enabled(dlg, IDC_BROWSE_REF) && Enabled(dlg, IDC_REF_CAPTION));
        dlg.Choose(IDC_BROWSE_REF, {m_dir.filePath("r1.txt")});
        QCOMPARE(Caption(dlg, IDC_REF_CAPTION), QStringLiteral("1 ref file"));
        QVERIFY(!Enabled(dlg, IDC_GO));
        dlg.Choose(IDC_BROWSE_REF, {m_dir.filePath("r2.txt"), m_dir.filePath("r3.txt")});
        QCOMPARE(Caption(dlg, IDC_REF_CAPTION), QStringLiteral("3 ref files "));
        QCOMPARE(dlg.m_refCount, 3);
        QCOMPARE(dlg.chooser->requests.back().m_filters.front(),
                 QStringLiteral("Reference list (*.txt)"));
        // A 5000-character buffer takes what the input chooser could not.
        dlg.Choose(IDC_BROWSE_REF, {"/" + QString(4998, QLatin1Char('r'))});
        QCOMPARE(dlg.m_refCount, 4);
        dlg.Choose(IDC_BROWSE_REF, {"/" + QString(4999, QLatin1Char('r'))});
        QCOMPARE(dlg.m_refCount, 4);
        dlg.Choose(IDC_BROWSE_INPUT, {m_dir.filePath("in.txt")});
        QVERIFY(Enabled(dlg, IDC_GO));
    }

    void dropsAppendAnythingLocalInOrder() {
        TestMainDlg dlg;
        QVERIFY(DropFiles(dlg, {"/data/lists/one.lst"}));
        QCOMPARE(Caption(dlg, IDC_INPUT_CAPTION), QStringLiteral("one.lst"));
        QVERIFY(Enabled(dlg, IDC_GO));
        dlg.Choose(IDC_BROWSE_INPUT, {m_dir.filePath("two.txt")});
        QVERIFY(DropFiles(dlg, {m_dir.path(), "/a/b.dic", "/a/c"}));
        QCOMPARE(Caption(dlg, IDC_INPUT_CAPTION), QStringLiteral("5 wordlists "));
        QCOMPARE(dlg.m_inputFiles.at(2), m_dir.path().toStdString());
        QCOMPARE(dlg.m_inputFiles.at(4), std::string("/a/c"));
        const QString longPath = "/" + QString(1200, QLatin1Char('l'));
        QVERIFY(DropFiles(dlg, {longPath}));
        QCOMPARE(dlg.m_inputFiles.back(), longPath.left(999).toStdString());
        QCOMPARE(dlg.m_inputCount, 6);
        QVERIFY(!DropPaths(dlg, {QUrl("https://example.org/list.txt")}));
        QCOMPARE(dlg.m_inputCount, 6);
    }

    void dropWithReferenceOptionNeedsReferenceLists() {
        TestMainDlg dlg;
        dlg.Get<QCheckBox>(IDC_USE_REF)->click();
        QVERIFY(DropFiles(dlg, {"/a/in.txt"}));
        QVERIFY(!Enabled(dlg, IDC_GO));
        dlg.Choose(IDC_BROWSE_REF, {"/a/ref.txt"});
        QVERIFY(Enabled(dlg, IDC_GO));
        QVERIFY(DropFiles(dlg, {"/a/in2.txt"}));
        QVERIFY(Enabled(dlg, IDC_GO));
        // The chooser enables go whatever the reference option says.
        TestMainDlg other;
        other.Get<QCheckBox>(IDC_USE_REF)->click();
        other.Choose(IDC_BROWSE_INPUT, {"/a/in.txt"});
        QVERIFY(Enabled(other, IDC_GO));
    }

    void orderOptionsExcludeEachOther() {
        TestMainDlg dlg;
        auto* freq = dlg.Get<QCheckBox>(IDC_BY_FREQUENCY);
        auto* alpha = dlg.Get<QCheckBox>(IDC_ALPHABETIZE);
        freq->click();
        alpha->click();
        QVERIFY(alpha->isChecked() && !freq->isChecked());
        freq->click();
        QVERIFY(freq->isChecked() && !alpha->isChecked());
        freq->setChecked(true);
        alpha->setChecked(true);
        alpha->click();  // now unchecked: still unchecks the other
        QVERIFY(!alpha->isChecked() && !freq->isChecked());
    }

    void singleLineAndReferenceOptionsExcludeEachOther() {
        TestMainDlg dlg;
        dlg.Choose(IDC_BROWSE_INPUT, {"/a/in.txt"});
        auto* useRef = dlg.Get<QCheckBox>(IDC_USE_REF);
        auto* delSingle = dlg.Get<QCheckBox>(IDC_DEL_SINGLE);
        auto* freq = dlg.Get<QCheckBox>(IDC_BY_FREQUENCY);
        auto* edit = dlg.Get<QLineEdit>(IDC_SINGLE_TEXT);
        useRef->click();
        QVERIFY(!Enabled(dlg, IDC_GO));
        dlg.Choose(IDC_BROWSE_REF, {"/a/r.txt"});
        freq->click();
        delSingle->click();
        QVERIFY(!useRef->isChecked() && !freq->isChecked() && !freq->isEnabled());
        QVERIFY(!Enabled(dlg, IDC_BROWSE_REF) && !Enabled(dlg, IDC_REF_CAPTION));
        QVERIFY(!edit->isReadOnly());
        QVERIFY(Enabled(dlg, IDC_GO));  // the single-line handler leaves go alone
        delSingle->click();
        QVERIFY(freq->isEnabled() && !edit->isReadOnly());
        delSingle->click();
        useRef->click();
        QVERIFY(!delSingle->isChecked() && edit->isReadOnly());
        QVERIFY(Enabled(dlg, IDC_GO) && Enabled(dlg, IDC_BROWSE_REF));
        useRef->click();
        QVERIFY(!Enabled(dlg, IDC_BROWSE_REF) && !Enabled(dlg, IDC_REF_CAPTION));
        QCOMPARE(Caption(dlg, IDC_REF_CAPTION), QStringLiteral("1 ref file"));
        QCOMPARE(dlg.m_refCount, 1);
        QVERIFY(Enabled(dlg, IDC_GO));
    }

    void helpKeyShowsHowTo() {
        TestMainDlg dlg;
        dlg.show();
        dlg.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        QTest::keyClick(&dlg, Qt::Key_F1);
        QTRY_VERIFY(QToolTip::isVisible());
        QVERIFY(QToolTip::text().contains(QStringLiteral("go !")));
    }
};

QTEST_MAIN(MainDlgTest)
#include "tst_MainDlg.moc"
