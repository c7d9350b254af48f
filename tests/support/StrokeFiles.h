// The shared stroke data: file lists and a reader of the plain stroke format
// {"points": [[x, y, z], ...], ...}. Paths are relative to the shared strokes folder.
#ifndef StrokeFiles_h
#define StrokeFiles_h

#include <string>
#include <vector>

#include "VORListValVORMathPoint.h"

// Folder of the shared stroke data (absolute).
std::string StrokeDataDir();
// Paths relative to StrokeDataDir of the files in group ("real" or "synthetic"), sorted.
std::vector<std::string> StrokeFiles(const std::string& group);
// Every step-th of StrokeFiles("real"), from the first: a sample of the real strokes.
std::vector<std::string> SomeRealStrokes(size_t step);
// The points of a stroke file (relative to StrokeDataDir, or absolute). Empty when unreadable.
VORListValVORMathPoint LoadStrokePoints(const std::string& path);

#endif
