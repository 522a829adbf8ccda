// The main window as a job's window, and the job's worker thread.
//
// Every request runs on the window's thread: directly when it comes from
// there, otherwise through the request queue. A change of the window is
// queued and the worker goes on; a read waits for everything queued before
// it and for itself. The window's thread never waits for the worker, with one
// exception: closing the window during a run. Then the queued changes are
// dropped, every further request throws JobCancelled, the job stops (a list
// being rewritten stays as it was, because it is replaced only by a final
// rename), and the window waits for the worker in a local event loop.
#include <QThread>

#include "CMainDlg.h"
#include "ControlIds.h"
#include "WindowJob.h"

using namespace lintrim;

void CMainDlg::Change(std::function<void()> change, bool replaceable) {
    if (QThread::currentThread() == thread())
        change();
    else
        m_requests.Post(std::move(change), replaceable);
}

template <typename Fn>
auto CMainDlg::Read(Fn&& read) -> decltype(read()) {
    if (QThread::currentThread() == thread()) return read();
    using Result = decltype(read());
    if constexpr (std::is_void_v<Result>) {
        m_requests.PostAndWait(read);
    } else {
        Result result{};
        m_requests.PostAndWait([&] { result = read(); });
        return result;
    }
}

namespace {
// A text wider than the status line starts at its left edge, so that the
// status text is read whole and only the end of its cause is cut; the whole
// text is then the line's tool tip, above the results of the last run.
void ShowStatus(QLabel& status, const QString& text, const QString& results) {
    const bool fits = status.fontMetrics().horizontalAdvance(text) <= status.contentsRect().width();
    status.setAlignment(fits ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
    const QString whole = fits ? QString() : text;
    status.setToolTip(whole.isEmpty() || results.isEmpty() ? whole + results
                                                           : whole + QLatin1Char('\n') + results);
    status.setText(text);
}
}  // namespace

// The changes capture their arguments by value: they run after the worker
// has gone on.
void CMainDlg::SetStatusText(const std::string& text) {
    Change([this, text] { ShowStatus(*m_status, QString::fromStdString(text), ResultsText()); });
}

void CMainDlg::SetCaptionText(int captionId, const std::string& text) {
    Change([this, captionId, text] {
        if (auto* caption = qobject_cast<QLabel*>(Control(captionId)))
            SetCaption(*caption, QString::fromStdString(text));
    });
}

void CMainDlg::SetProgressRange(int low, int high) {
    Change([this, low, high] { m_progress->setRange(low, high); });
}

void CMainDlg::SetProgressPos(int pos) {
    Change([this, pos] { m_progress->setValue(pos); }, true);
}

void CMainDlg::EnableControl(int controlId, bool enabled) {
    Change([this, controlId, enabled] {
        if (QWidget* control = Control(controlId)) control->setEnabled(enabled);
    });
}

void CMainDlg::SetSingleTextReadOnly(bool readOnly) {
    Change([this, readOnly] { m_singleText->setReadOnly(readOnly); });
}

void CMainDlg::AcceptDroppedFiles(bool accept) {
    Change([this, accept] { setAcceptDrops(accept); });
}

bool CMainDlg::IsChecked(int checkBoxId) {
    return Read([&] {
        const QCheckBox* box = CheckBox(checkBoxId);
        return box != nullptr && box->isChecked();
    });
}

void CMainDlg::SetChecked(int checkBoxId, bool checked) {
    Change([this, checkBoxId, checked] {
        if (QCheckBox* box = CheckBox(checkBoxId)) box->setChecked(checked);
    });
}

std::string CMainDlg::GetSingleText() {
    return Read([&] { return m_singleText->text().toStdString(); });
}

void CMainDlg::AccessSelection(const std::function<void()>& access) {
    Read([&] { access(); });
}

void CMainDlg::OnGo() {
    ReapFinishedWorker();
    // A press while a job exists (before it has disabled go, or while it
    // ends) starts nothing.
    if (HasJob()) return;
    JobKind job = JobKind::kDedupe;
    if (IsChecked(IDC_USE_REF))
        job = JobKind::kReferences;
    else if (IsChecked(IDC_DEL_SINGLE))
        job = JobKind::kSingleLine;
    m_workerDone = false;
    m_control = std::make_unique<RunControl>();
    m_worker = std::thread([this, job, options = m_settings.Options(), control = m_control.get()] {
        WindowJob(*this, job, options, control);
        m_workerDone = true;
        // Queued: the window's thread joins the worker when it gets there.
        emit JobEnded();
    });
}

void CMainDlg::ReapFinishedWorker() {
    if (!m_worker.joinable() || !m_workerDone.load()) return;
    // What the job queued last is shown before the job counts as ended.
    m_requests.Serve();
    m_worker.join();
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
    // What the job queued is dropped, and its next request throws; the
    // worker's end is reported by OnJobEnded, which this loop serves.
    m_requests.Close();
    QEventLoop wait;
    m_closeWait = &wait;
    while (HasJob()) wait.exec(QEventLoop::ExcludeUserInputEvents);
    m_closeWait = nullptr;
    m_requests.Reopen();
}

void CMainDlg::done(int result) {
    // A nested close (during the wait below) is ignored; the first one ends.
    if (m_closeWait != nullptr) return;
    StopJob();
    // OK (Enter where no button takes it) keeps the typed line, as a run would.
    if (result == QDialog::Accepted) m_singleLine = m_singleText->text().toStdString();
    CVelDialog::done(result);
}
