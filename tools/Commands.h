#pragma once
// The commands of the `lumara` program. Each takes the program's arguments
// from the command word on, writes its results to standard output and
// answers the exit status; wrong use raises EUsageError, failures the
// library's errors.

#include <QStringList>

// Per file: layer name, objects by class, parts, vertices, fields, bounds
// and load time.
int RunInfo(const QStringList& Arguments);
// One file as a GeoJSON FeatureCollection (see GeoJson.h).
int RunDump(const QStringList& Arguments);
// The files as layers of one map, painted offscreen and written as PNG.
int RunRender(const QStringList& Arguments);
