// The skinned dialog base; see CVelDialog.h.
//
// Qt has no message that proposes a window position before it is applied, so
// the dialog runs the snap itself at the two places where it can: at every
// step of its own drag by the background, before it moves the window, and
// after a move it did not make (the window manager's title-bar drag, a
// programmatic move) once that move has settled.
#include "CVelDialog.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleFactory>

namespace {

// Refresh the candidate edges when the last scan is older than this.
constexpr std::time_t kEdgeScanSeconds = 3;

// How long a move must be still before it counts as ended.
constexpr int kMoveSettleMs = 250;

}  // namespace

// One style for every skinned window, owned by the application so that it
// outlives the windows and their controls.
QStyle* CVelDialog::SkinStyle(QWidget* widget) {
    static QStyle* const style = [] {
        QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"));
        fusion->setParent(QCoreApplication::instance());
        return fusion;
    }();
    if (widget != nullptr) widget->setStyle(style);
    return style;
}

CVelDialog::CVelDialog(QWidget* parent)
    : QDialog(parent), m_clock([] { return std::time(nullptr); }) {
    m_moveSettle.setSingleShot(true);
    m_moveSettle.setInterval(kMoveSettleMs);
    connect(&m_moveSettle, &QTimer::timeout, this, &CVelDialog::SnapWhereMoveEnded);
}

CVelDialog::~CVelDialog() = default;

void CVelDialog::SetBackgroundColor(const QColor& color) {
    m_bkColor = color;
    RebuildBackgroundBrush();
    update();
}

void CVelDialog::SetTextColor(const QColor& color) {
    m_textColor = color;
    RebuildBackgroundBrush();
    update();
}

void CVelDialog::RebuildBackgroundBrush() {
    m_bkBrush = QBrush(m_bkColor);
    m_customColors = true;
    ApplyControlColors();
}

void CVelDialog::SetBackgroundBitmap(const QString& path) {
    m_bkBitmap = QPixmap(path);
    m_useBitmap = true;
    update();
}

void CVelDialog::AddTransparentControl(QWidget* control) {
    m_transparentCtrls.push_front(control);
    if (m_customColors && control != nullptr) {
        ApplyTransparentColors(control);
    }
}

void CVelDialog::SetTopmost(bool on) {
    // Changing window flags re-creates a shown window hidden; put it back where
    // and as large as it was. A window not yet shown keeps the hint until it is.
    const bool wasVisible = isVisible();
    const QPoint framePos = pos();
    const QSize clientSize = size();
    setWindowFlag(Qt::WindowStaysOnTopHint, on);
    if (wasVisible) {
        resize(clientSize);
        move(framePos);
        show();
    }
}

void CVelDialog::SetDragAnywhere(bool on) {
    m_dragAnywhere = on;
}

void CVelDialog::SetSnapDistance(int pixels) {
    m_snapDistance = pixels;
}

void CVelDialog::AddSnapEdge(int coordinate, int edge) {
    switch (edge) {
        case SnapLeft:
            m_snapEdges.m_snapLeft.push_front(coordinate);
            break;
        case SnapRight:
            m_snapEdges.m_snapRight.push_front(coordinate);
            break;
        case SnapTop:
            m_snapEdges.m_snapTop.push_front(coordinate);
            break;
        case SnapBottom:
            m_snapEdges.m_snapBottom.push_front(coordinate);
            break;
        default:
            break;
    }
}

void CVelDialog::SetDesktop(std::unique_ptr<CDesktop> desktop) {
    m_desktop = std::move(desktop);
}

void CVelDialog::SetCalendarClock(CalendarClock clock) {
    m_clock = std::move(clock);
}

CDesktop& CVelDialog::Desktop() {
    if (!m_desktop) {
        m_desktop = CDesktop::CreateForPlatform();
    }
    return *m_desktop;
}

void CVelDialog::OnWindowPosChanging(QRect& placement) {
    // The refresh runs even with snapping off, so the cache is never older
    // than the last positioning plus the scan interval.
    if (m_clock() - m_lastEdgeScan > kEdgeScanSeconds) {
        RefreshSnapEdges();
    }
    placement.moveTopLeft(
        SnapSearch(placement.topLeft(), placement.size(), m_snapEdges, m_snapDistance));
}

void CVelDialog::RefreshSnapEdges() {
    m_lastEdgeScan = m_clock();
    m_snapEdges = SnapEdges{};
    const QRect work = Desktop().WorkArea();
    AddSnapEdge(work.x(), SnapLeft);
    AddSnapEdge(work.x() + work.width(), SnapRight);
    AddSnapEdge(work.y(), SnapTop);
    AddSnapEdge(work.y() + work.height(), SnapBottom);
    for (const CDesktopWindow& window : Desktop().TopLevelWindows()) {
        CollectWindowEdges(window);
    }
}

void CVelDialog::CollectWindowEdges(const CDesktopWindow& window) {
    // internalWinId() is 0 until the dialog has a native window, and then no
    // listed window can be ours.
    const WId own = internalWinId();
    if ((own != 0 && window.m_id == own) || !window.m_visible) {
        return;
    }
    // Another window's left edge is where our right edge may rest, and so on;
    // right and bottom are exclusive so that the windows touch, not overlap.
    const QRect& r = window.m_outer;
    AddSnapEdge(r.x(), SnapRight);
    AddSnapEdge(r.x() + r.width(), SnapLeft);
    AddSnapEdge(r.y(), SnapBottom);
    AddSnapEdge(r.y() + r.height(), SnapTop);
}

// The skin is drawn in one style with a palette that starts from that
// style's fixed light one, never the desktop's, so that a dark desktop theme
// cannot put light text or dark boxes on the skin's light face. Both are set
// on the dialog and on every control: a control with a style sheet of its
// own takes no palette from its parent. Check boxes keep the light palette's
// white boxes; the other controls take the face colour, as the controls'
// colour messages paint them on Windows.
void CVelDialog::ApplyControlColors() {
    const QPalette boxes = SkinPalette(*m_bkBrush);
    QPalette pal = boxes;
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        pal.setBrush(group, QPalette::Base, *m_bkBrush);
    }
    SkinStyle(this);
    setPalette(pal);
    for (QWidget* control : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        SkinStyle(control);
        control->setPalette(qobject_cast<QCheckBox*>(control) ? boxes : pal);
    }
    for (const QPointer<QWidget>& control : m_transparentCtrls) {
        if (control) {
            ApplyTransparentColors(control);
        }
    }
}

QPalette CVelDialog::SkinPalette(const QBrush& background) const {
    QPalette pal = SkinStyle(nullptr)->standardPalette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        for (const auto role : {QPalette::Window, QPalette::Button}) {
            pal.setBrush(group, role, background);
        }
        const QColor& text = group == QPalette::Disabled ? m_grayTextColor : m_textColor;
        for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
            pal.setColor(group, role, text);
        }
    }
    return pal;
}

void CVelDialog::ApplyTransparentColors(QWidget* control) const {
    control->setPalette(SkinPalette(QBrush(Qt::transparent)));
    control->setAutoFillBackground(false);
}

void CVelDialog::SetGrayTextColor(const QColor& color) {
    m_grayTextColor = color;
    if (m_customColors) RebuildBackgroundBrush();
}

void CVelDialog::paintEvent(QPaintEvent* event) {
    if (!m_customColors) {
        QDialog::paintEvent(event);
        return;
    }
    QPainter painter(this);
    // The colour also covers whatever an unloadable or small bitmap leaves bare.
    painter.fillRect(rect(), m_bkColor);
    if (m_useBitmap && m_bkBitmap && !m_bkBitmap->isNull()) {
        const int w = std::min(m_bkBitmap->width(), width());
        const int h = std::min(m_bkBitmap->height(), height());
        painter.drawPixmap(0, 0, *m_bkBitmap, 0, 0, w, h);
    }
}

void CVelDialog::mousePressEvent(QMouseEvent* event) {
    // Presses that a child did not take (labels, the progress bar, the
    // background itself) arrive here, so they all start a drag.
    QDialog::mousePressEvent(event);
    if (!m_dragAnywhere || event->button() != Qt::LeftButton) {
        return;
    }
    m_dragging = true;
    m_dragPressGlobal = event->globalPosition().toPoint();
    m_dragStartFrame = frameGeometry().topLeft();
    event->accept();
}

void CVelDialog::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging || !event->buttons().testFlag(Qt::LeftButton)) {
        m_dragging = false;
        QDialog::mouseMoveEvent(event);
        return;
    }
    // Follow the pointer from where the frame stood at the press, not from
    // pos(), which lags behind while the window manager confirms each move.
    QRect placement(m_dragStartFrame + (event->globalPosition().toPoint() - m_dragPressGlobal),
                    frameGeometry().size());
    OnWindowPosChanging(placement);
    if (placement.topLeft() != pos()) {
        move(placement.topLeft());
    }
    event->accept();
}

void CVelDialog::mouseReleaseEvent(QMouseEvent* event) {
    if (m_dragging && event->button() == Qt::LeftButton) {
        m_dragging = false;
        event->accept();
        return;
    }
    QDialog::mouseReleaseEvent(event);
}

void CVelDialog::moveEvent(QMoveEvent* event) {
    QDialog::moveEvent(event);
    if (!m_dragging && isVisible()) {
        m_moveSettle.start();
    }
}

void CVelDialog::SnapWhereMoveEnded() {
    if (m_dragging || !isVisible()) {
        return;
    }
    // The window manager holds the pointer during a title-bar drag; moving the
    // window under it would fight the drag, so wait until the button is up.
    if (Desktop().IsPrimaryButtonDown()) {
        m_moveSettle.start();
        return;
    }
    QRect placement = frameGeometry();
    OnWindowPosChanging(placement);
    if (placement.topLeft() != frameGeometry().topLeft()) {
        move(placement.topLeft());
    }
}
