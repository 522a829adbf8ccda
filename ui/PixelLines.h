// Exact one-pixel lines for widgets that draw classic 3-D edges: a line from
// point to point leaves its end point out, as a pen moved from point to point
// does, so that joined lines meet without overdrawing the corners.
#pragma once

#include <QColor>
#include <QPainter>
#include <QPoint>
#include <QRect>
#include <initializer_list>

// Draws through `points` in order; only lines along an axis are drawn.
void Polyline(QPainter& painter, const QColor& colour, std::initializer_list<QPoint> points);

// A one-pixel frame just inside `r`.
void FrameRect(QPainter& painter, const QRect& r, const QColor& colour);

// A dotted frame just inside `r`: every other pixel along its edges.
void DottedFrame(QPainter& painter, const QRect& r, const QColor& colour);
