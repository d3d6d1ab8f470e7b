#pragma once
// Spatial predicates on part lists, in map coordinates. Each rejects parts by
// their bounds before it touches their vertices.

#include "MapPoints.h"

// Even-odd test over all rings together: a point lies inside when a ray to
// its left crosses the rings an odd number of times in all, so holes exclude
// their area and disjoint rings each count as inside. Every ring is closed
// from its last point back to its first. On the boundary the rule is
// half-open: a crossing exactly at X does not count, and an edge counts for
// heights above its lower end up to and including its upper end.
[[nodiscard]] bool RingsContainPoint(const TParts& Parts, Extended X, Extended Y);

// Some part's bounds meet the closed rectangle X0..X1 by Y0..Y1.
[[nodiscard]] bool PartBoundsMeetRect(const TParts& Parts, Extended X0, Extended Y0, Extended X1,
                                      Extended Y1);

// Every vertex lies in the closed rectangle; true when there are none.
[[nodiscard]] bool VerticesWithinRect(const TParts& Parts, Extended X0, Extended Y0, Extended X1,
                                      Extended Y1);

[[nodiscard]] int VertexCount(const TParts& Parts);
