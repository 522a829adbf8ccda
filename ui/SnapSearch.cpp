// The snap search on both axes; see SnapSearch.h.
#include "SnapSearch.h"

QPoint SnapSearch(QPoint pos, QSize size, const SnapEdges& edges, int snapDistance) {
    return {SnapAxis(pos.x(), size.width(), edges.m_snapLeft, edges.m_snapRight, snapDistance),
            SnapAxis(pos.y(), size.height(), edges.m_snapTop, edges.m_snapBottom, snapDistance)};
}
