// The snap search over one axis's two candidate lists; see SnapAxis.h.
#include "SnapAxis.h"

#include <cstdlib>

namespace {

// Distances are taken in 64 bits so that far-off coordinates cannot overflow;
// anything past the sentinel counts as no nearer than it.
int Distance(std::int64_t a, std::int64_t b) {
    const std::int64_t d = std::llabs(a - b);
    return d < kNoSnapDistance ? static_cast<int>(d) : kNoSnapDistance;
}

}  // namespace

SnapChoice NearestSnapEdge(const SnapEdgeList& edges, std::int64_t edge, int offset) {
    SnapChoice best{kNoSnapDistance, kNoSnapPosition};
    for (const int v : edges) {
        const int d = Distance(edge, v);
        if (d < best.distance) {
            best = {d, static_cast<int>(std::int64_t{v} - offset)};
        }
    }
    return best;
}

int SnapAxis(int pos, int extent, const SnapEdgeList& nearList, const SnapEdgeList& farList,
             int snapDistance) {
    if (snapDistance <= 0) {
        return pos;
    }
    const SnapChoice nearBest = NearestSnapEdge(nearList, pos, 0);
    const SnapChoice farBest = NearestSnapEdge(farList, std::int64_t{pos} + extent, extent);
    const SnapChoice choice = farBest.distance < nearBest.distance ? farBest : nearBest;
    // An unfilled search keeps the sentinel distance; refusing it even for a
    // huge snap distance keeps the window from jumping to the sentinel position.
    if (choice.distance <= snapDistance && choice.distance < kNoSnapDistance) {
        return choice.position;
    }
    return pos;
}
