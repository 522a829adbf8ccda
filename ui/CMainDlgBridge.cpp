// The main window as a job's window, and the job's worker thread.
//
// Every request runs on the window's thread: directly when it comes from
// there, otherwise posted to it while the worker waits for it to be done. The
// window's thread never waits for the worker, with one exception: closing
// the window during a run. Then every further request throws JobCancelled,
// the job stops (a list being rewritten stays as it was, because it is
// replaced only by a final rename), and the window waits for the worker in a
// local event loop, which keeps serving the calls already on their way.
#include <QThread>

#include "CMainDlg.h"
#include "ControlIds.h"
#include "DedupeJob.h"
#include "RefListJob.h"
#include "SingleLineJob.h"

// The worker publishes its request under a standard mutex and signals the
// window's thread through a queued connection made on that thread; the
// window's thread takes the request under the same mutex. So the order of
// every access is visible to ThreadSanitizer, which cannot see inside Qt's
// own event queue, and no memory the worker allocates is read by the other
// thread before the mutex orders it.
void CMainDlg::RunOnGuiThread(const std::function<void()>& fn) {
    {
        const std::lock_guard lock(m_requestMutex);
        m_request = &fn;
    }
    emit RequestPosted();
    // The window outlives the worker (it waits for it when closing), so the
    // request is always served.
    std::unique_lock lock(m_requestMutex);
    m_requestDone.wait(lock, [this] { return m_request == nullptr; });
}

void CMainDlg::ServeRequest() {
    const std::function<void()>* request = nullptr;
    {
        const std::lock_guard lock(m_requestMutex);
        request = m_request;
    }
    if (request == nullptr) return;
    (*request)();
    {
        const std::lock_guard lock(m_requestMutex);
        m_request = nullptr;
    }
    m_requestDone.notify_all();
}

template <typename Fn>
auto CMainDlg::OnGuiThread(Fn&& fn) -> decltype(fn()) {
    if (QThread::currentThread() == thread()) return fn();
    if (m_closing.load()) throw JobCancelled{};
    using Result = decltype(fn());
    if constexpr (std::is_void_v<Result>) {
        RunOnGuiThread(fn);
    } else {
        Result result{};
        RunOnGuiThread([&] { result = fn(); });
        return result;
    }
}

void CMainDlg::SetStatusText(const std::string& text) {
    OnGuiThread([&] { m_status->setText(QString::fromStdString(text)); });
}

void CMainDlg::SetCaptionText(int captionId, const std::string& text) {
    OnGuiThread([&] {
        if (auto* caption = qobject_cast<QLabel*>(Control(captionId)))
            caption->setText(QString::fromStdString(text));
    });
}

void CMainDlg::SetProgressRange(int low, int high) {
    OnGuiThread([&] { m_progress->setRange(low, high); });
}

void CMainDlg::SetProgressPos(int pos) {
    OnGuiThread([&] { m_progress->setValue(pos); });
}

void CMainDlg::EnableControl(int controlId, bool enabled) {
    OnGuiThread([&] {
        if (QWidget* control = Control(controlId)) control->setEnabled(enabled);
    });
}

void CMainDlg::SetSingleTextReadOnly(bool readOnly) {
    OnGuiThread([&] { m_singleText->setReadOnly(readOnly); });
}

void CMainDlg::AcceptDroppedFiles(bool accept) {
    OnGuiThread([&] { setAcceptDrops(accept); });
}

bool CMainDlg::IsChecked(int checkBoxId) {
    return OnGuiThread([&] {
        const QCheckBox* box = CheckBox(checkBoxId);
        return box != nullptr && box->isChecked();
    });
}

void CMainDlg::SetChecked(int checkBoxId, bool checked) {
    OnGuiThread([&] {
        if (QCheckBox* box = CheckBox(checkBoxId)) box->setChecked(checked);
    });
}

std::string CMainDlg::GetSingleText() {
    return OnGuiThread([&] { return m_singleText->text().toStdString(); });
}

void CMainDlg::AccessSelection(const std::function<void()>& access) {
    OnGuiThread([&] { access(); });
}

void CMainDlg::OnGo() {
    ReapFinishedWorker();
    // A press while a job exists (before it has disabled go, or while it
    // ends) starts nothing.
    if (HasJob()) return;
    int (*job)(JobWindow&) = &DedupeJob;
    if (IsChecked(IDC_USE_REF))
        job = &RefListJob;
    else if (IsChecked(IDC_DEL_SINGLE))
        job = &SingleLineJob;
    m_workerDone = false;
    m_worker = std::thread([this, job] {
        job(*this);
        m_workerDone = true;
        // Queued: the window's thread joins the worker when it gets there.
        emit JobEnded();
    });
}

void CMainDlg::ReapFinishedWorker() {
    if (m_worker.joinable() && m_workerDone.load()) m_worker.join();
}

void CMainDlg::OnJobEnded() {
    ReapFinishedWorker();
    // Reference lists chosen during a reference run outlive it; the caption
    // the run reset to "choose new" names them again.
    if (!HasJob() && m_refCount > 0) SetRefCaptionForCount();
    if (m_closeWait != nullptr && !HasJob()) m_closeWait->quit();
}

void CMainDlg::StopJob() {
    ReapFinishedWorker();
    if (!HasJob() || m_closeWait != nullptr) return;
    m_closing = true;
    // The worker's end is reported by OnJobEnded, which this loop serves
    // together with any request the worker made before it saw the flag.
    QEventLoop wait;
    m_closeWait = &wait;
    while (HasJob()) wait.exec(QEventLoop::ExcludeUserInputEvents);
    m_closeWait = nullptr;
    m_closing = false;
}

void CMainDlg::done(int result) {
    // A nested close (during the wait below) is ignored; the first one ends.
    if (m_closeWait != nullptr) return;
    StopJob();
    // OK (Enter where no button takes it) keeps the typed line, as a run would.
    if (result == QDialog::Accepted) m_singleLine = m_singleText->text().toStdString();
    CVelDialog::done(result);
}
