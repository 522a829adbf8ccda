// Base class for the Windows window's dialogs: its own background and
// control colours, snapping to the edges of the work area and of other
// windows while it moves, moving by a press anywhere on the background, and
// staying on top. Every feature is off until its setter turns it on, as in
// the Qt window's CVelDialog; the snap search itself is the shared SnapAxis.
#pragma once

#include <windows.h>

#include <ctime>

#include "SnapAxis.h"

class CWinVelDialog {
public:
    CWinVelDialog() = default;
    CWinVelDialog(const CWinVelDialog&) = delete;
    CWinVelDialog& operator=(const CWinVelDialog&) = delete;
    virtual ~CWinVelDialog();

    // A modeless dialog from the template; the caller runs the message loop.
    HWND Create(int templateId, HWND parent);
    // A modal dialog from the template; returns what EndDialog was given.
    INT_PTR Run(int templateId, HWND parent);
    HWND Handle() const { return m_hwnd; }

    void SetBackgroundColor(COLORREF color);
    void SetTextColor(COLORREF color);
    void SetGrayTextColor(COLORREF color) { m_grayTextColor = color; }
    void SetTopmost(bool on);
    void SetDragAnywhere(bool on) { m_dragAnywhere = on; }
    void SetSnapDistance(int pixels) { m_snapDistance = pixels; }

    COLORREF BackgroundColor() const { return m_bkColor; }
    COLORREF TextColor(bool enabled) const { return enabled ? m_textColor : m_grayTextColor; }

protected:
    // A derived dialog's messages come here first; what it does not take it
    // passes on to this class's Message.
    virtual INT_PTR Message(UINT message, WPARAM wParam, LPARAM lParam);
    // Sets the answer of a message whose result is not the procedure's return.
    INT_PTR Answer(LRESULT result);

private:
    static INT_PTR CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR ControlColor(HDC dc);
    void StartDrag(POINT client);
    void Snap(WINDOWPOS& placement);
    void RefreshSnapEdges();
    void CollectWindowEdges(HWND window);
    void AddEdges(const RECT& r, bool asWindow);

    HWND m_hwnd = nullptr;
    COLORREF m_bkColor = RGB(212, 208, 200);
    COLORREF m_textColor = RGB(0, 0, 0);
    COLORREF m_grayTextColor = RGB(64, 68, 76);
    HBRUSH m_bkBrush = nullptr;
    bool m_customColors = false;
    bool m_dragAnywhere = false;
    int m_snapDistance = 0;
    SnapEdges m_snapEdges;
    std::time_t m_lastEdgeScan = 0;
};
