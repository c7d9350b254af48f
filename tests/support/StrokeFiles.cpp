#include "StrokeFiles.h"

#include <algorithm>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <stdexcept>

#include <nlohmann/json.hpp>

std::string StrokeDataDir() {
  const char* env = std::getenv("TAQ_DATA_DIR");
  return env && *env ? env : TAQ_DATA_DIR;
}

std::vector<std::string> StrokeFiles(const std::string& group) {
  std::vector<std::string> files;
  if (DIR* d = opendir((StrokeDataDir() + "/" + group).c_str())) {
    while (dirent* e = readdir(d)) {
      const std::string name = e->d_name;
      if (name.size() > 5 && name.compare(name.size() - 5, 5, ".json") == 0) files.push_back(group + "/" + name);
    }
    closedir(d);
  }
  std::sort(files.begin(), files.end());
  if (files.empty()) files.push_back(group);
  return files;
}

std::vector<std::string> SomeRealStrokes(size_t step) {
  std::vector<std::string> all = StrokeFiles("real"), some;
  for (size_t i = 0; i < all.size(); i += step) some.push_back(all[i]);
  return some;
}

VORListValVORMathPoint LoadStrokePoints(const std::string& path) {
  const std::string full = (!path.empty() && path[0] == '/') ? path : StrokeDataDir() + "/" + path;
  std::ifstream in(full);
  const nlohmann::json doc = nlohmann::json::parse(in, nullptr, false);
  VORListValVORMathPoint points;
  bool ok = in && !doc.is_discarded() && doc.is_object() && doc.contains("points") && doc["points"].is_array();
  for (std::size_t i = 0; ok && i < doc["points"].size(); ++i) {
    const nlohmann::json& p = doc["points"][i];
    ok = p.is_array() && p.size() >= 2 && p.size() <= 3 && std::all_of(p.begin(), p.end(), [](auto& c) { return c.is_number(); });
    if (ok) points.Append(VORMathPoint(p[0].get<double>(), p[1].get<double>(), p.size() > 2 ? p[2].get<double>() : 0.0));
  }
  if (!ok) throw std::runtime_error("stroke data " + full + ": missing, unreadable or not a list of points");
  return points;
}
