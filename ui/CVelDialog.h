// Base class for the program's dialogs: its own background colour or bitmap
// and control colours, snapping to the edges of the work area and of other
// windows while it moves, moving by a press anywhere on the background, and
// staying on top. Every feature is off until its setter turns it on.
#pragma once

#include <QDialog>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <ctime>
#include <forward_list>
#include <functional>
#include <memory>
#include <optional>

#include "CDesktop.h"
#include "SnapSearch.h"

class CVelDialog : public QDialog {
    Q_OBJECT

public:
    enum SnapEdge { SnapLeft, SnapRight, SnapTop, SnapBottom };

    // Calendar time in whole seconds; replaceable so tests can step it.
    using CalendarClock = std::function<std::time_t()>;

    explicit CVelDialog(QWidget* parent = nullptr);
    ~CVelDialog() override;

    void SetBackgroundColor(const QColor& color);
    void SetTextColor(const QColor& color);
    void RebuildBackgroundBrush();
    // Loads a bitmap by Qt resource or file path; painted unscaled at the
    // top-left once custom colours are on.
    void SetBackgroundBitmap(const QString& path);
    void AddTransparentControl(QWidget* control);
    void SetTopmost(bool on);
    void SetDragAnywhere(bool on);
    void SetSnapDistance(int pixels);
    void AddSnapEdge(int coordinate, int edge);

    // Seams for the desktop and the clock; the defaults ask the platform.
    void SetDesktop(std::unique_ptr<CDesktop> desktop);
    void SetCalendarClock(CalendarClock clock);

    QColor BackgroundColor() const { return m_bkColor; }
    QColor TextColor() const { return m_textColor; }
    // The colour of disabled text, dark enough to read on the background.
    void SetGrayTextColor(const QColor& color);
    int SnapDistance() const { return m_snapDistance; }
    bool DragAnywhere() const { return m_dragAnywhere; }
    const SnapEdges& SnapCandidates() const { return m_snapEdges; }
    std::time_t LastEdgeScan() const { return m_lastEdgeScan; }

protected:
    // Adjusts a proposed frame placement (top-left and size, screen
    // coordinates) before the window is moved there. Only the position changes.
    virtual void OnWindowPosChanging(QRect& placement);
    void RefreshSnapEdges();
    void CollectWindowEdges(const CDesktopWindow& window);

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    void ApplyControlColors();
    void ApplyTransparentColors(QWidget* control) const;
    // The skin's colours over the skin style's light palette, with
    // `background` as the face.
    QPalette SkinPalette(const QBrush& background) const;
    // Draws `widget` in the skin's style (none: only returns the style).
    static QStyle* SkinStyle(QWidget* widget);
    void SnapWhereMoveEnded();
    CDesktop& Desktop();

    std::time_t m_lastEdgeScan = 0;
    int m_snapDistance = 0;
    QColor m_bkColor{212, 208, 200};
    QColor m_textColor{0, 0, 0};
    QColor m_grayTextColor{64, 68, 76};
    std::optional<QBrush> m_bkBrush;
    bool m_dragAnywhere = false;
    std::forward_list<QPointer<QWidget>> m_transparentCtrls;
    std::optional<QPixmap> m_bkBitmap;
    bool m_useBitmap = false;
    bool m_customColors = false;
    SnapEdges m_snapEdges;

    std::unique_ptr<CDesktop> m_desktop;
    CalendarClock m_clock;

    // A drag by the background: where the press was and where the frame stood.
    bool m_dragging = false;
    QPoint m_dragPressGlobal;
    QPoint m_dragStartFrame;

    // Moves that the window manager makes (title-bar drags) are snapped once
    // they have been still for a moment and the button is up.
    QTimer m_moveSettle;
};
