#pragma once
// The map unit: the model, the reader, the map control and the object classes.

#include "DataFields.h"
#include "Geometry.h"
#include "Lumara.h"
#include "MapDataLinks.h"
#include "MapLayer.h"
#include "MapObject.h"
#include "MapPoints.h"
#include "MifReader.h"
#include "Polylines.h"
#include "Selection.h"
#include "Symbol.h"
#include "TraceMessage.h"
#include "ViewTransform.h"
