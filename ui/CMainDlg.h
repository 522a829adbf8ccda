// The program's only window: the chosen input and reference lists, the four
// options and the line to delete, and the "go !" button that starts one job
// on a worker thread. While a job runs, the job drives the window through
// JobWindow; every request is carried out on the window's own thread, in the
// order the job made them, and only those that read the window make it wait.
#pragma once

#include <QCheckBox>
#include <QEventLoop>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <atomic>
#include <map>
#include <memory>
#include <thread>

#include "CFileChooser.h"
#include "CRequestQueue.h"
#include "CSkinButton.h"
#include "CVelDialog.h"
#include "JobWindow.h"
#include "WindowSettings.h"
#include "lintrim/RunControl.h"

class CMainDlg : public CVelDialog, public JobWindow {
    Q_OBJECT

public:
    explicit CMainDlg(QWidget* parent = nullptr);
    ~CMainDlg() override;

    // Tests answer the choosers themselves; the default is Qt's file dialog.
    void SetFileChooser(std::unique_ptr<CFileChooser> chooser);
    // The control with that identifier, or null.
    QWidget* Control(int controlId) const;
    // Whether a job's worker thread exists (started and not yet joined).
    bool HasJob() const { return m_worker.joinable(); }
    // Stops a running job at its next request and waits for its worker,
    // serving its requests meanwhile. A class that overrides a request calls
    // this in its own destructor, before its overrides are gone.
    void StopJob();
    // A dialog unit rectangle in pixels of this window's font.
    QRect DialogUnitsToPixels(const QRect& units) const;
    // The lists named on the command line, chosen as a drop chooses them.
    void TakeStartPaths(const std::vector<std::string>& paths);

    // JobWindow, callable from the worker and from the window's own thread.
    void SetStatusText(const std::string& text) override;
    void SetCaptionText(int captionId, const std::string& text) override;
    void SetProgressRange(int low, int high) override;
    void SetProgressPos(int pos) override;
    void EnableControl(int controlId, bool enabled) override;
    void SetSingleTextReadOnly(bool readOnly) override;
    void AcceptDroppedFiles(bool accept) override;
    bool IsChecked(int checkBoxId) override;
    void SetChecked(int checkBoxId, bool checked) override;
    std::string GetSingleText() override;
    void AccessSelection(const std::function<void()>& access) override;
    void ShowResults(const std::vector<lintrim::ListOutcome>& outcomes) override;

    // The options the runs take from now on (the options dialog sets them).
    void SetSettings(const WindowSettings& settings);
    const WindowSettings& Settings() const { return m_settings; }
    // The results of the last run, a list a line.
    QString ResultsText() const;

    void done(int result) override;

signals:
    // Emitted by the worker; connected queued to the window's own thread.
    void RequestPosted();
    void JobEnded();

protected:
    bool OnInitDialog();
    void OnGo();
    void OnBrowseInput();
    void OnDropFiles(const std::vector<std::string>& paths);
    void OnBrowseRef();
    void OnUseRef();
    void OnByFrequency();
    void OnAlphabetize();
    void OnDelSingle();
    void OnHelp();
    // The menu's entries: the options dialog, a stop of the running job,
    // the results of the last run.
    void OnOptions();
    void OnStop();
    void OnResults();
    void OnPaint(QPaintEvent* event);
    QIcon OnQueryDragIcon() const { return m_hIcon; }

    void paintEvent(QPaintEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void CreateControls();
    void PlaceControls();
    void SetAccessibleTexts();
    static void SetCaption(QLabel& caption, const QString& text);
    void ConnectHandlers();
    void AddMenuShortcuts();
    void ShowMenu(const QPoint& at);
    void SetInputCaptionForCount();
    void SetRefCaptionForCount();
    void EnableGoForInputAndRefs();
    // Shows the paths of a chooser's answer that could not be taken.
    void RefuseNames(const QStringList& refused, const char* statusText);
    void OnJobEnded();
    void ReapFinishedWorker();
    // Runs `change` directly on the window's thread, else queues it there.
    // Throws JobCancelled once the window is closing.
    void Change(std::function<void()> change, bool replaceable = false);
    // Runs `read` on the window's thread and returns its result: directly
    // there, else after what is queued, while the worker waits.
    template <typename Fn>
    auto Read(Fn&& read) -> decltype(read());
    QCheckBox* CheckBox(int checkBoxId) const;

    // Controls, owned by the dialog as their Qt parent.
    QLineEdit* m_singleText = nullptr;
    QCheckBox* m_delSingle = nullptr;
    QCheckBox* m_byFrequency = nullptr;
    QCheckBox* m_alphabetize = nullptr;
    QCheckBox* m_useRef = nullptr;
    CSkinButton* m_browseInput = nullptr;
    CSkinButton* m_browseRef = nullptr;
    QLabel* m_status = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_inputCaption = nullptr;
    QLabel* m_refCaption = nullptr;
    CSkinButton* m_go = nullptr;
    std::map<int, QWidget*> m_controls;

    QIcon m_hIcon;
    std::unique_ptr<CFileChooser> m_chooser;
    WindowSettings m_settings;
    // The running job's control, which a stop asks; made anew for each job.
    std::unique_ptr<lintrim::RunControl> m_control;
    std::vector<lintrim::ListOutcome> m_results;  // of the last run

    // The worker of the running job. Started and joined on the window's thread
    // only; m_workerDone is its last write, so joining after it never waits long.
    std::thread m_worker;
    std::atomic<bool> m_workerDone{false};
    // The worker's requests; RequestPosted wakes this thread to serve them.
    CRequestQueue m_requests{[this] { emit RequestPosted(); }};
    QEventLoop* m_closeWait = nullptr;
};
