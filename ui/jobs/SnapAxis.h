// The snap search on one axis: where a moving window's edge lands, given
// the edges it may snap to. Pure functions of their inputs with no toolkit
// in them, so both windows use them and they are tested without a display.
#pragma once

#include <cstdint>
#include <forward_list>

// Candidate coordinates for one edge of the window. Entries are only ever
// added at the front, so a list reads newest first, which decides ties.
using SnapEdgeList = std::forward_list<int>;

// The four candidate lists in screen coordinates, right and bottom edges
// exclusive: m_snapLeft holds where the window's left edge may go, and so on.
struct SnapEdges {
    SnapEdgeList m_snapLeft;
    SnapEdgeList m_snapRight;
    SnapEdgeList m_snapTop;
    SnapEdgeList m_snapBottom;
};

// Best candidate of one list: its distance and the window position it implies.
struct SnapChoice {
    int distance;
    int position;
};

// Distance and position before any candidate has been seen. A snap distance
// below kNoSnapDistance can never accept an unfilled search.
inline constexpr int kNoSnapDistance = 10000;
inline constexpr int kNoSnapPosition = -1;

// Scans one list front to back for the entry nearest to `edge`; only a
// strictly nearer entry replaces the best. The position is entry - offset,
// so a right or bottom list can pass the window's extent as offset.
SnapChoice NearestSnapEdge(const SnapEdgeList& edges, std::int64_t edge, int offset);

// One axis: `nearList` holds candidates for the leading edge (left or top),
// `farList` for the trailing edge (right or bottom). The leading list wins a
// tie. Returns the new coordinate, or `pos` when nothing is close enough.
// A distance equal to `snapDistance` still snaps; 0 or less turns it off.
int SnapAxis(int pos, int extent, const SnapEdgeList& nearList, const SnapEdgeList& farList,
             int snapDistance);
