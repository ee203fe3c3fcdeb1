#pragma once
// The export marker of the host's geometry library (points, matrices, boxes).
#define GEOMEXPORT __attribute__((visibility("default")))
