// The program's only window on Windows: the Qt window's controls, texts,
// colours and places, from the dialog template IDD_MAIN, over the same
// jobs. "go !" starts one job on a worker thread; the job drives the window
// through JobWindow, and every request is carried out on the window's own
// thread, in the order the job made them (the shared CRequestQueue, woken
// by a posted message); only those that read the window make it wait.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <atomic>
#include <map>
#include <memory>
#include <thread>

#include "CRequestQueue.h"
#include "CWinSkinButton.h"
#include "CWinVelDialog.h"
#include "JobWindow.h"
#include "WindowJob.h"
#include "lintrim/RunControl.h"

class CWinMainDlg : public CWinVelDialog, public JobWindow {
public:
    CWinMainDlg();
    ~CWinMainDlg() override;

    // Creates the window (hidden until shown).
    HWND Create();
    // Gives the window's keys (stop, help) and the dialog's own keys to it;
    // true when the message was taken.
    bool TakeMessage(MSG& message);
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

protected:
    INT_PTR Message(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // Posted to the window: requests to serve, the worker's end, a DPI change done.
    static constexpr UINT kWmRequests = WM_APP + 1;
    static constexpr UINT kWmJobEnded = WM_APP + 2;
    static constexpr UINT kWmDpiChanged = WM_APP + 3;

    bool OnInitDialog();
    void OnCommand(int id, int code);
    void OnGo();
    void OnBrowseInput();
    void OnBrowseRef();
    void OnDropFiles(HDROP drop);
    void OnDropFiles(const std::vector<std::string>& paths);
    void OnEnter();
    void OnClose();
    void OnJobEnded();
    void OnHelp();
    // The menu (right click, Shift+F10, the menu key) and its entries.
    void ShowMenu(POINT at);
    void OnOptions();
    void OnStop();
    void OnResults();

    void SetAccessibleTexts();
    void SetTabOrder();
    void CreateStatusTip();
    void UpdateStatusTip();
    void DrawStatic(const DRAWITEMSTRUCT& item) const;
    void SetInputCaptionForCount();
    void SetRefCaptionForCount();
    HWND Control(int id) const { return ::GetDlgItem(Handle(), id); }
    bool OnWindowThread() const { return ::GetCurrentThreadId() == m_windowThread; }
    bool HasJob() const { return m_worker.joinable(); }

    // Runs `change` directly on the window's thread, else queues it there.
    // Throws JobCancelled once the window is closing.
    void Change(std::function<void()> change, bool replaceable = false);
    // Runs `read` on the window's thread and returns its result.
    template <typename Fn>
    auto Read(Fn&& read) -> decltype(read());

    CWinSkinButton m_browseInput;
    CWinSkinButton m_browseRef;
    CWinSkinButton m_go;
    HICON m_hIcon = nullptr;
    HICON m_hSmallIcon = nullptr;
    HACCEL m_keys = nullptr;
    HWND m_statusTip = nullptr;
    std::wstring m_statusTipText;
    bool m_statusFits = true;
    bool m_acceptDrops = false;
    DWORD m_windowThread = 0;

    WindowOptions m_options;
    std::unique_ptr<lintrim::RunControl> m_control;
    std::vector<lintrim::ListOutcome> m_results;  // of the last run
    // Started and joined on the window's thread only; m_workerDone is its
    // last write before it posts its end.
    std::thread m_worker;
    std::atomic<bool> m_workerDone{false};
    bool m_closing = false;
    CRequestQueue m_requests;
};
