// The Windows window as a job's window, and the job's worker thread.
//
// Every request runs on the window's thread: directly when it comes from
// there, otherwise through the request queue, which a posted message wakes.
// A change of the window is queued and the worker goes on; a read waits for
// everything queued before it and for itself. The window's thread never
// waits for the worker: a close during a run drops what is queued, makes
// every further request throw JobCancelled (the list being rewritten stays
// as it was) and destroys the window once the worker has posted its end.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>
#include <shellapi.h>

#include "Accessible.h"
#include "CWinMainDlg.h"
#include "ControlIds.h"
#include "WideText.h"
#include "WindowChoices.h"
#include "WindowEvents.h"

using namespace lintrim;

void CWinMainDlg::Change(std::function<void()> change, bool replaceable) {
    if (OnWindowThread())
        change();
    else
        m_requests.Post(std::move(change), replaceable);
}

template <typename Fn>
auto CWinMainDlg::Read(Fn&& read) -> decltype(read()) {
    if (OnWindowThread()) return read();
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
// Whether `text` fits the control's width in the control's font.
bool Fits(HWND control, const std::wstring& text) {
    RECT r;
    ::GetClientRect(control, &r);
    HDC dc = ::GetDC(control);
    HGDIOBJ old =
        ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE size{};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    ::SelectObject(dc, old);
    ::ReleaseDC(control, dc);
    return size.cx <= r.right - r.left;
}
}  // namespace

// The changes capture their arguments by value: they run after the worker
// has gone on. A text wider than the status line starts at its left edge,
// so that the status text is read whole; the whole text is then the line's
// tool tip, above the results of the last run.
void CWinMainDlg::SetStatusText(const std::string& text) {
    Change([this, text] {
        const std::wstring shown = Wide(text);
        const HWND status = Control(IDC_STATUS);
        m_statusFits = Fits(status, shown);
        m_statusTipText = m_statusFits ? std::wstring() : shown;
        ::SetWindowTextW(status, shown.c_str());
        ::InvalidateRect(status, nullptr, FALSE);
        UpdateStatusTip();
    });
}

void CWinMainDlg::SetCaptionText(int captionId, const std::string& text) {
    Change([this, captionId, text] {
        const HWND caption = Control(captionId);
        ::SetWindowTextW(caption, Wide(text).c_str());
        ::InvalidateRect(caption, nullptr, FALSE);
        SetAccessibleName(caption, Wide(SpokenCaption(text)));
    });
}

void CWinMainDlg::SetProgressRange(int low, int high) {
    Change([this, low, high] {
        ::SendMessageW(Control(IDC_PROGRESS), PBM_SETRANGE32, static_cast<WPARAM>(low), high);
    });
}

void CWinMainDlg::SetProgressPos(int pos) {
    Change([this, pos] { ::SendMessageW(Control(IDC_PROGRESS), PBM_SETPOS, pos, 0); }, true);
}

void CWinMainDlg::EnableControl(int controlId, bool enabled) {
    Change([this, controlId, enabled] {
        const HWND control = Control(controlId);
        ::EnableWindow(control, enabled);
        ::InvalidateRect(control, nullptr, FALSE);
    });
}

void CWinMainDlg::SetSingleTextReadOnly(bool readOnly) {
    Change([this, readOnly] {
        ::SendMessageW(Control(IDC_SINGLE_TEXT), EM_SETREADONLY, readOnly, 0);
    });
}

void CWinMainDlg::AcceptDroppedFiles(bool accept) {
    Change([this, accept] {
        m_acceptDrops = accept;
        ::DragAcceptFiles(Handle(), accept);
    });
}

bool CWinMainDlg::IsChecked(int checkBoxId) {
    return Read([&] { return ::IsDlgButtonChecked(Handle(), checkBoxId) == BST_CHECKED; });
}

void CWinMainDlg::SetChecked(int checkBoxId, bool checked) {
    Change([this, checkBoxId, checked] {
        ::CheckDlgButton(Handle(), checkBoxId, checked ? BST_CHECKED : BST_UNCHECKED);
    });
}

std::string CWinMainDlg::GetSingleText() {
    return Read([&] {
        const HWND box = Control(IDC_SINGLE_TEXT);
        std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(box)), L'\0');
        ::GetWindowTextW(box, text.data(), static_cast<int>(text.size() + 1));
        return Utf8(text);
    });
}

void CWinMainDlg::AccessSelection(const std::function<void()>& access) {
    Read([&] { access(); });
}

void CWinMainDlg::ShowResults(const std::vector<ListOutcome>& outcomes) {
    Change([this, outcomes] {
        m_results = outcomes;
        UpdateStatusTip();
    });
}

void CWinMainDlg::OnGo() {
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
    m_worker = std::thread([this, job, options = m_options, control = m_control.get()] {
        WindowJob(*this, job, options, control);
        m_workerDone = true;
        ::PostMessageW(Handle(), kWmJobEnded, 0, 0);
    });
}

// What the job queued last is shown before the job counts as ended.
void CWinMainDlg::OnJobEnded() {
    if (!m_worker.joinable() || !m_workerDone.load()) return;
    if (!m_closing) m_requests.Serve();
    m_worker.join();
    if (m_closing) {
        ::DestroyWindow(Handle());
        return;
    }
    // Reference lists chosen during a reference run outlive it; the caption
    // the run reset to "choose new" names them again.
    if (m_refCount > 0) SetRefCaptionForCount();
}

void CWinMainDlg::OnClose() {
    if (!HasJob()) {
        ::DestroyWindow(Handle());
        return;
    }
    if (m_closing) return;
    m_closing = true;
    m_requests.Close();
    if (m_control) m_control->Stop();
    ::ShowWindow(Handle(), SW_HIDE);
}

void CWinMainDlg::OnStop() {
    if (HasJob() && m_control) m_control->Stop();
}
