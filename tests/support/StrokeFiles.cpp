#include "StrokeFiles.h"

#include <algorithm>
#include <dirent.h>
#include <fstream>

#include <nlohmann/json.hpp>

std::string StrokeDataDir() { return TAQ_DATA_DIR; }

std::vector<std::string> StrokeFiles(const std::string& group) {
  std::vector<std::string> files;
  const std::string dir = StrokeDataDir() + "/" + group;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d)) {
      const std::string name = e->d_name;
      if (name.size() > 5 && name.compare(name.size() - 5, 5, ".json") == 0) files.push_back(group + "/" + name);
    }
    closedir(d);
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::vector<std::string> SomeRealStrokes(size_t step) {
  const std::vector<std::string> all = StrokeFiles("real");
  std::vector<std::string> some;
  for (size_t i = 0; i < all.size(); i += step) some.push_back(all[i]);
  return some;
}

VORListValVORMathPoint LoadStrokePoints(const std::string& path) {
  VORListValVORMathPoint points;
  const std::string full = (!path.empty() && path[0] == '/') ? path : StrokeDataDir() + "/" + path;
  std::ifstream in(full);
  if (!in) return points;
  const nlohmann::json doc = nlohmann::json::parse(in, nullptr, false);
  if (doc.is_discarded() || !doc.contains("points") || !doc["points"].is_array()) return points;
  points.Reserve(static_cast<int>(doc["points"].size()));
  for (const auto& p : doc["points"]) {
    if (!p.is_array() || p.size() < 2) continue;
    const double z = p.size() > 2 ? p[2].get<double>() : 0.0;
    points.Append(VORMathPoint(p[0].get<double>(), p[1].get<double>(), z));
  }
  return points;
}
