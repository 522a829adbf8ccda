// A push button that paints itself: a flat face in its own colours, a thin
// raised border while the pointer is over it and a sunken one while pressed,
// the content shifted by a pixel while pressed, an optional icon beside or
// above the caption, an embossed caption when disabled. Also offers a 3-D
// look, colour slots, a tool tip, a hover cursor and a see-through face.
#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QPushButton>
#include <array>
#include <cstdint>
#include <optional>

class CSkinButton : public QPushButton {
    Q_OBJECT

public:
    enum IconPlacement { IconLeft = 0, IconAbove = 1 };
    enum ColourSlot {
        ColourNormalBackground,
        ColourNormalText,
        ColourActiveBackground,
        ColourActiveText,
    };

    explicit CSkinButton(QWidget* parent = nullptr);
    explicit CSkinButton(const QString& text, QWidget* parent = nullptr);

    // Icons by resource identifier (IDI_...); normalId 0 reuses the active one.
    void SetIcons(int activeId, int normalId = 0);
    void SetIcons(const QIcon& active, const QIcon& normal);

    // cursorId is a Qt::CursorShape; -1 removes the hover cursor. Returns
    // false, leaving no hover cursor, for a value that names no shape.
    bool SetHoverCursor(int cursorId);

    void SetFlatLook(bool flat);
    bool GetFlatLook() const { return m_flatLook; }
    void SetIconPlacement(int placement);
    int GetIconPlacement() const { return m_iconPlacement; }
    void SetHoverBorder(bool on) { m_hoverBorder = on; }
    void SetShowText(bool show);
    bool GetShowText() const { return m_showText; }
    void SetFocusRectWhenFlat(bool on, bool repaint);
    bool GetFocusRectWhenFlat() const { return m_focusRectWhenFlat; }
    void SetColour(int slot, const QColor& colour, bool repaint);
    void ResetColour(int slot, bool repaint);
    QColor GetColour(int slot) const;
    void SetTipText(const QString& text, bool activate);
    void ActivateTip(bool activate);
    bool IsDefaultButton() const { return isDefault(); }
    void SetTransparentLook() { m_transparentLook = true; }

    bool IsHovered() const { return m_hovered; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    static bool IsColourSlot(int slot);
    const QColor& Colour(ColourSlot slot) const { return m_colours[slot]; }
    QColor DefaultColour(int slot) const;
    void SetHovered(bool hovered);
    bool MayHover(Qt::MouseButtons buttons) const;
    void DrawBorder(QPainter& painter, const QRect& b, bool pressed) const;
    QRect DrawIcon(QPainter& painter, QRect text, bool hasText, bool pressed, bool active) const;
    void DrawCaption(QPainter& painter, QRect text, const QString& caption, bool pressed,
                     bool active) const;
    const QPixmap& BackgroundCache();

    int m_iconPlacement = IconLeft;
    bool m_showText = true;
    bool m_hoverBorder = true;
    bool m_flatLook = true;
    bool m_hovered = false;
    bool m_focusRectWhenFlat = false;
    // The focus came from the keyboard (Tab): then the focus rectangle shows
    // where it is in the flat look too, which a mouse user does not need.
    bool m_keyboardFocus = false;
    std::optional<QCursor> m_hoverCursor;
    QString m_tipText;
    QIcon m_activeIcon;
    QIcon m_normalIcon;
    std::uint8_t m_iconHeight = 0;
    std::uint8_t m_iconWidth = 0;
    std::optional<QPixmap> m_bkCache;
    bool m_transparentLook = false;
    // Face and caption colours, indexed by ColourSlot: normal, then active
    // (hovered or pressed).
    std::array<QColor, 4> m_colours;
};
