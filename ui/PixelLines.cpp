// One-pixel line drawing; see PixelLines.h.
#include "PixelLines.h"

#include <cstdlib>

namespace {

void Segment(QPainter& painter, const QColor& colour, QPoint from, QPoint to) {
    if (from.y() == to.y() && from.x() != to.x()) {
        const int x = to.x() > from.x() ? from.x() : to.x() + 1;
        painter.fillRect(QRect(x, from.y(), std::abs(to.x() - from.x()), 1), colour);
    } else if (from.x() == to.x() && from.y() != to.y()) {
        const int y = to.y() > from.y() ? from.y() : to.y() + 1;
        painter.fillRect(QRect(from.x(), y, 1, std::abs(to.y() - from.y())), colour);
    }
}

}  // namespace

void Polyline(QPainter& painter, const QColor& colour, std::initializer_list<QPoint> points) {
    if (points.size() < 2) {
        return;
    }
    const QPoint* from = points.begin();
    for (const QPoint* to = from + 1; to != points.end(); from = to++) {
        Segment(painter, colour, *from, *to);
    }
}

void FrameRect(QPainter& painter, const QRect& r, const QColor& colour) {
    const int l = r.left(), t = r.top(), rt = l + r.width(), b = t + r.height();
    Polyline(painter, colour, {{l, t}, {rt - 1, t}, {rt - 1, b - 1}, {l, b - 1}, {l, t}});
}

void DottedFrame(QPainter& painter, const QRect& r, const QColor& colour) {
    const int l = r.left(), t = r.top(), rt = r.right(), b = r.bottom();
    for (int x = l; x <= rt; x += 2) {
        painter.fillRect(x, t, 1, 1, colour);
        painter.fillRect(x, b, 1, 1, colour);
    }
    for (int y = t; y <= b; y += 2) {
        painter.fillRect(l, y, 1, 1, colour);
        painter.fillRect(rt, y, 1, 1, colour);
    }
}
