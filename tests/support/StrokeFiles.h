// The stroke data kept with the project (data/strokes): file lists and a reader of the plain stroke
// format {"points": [[x, y, z], ...], ...}. Paths are relative to the data folder.
#ifndef StrokeFiles_h
#define StrokeFiles_h

#include <string>
#include <vector>

#include "VORListValVORMathPoint.h"

// Folder of the stroke data (absolute): the environment's TAQ_DATA_DIR when set, else the build's.
std::string StrokeDataDir();
// Paths relative to StrokeDataDir of the files in group ("real" or "synthetic"), sorted. A group whose
// folder holds no stroke file gives the group's name alone, so that whatever runs over it reads that
// name, fails naming the folder, and never passes over nothing or indexes an empty list.
std::vector<std::string> StrokeFiles(const std::string& group);
// Every step-th of StrokeFiles("real"), from the first: a sample of the real strokes.
std::vector<std::string> SomeRealStrokes(size_t step);
// The points of a stroke file (relative to StrokeDataDir, or absolute). A missing, unreadable or
// malformed file throws std::runtime_error whose one-line message names the file.
VORListValVORMathPoint LoadStrokePoints(const std::string& path);

#endif
