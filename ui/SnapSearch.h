// The snap search for a window that is being moved, in Qt's points; the
// search on each axis is SnapAxis (shared with the Windows window).
// CVelDialog feeds it from its cached candidate lists.
#pragma once

#include <QPoint>
#include <QSize>

#include "SnapAxis.h"

// The window's new top-left corner for a proposed top-left `pos` and `size`.
// A distance equal to `snapDistance` still snaps; 0 or less turns it off.
QPoint SnapSearch(QPoint pos, QSize size, const SnapEdges& edges, int snapDistance);
