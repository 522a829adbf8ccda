// The skinned push button; see CSkinButton.h. All painting happens in
// paintEvent into Qt's back buffer, which reaches the screen in one copy, so
// hover and press changes do not flicker.
#include "CSkinButton.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <algorithm>

#include "PixelLines.h"
#include "ResourceIcons.h"

namespace {

const QColor kDefaultNormalBk(176, 184, 192);
const QColor kDefaultActiveBk(208, 216, 224);

// The system colours of a classic button face stand on the palette's roles.
QColor SysColour(const QWidget* w, QPalette::ColorRole role) {
    return w->palette().color(QPalette::Active, role);
}

}  // namespace

CSkinButton::CSkinButton(QWidget* parent) : CSkinButton(QString(), parent) {}

CSkinButton::CSkinButton(const QString& text, QWidget* parent)
    : QPushButton(text, parent),
      m_colours{kDefaultNormalBk, palette().color(QPalette::ButtonText), kDefaultActiveBk,
                palette().color(QPalette::ButtonText)} {
    // Every move over the button must reach it, as hover follows the pointer.
    setMouseTracking(true);
}

void CSkinButton::SetIcons(int activeId, int normalId) {
    const QIcon active = LoadResourceIcon(activeId);
    SetIcons(active, normalId == 0 ? active : LoadResourceIcon(normalId));
}

void CSkinButton::SetIcons(const QIcon& active, const QIcon& normal) {
    m_activeIcon = active;
    m_normalIcon = normal.isNull() ? active : normal;
    // The first size an icon comes in is its own size; sizes are kept in
    // 8 bits, so larger icons are drawn at 255 pixels.
    const QList<QSize> sizes = active.availableSizes();
    const QSize size = sizes.isEmpty() ? QSize() : sizes.first();
    m_iconWidth = static_cast<std::uint8_t>(std::clamp(size.width(), 0, 255));
    m_iconHeight = static_cast<std::uint8_t>(std::clamp(size.height(), 0, 255));
    update();
}

bool CSkinButton::SetHoverCursor(int cursorId) {
    m_hoverCursor.reset();
    unsetCursor();
    if (cursorId == -1) {
        return true;
    }
    if (cursorId < 0 || cursorId > Qt::LastCursor) {
        return false;
    }
    m_hoverCursor = QCursor(static_cast<Qt::CursorShape>(cursorId));
    setCursor(*m_hoverCursor);
    return true;
}

void CSkinButton::SetFlatLook(bool flat) {
    m_flatLook = flat;
    update();
}

void CSkinButton::SetIconPlacement(int placement) {
    if (placement == IconLeft || placement == IconAbove) {
        m_iconPlacement = placement;
    }
    update();
}

void CSkinButton::SetShowText(bool show) {
    m_showText = show;
    update();
}

void CSkinButton::SetFocusRectWhenFlat(bool on, bool repaint) {
    m_focusRectWhenFlat = on;
    if (repaint) {
        update();
    }
}

bool CSkinButton::IsColourSlot(int slot) {
    return slot >= ColourNormalBackground && slot <= ColourActiveText;
}

QColor CSkinButton::DefaultColour(int slot) const {
    switch (slot) {
        case ColourNormalBackground:
            return kDefaultNormalBk;
        case ColourActiveBackground:
            return kDefaultActiveBk;
        default:
            return palette().color(QPalette::ButtonText);
    }
}

void CSkinButton::SetColour(int slot, const QColor& colour, bool repaint) {
    if (IsColourSlot(slot)) {
        m_colours[static_cast<std::size_t>(slot)] = colour;
        if (repaint) {
            update();
        }
    }
}

void CSkinButton::ResetColour(int slot, bool repaint) {
    SetColour(slot, DefaultColour(slot), repaint);
}

QColor CSkinButton::GetColour(int slot) const {
    return IsColourSlot(slot) ? m_colours[static_cast<std::size_t>(slot)] : QColor();
}

void CSkinButton::SetTipText(const QString& text, bool activate) {
    if (text.isEmpty()) {
        return;
    }
    m_tipText = text;
    ActivateTip(activate);
}

void CSkinButton::ActivateTip(bool activate) {
    if (!m_tipText.isEmpty()) {
        setToolTip(activate ? m_tipText : QString());
    }
}

void CSkinButton::SetHovered(bool hovered) {
    if (m_hovered != hovered) {
        m_hovered = hovered;
        update();
    }
}

// Hover follows the pointer only in the flat look, and a pointer that comes
// in with the left button already held (a drag from elsewhere) does not light
// the button.
bool CSkinButton::MayHover(Qt::MouseButtons buttons) const {
    return m_flatLook && !(buttons.testFlag(Qt::LeftButton) && !m_hovered);
}

void CSkinButton::enterEvent(QEnterEvent* event) {
    QPushButton::enterEvent(event);
    if (MayHover(QGuiApplication::mouseButtons())) {
        SetHovered(true);
    }
}

void CSkinButton::leaveEvent(QEvent* event) {
    QPushButton::leaveEvent(event);
    SetHovered(false);
}

void CSkinButton::mouseMoveEvent(QMouseEvent* event) {
    QPushButton::mouseMoveEvent(event);
    if (!MayHover(event->buttons())) {
        return;
    }
    // While pressed, Qt keeps sending moves here after the pointer has left;
    // the look goes back to normal but the press still belongs to the button.
    SetHovered(rect().contains(event->position().toPoint()));
}

void CSkinButton::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second click of a double click is a press like the first.
    mousePressEvent(event);
}

void CSkinButton::focusInEvent(QFocusEvent* event) {
    const Qt::FocusReason reason = event->reason();
    m_keyboardFocus = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                      reason == Qt::ShortcutFocusReason;
    QPushButton::focusInEvent(event);
}

void CSkinButton::focusOutEvent(QFocusEvent* event) {
    m_keyboardFocus = false;
    QPushButton::focusOutEvent(event);
    if (m_flatLook) {
        SetHovered(false);
    }
}

void CSkinButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const bool pressed = isDown();
    const bool active = m_hovered || pressed;
    QRect b = rect();
    if (!m_flatLook && (hasFocus() || IsDefaultButton())) {
        FrameRect(painter, b, Qt::black);
        b.adjust(1, 1, -1, -1);
    }
    if (m_transparentLook) {
        painter.drawPixmap(0, 0, BackgroundCache());
    } else {
        painter.fillRect(b, Colour(active ? ColourActiveBackground : ColourNormalBackground));
    }
    DrawBorder(painter, b, pressed);
    const QString caption = m_showText ? text() : QString();
    QRect textRect = rect();
    if (!m_activeIcon.isNull()) {
        textRect = DrawIcon(painter, textRect, !caption.isEmpty(), pressed, active);
    }
    if (!caption.isEmpty()) {
        DrawCaption(painter, textRect, caption, pressed, active);
    }
    if (hasFocus() && (!m_flatLook || m_focusRectWhenFlat || m_keyboardFocus)) {
        DottedFrame(painter, b.adjusted(3, 3, -3, -3),
                    Colour(active ? ColourActiveText : ColourNormalText));
    }
}

void CSkinButton::DrawBorder(QPainter& painter, const QRect& b, bool pressed) const {
    const int l = b.left(), t = b.top(), r = l + b.width(), bt = t + b.height();
    const QColor light = SysColour(this, QPalette::Light);
    const QColor shadow = SysColour(this, QPalette::Dark);
    if (m_flatLook) {
        if (!m_hoverBorder || (!pressed && !m_hovered)) {
            return;
        }
        // Sunken while pressed, raised while only hovered.
        const QColor& topLeft = pressed ? shadow : light;
        const QColor& bottomRight = pressed ? light : shadow;
        Polyline(painter, topLeft, {{l, bt - 1}, {l, t}, {r, t}});
        Polyline(painter, bottomRight, {{l, bt - 1}, {r - 1, bt - 1}, {r - 1, t}});
    } else if (pressed) {
        FrameRect(painter, b, shadow);
    } else {
        Polyline(painter, light, {{l, bt - 1}, {l, t}, {r, t}});
        Polyline(painter, SysColour(this, QPalette::Midlight),
                 {{l + 1, bt - 1}, {l + 1, t + 1}, {r, t + 1}});
        Polyline(painter, SysColour(this, QPalette::Shadow),
                 {{l, bt - 1}, {r - 1, bt - 1}, {r - 1, t - 1}});
        Polyline(painter, shadow, {{l + 1, bt - 2}, {r - 2, bt - 2}, {r - 2, t}});
    }
}

QRect CSkinButton::DrawIcon(QPainter& painter, QRect text, bool hasText, bool pressed,
                            bool active) const {
    const int w = m_iconWidth, h = m_iconHeight;
    const QRect i = rect();
    // Integer division halves toward zero, as the centring rule wants.
    QPoint at(i.left() + (i.width() - w) / 2, i.top() + (i.height() - h) / 2);
    if (hasText && m_iconPlacement == IconLeft) {
        at.setX(i.left() + 3);
        text.setLeft(text.left() + w + 3);
    } else if (hasText && m_iconPlacement == IconAbove) {
        at.setY(i.top());
        text.setTop(text.top() + h);
    }
    if (pressed) {
        at += QPoint(1, 1);
    }
    const QIcon& icon = active ? m_activeIcon : m_normalIcon;
    QPixmap pixmap = icon.pixmap(QSize(w, h), 1.0, QIcon::Normal);
    // Greyed by the button's own style, whatever style the desktop gives
    // the program's icons.
    if (!isEnabled()) {
        QStyleOption option;
        option.initFrom(this);
        pixmap = style()->generatedIconPixmap(QIcon::Disabled, pixmap, &option);
    }
    painter.drawPixmap(at, pixmap);
    return text;
}

void CSkinButton::DrawCaption(QPainter& painter, QRect text, const QString& caption, bool pressed,
                              bool active) const {
    if (pressed) {
        text.translate(1, 1);
    }
    painter.setFont(font());
    const int flags = Qt::TextSingleLine | Qt::TextShowMnemonic | Qt::AlignLeft | Qt::AlignTop;
    const QSize size = fontMetrics().size(flags, caption);
    const QRect at(text.left() + (text.width() - size.width()) / 2,
                   text.top() + (text.height() - size.height()) / 2, size.width(), size.height());
    if (!isEnabled()) {
        // Embossed: a highlight one pixel down and right, the greyed text
        // on top, dark enough to read.
        painter.setPen(SysColour(this, QPalette::Light));
        painter.drawText(at.translated(1, 1), flags, caption);
        painter.setPen(palette().color(QPalette::Disabled, QPalette::ButtonText));
    } else {
        painter.setPen(Colour(active ? ColourActiveText : ColourNormalText));
    }
    painter.drawText(at, flags, caption);
}

const QPixmap& CSkinButton::BackgroundCache() {
    // Taken once, from the parent's own painting without its children (the
    // button among them), and never refreshed.
    if (!m_bkCache) {
        QPixmap pixels(size());
        pixels.fill(Qt::transparent);
        if (QWidget* parent = parentWidget()) {
            parent->render(&pixels, QPoint(), QRegion(geometry()), QWidget::DrawWindowBackground);
        }
        m_bkCache = pixels;
    }
    return *m_bkCache;
}
