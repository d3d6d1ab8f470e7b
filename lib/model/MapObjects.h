#pragma once
// The map unit: the model, the reader, the map control and the object classes.

#include "DataFields.h"
#include "Geometry.h"
#include "MapObject.h"
#include "MapPoints.h"
#include "TraceMessage.h"
