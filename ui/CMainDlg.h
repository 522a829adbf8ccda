// The program's only window: the chosen input and reference lists, the four
// options and the line to delete, and the "go !" button that starts one job
// on a worker thread. While a job runs, the job drives the window through
// JobWindow; every request is carried out on the window's own thread.
#pragma once

#include <QCheckBox>
#include <QEventLoop>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <atomic>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "CFileChooser.h"
#include "CSkinButton.h"
#include "CVelDialog.h"
#include "JobWindow.h"

enum DialogId : int { IDD_MAIN = 102 };

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

    void done(int result) override;

signals:
    // Emitted by the worker; connected queued to the window's own thread.
    void RequestPosted();
    void JobEnded();

protected:
    bool OnInitDialog();
    void OnGo();
    void OnBrowseInput();
    void OnDropFiles(const QStringList& paths);
    void OnBrowseRef();
    void OnUseRef();
    void OnByFrequency();
    void OnAlphabetize();
    void OnDelSingle();
    void OnHelp();
    void OnPaint(QPaintEvent* event);
    QIcon OnQueryDragIcon() const { return m_hIcon; }

    void paintEvent(QPaintEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void CreateControls();
    void PlaceControls();
    void ConnectHandlers();
    void SetInputCaptionForCount();
    void SetRefCaptionForCount();
    void EnableGoForInputAndRefs();
    void OnJobEnded();
    void ReapFinishedWorker();
    // Posts `fn` to the window's thread and waits until it has run there.
    void RunOnGuiThread(const std::function<void()>& fn);
    void ServeRequest();
    // Runs `fn` on the window's thread: directly there, else as a blocking
    // posted call the worker waits for. Throws JobCancelled once the window is closing.
    template <typename Fn>
    auto OnGuiThread(Fn&& fn) -> decltype(fn());
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

    // The worker of the running job. Started and joined on the window's thread
    // only; m_workerDone is its last write, so joining after it never waits long.
    std::thread m_worker;
    std::atomic<bool> m_workerDone{false};
    std::atomic<bool> m_closing{false};
    // The worker's one request in flight, if any (guarded by m_requestMutex).
    std::mutex m_requestMutex;
    std::condition_variable m_requestDone;
    const std::function<void()>* m_request = nullptr;
    QEventLoop* m_closeWait = nullptr;
};
