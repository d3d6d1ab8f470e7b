#pragma once
// A layer as a GeoJSON FeatureCollection: one feature per map object, in
// layer order.
//
// Regions become a Polygon or, with more than one outer ring, a MultiPolygon:
// rings are grouped by nesting, even-odd (see RingNesting.h); polygons follow
// the order of their outer rings in the part list and holes their own order.
// Rings are closed and follow the right-hand rule: outer rings run
// counter-clockwise, holes clockwise; each ring keeps its first vertex.
// Polylines become a LineString, or a MultiLineString for more than one part;
// symbols a Point. An object without parts, or of another class, has a null
// geometry.
//
// Properties are keyed by field name with values typed by the field: text as
// strings; integer and floating types as numbers where the text is a number
// (other text stays a string); dates as YYYY-MM-DD, date-times as
// YYYY-MM-DDThh:mm:ss, times as hh:mm:ss (with .zzz when there are
// milliseconds), text that is no date as it is; an empty value as null,
// except empty text in a text field, which is "". A name that repeats an
// earlier one gets "_2", "_3", ... so no value is lost.

#include "MapLayer.h"

#include <QJsonObject>

[[nodiscard]] QJsonObject FeatureCollection(const TMapLayer& Layer);
