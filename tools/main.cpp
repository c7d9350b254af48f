// stroke: creates a stroke from a drawing file, refits it, applies the edits asked for on the command
// line and writes a picture (SVG), the stroke's whole state (JSON) and the extruded body (STEP, STL).
// Given a folder it does the same for every stroke file in it and prints a table (text, CSV or JSON).
// Every message it prints starts with "stroke:".
//
// Exit status: 0 done; 2 bad input (file or option: nothing written); 3 the stroke refused an edit or
// the extrusion (nothing written); 1 an output could not be written.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "StrokeFile.h"
#include "StrokeServer.h"
#include "StrokeSession.h"
#include "StrokeSvg.h"
#include "TAQMoRuntimeStrokeVersion.h"
#include "VORBodyWriter.h"

namespace {

struct Options {
  std::string input;
  std::string outDir = "stroke-out";
  bool extrude = false;
  std::string limits = "0,10";
  bool noBody = false;
  bool bodies = false;  // batch: also write bodies
  std::string range;
  std::vector<std::string> insertAnchors, drags, endTangents;
  std::vector<int> deleteAnchors;
  bool cut = false;
  bool quiet = false;
  double deflection = 0.05;  // STL chordal deviation, model units
  std::string table = "text";  // folder mode: text, csv or json
};

constexpr const char* kExitStatuses =
    "Exit status:\n"
    "  0  done\n"
    "  1  an output could not be written\n"
    "  2  bad file or option: one line names the file and the field, nothing is written\n"
    "  3  the stroke refused an edit or the extrusion: nothing is written\n";

// A failure with its exit status and the one line that describes it.
struct Failure {
  int status;
  std::string line;
};

bool ParseNumbers(const std::string& text, std::vector<double>& out, std::size_t count) {
  out.clear();
  std::size_t pos = 0;
  while (pos <= text.size()) {
    const std::size_t comma = text.find(',', pos);
    const std::string part = text.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos);
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(part.c_str(), &end);
    if (part.empty() || end != part.c_str() + part.size() || errno == ERANGE || !std::isfinite(v)) return false;
    out.push_back(v);
    if (comma == std::string::npos) break;
    pos = comma + 1;
  }
  return out.size() == count;
}

VORMathPoint ParsePoint(const std::string& option, const std::string& text) {
  std::vector<double> v;
  if (!ParseNumbers(text, v, 3)) throw Failure{2, "option " + option + ": expected X,Y,Z of finite numbers, got '" + text + "'"};
  return VORMathPoint(v[0], v[1], v[2]);
}

std::string BaseName(const std::string& path) {
  std::string name = path.substr(path.find_last_of('/') == std::string::npos ? 0 : path.find_last_of('/') + 1);
  for (const char* suffix : {".json", ".stroke"})
    if (name.size() > std::strlen(suffix) && name.compare(name.size() - std::strlen(suffix), std::string::npos, suffix) == 0)
      name.erase(name.size() - std::strlen(suffix));
  return name.empty() ? "stroke" : name;
}

bool MakeDirs(const std::string& dir) {
  std::string partial;
  for (std::size_t i = 0; i <= dir.size(); ++i) {
    if (i == dir.size() || dir[i] == '/') {
      if (!partial.empty() && mkdir(partial.c_str(), 0777) != 0 && errno != EEXIST) return false;
    }
    if (i < dir.size()) partial += dir[i];
  }
  struct stat st;
  return stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Outputs written under temporary names and renamed into place together, so that a failure leaves none.
class PendingOutputs {
 public:
  ~PendingOutputs() {
    for (const auto& o : mFiles) std::remove(o.temporary.c_str());
  }
  bool AddText(const std::string& path, const std::string& text) {
    const std::string temporary = Temporary(path);
    std::FILE* f = std::fopen(temporary.c_str(), "wb");
    if (!f) return false;
    mFiles.push_back({temporary, path});
    const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return std::fclose(f) == 0 && ok;
  }
  template <class Write>
  bool AddWritten(const std::string& path, Write write) {
    const std::string temporary = Temporary(path);
    mFiles.push_back({temporary, path});
    return write(temporary.c_str());
  }
  bool Commit() {
    for (auto& o : mFiles) {
      if (std::rename(o.temporary.c_str(), o.path.c_str()) != 0) return false;
      o.temporary.clear();
    }
    return true;
  }

 private:
  static std::string Temporary(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string dir = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return dir + "." + name + ".tmp" + std::to_string(static_cast<long>(getpid()));
  }
  struct File {
    std::string temporary, path;
  };
  std::vector<File> mFiles;
};

struct RunResult {
  std::string name;
  StrokeFigures figures;
  double readMs = 0, createMs = 0, updateMs = 0, editMs = 0, bodyMs = 0, writeMs = 0, stepMs = 0, stlMs = 0, totalMs = 0;
  std::vector<std::string> edits;
  std::vector<std::string> written;
  std::string kind;
};

const char* KindName(StrokeFileKind kind) {
  switch (kind) {
    case StrokeFileKind::Drawing: return "drawing";
    case StrokeFileKind::Plain: return "points only";
    case StrokeFileKind::SavedStroke: return "saved stroke";
  }
  return "?";
}

// Everything for one file. Throws Failure; writes nothing unless all went well.
RunResult RunOne(const std::string& path, const Options& opt, bool writeBodies) {
  RunResult r;
  r.name = BaseName(path);
  double t0 = NowMs();
  StrokeFileContents contents;
  try {
    contents = ReadStrokeFile(path);
  } catch (const StrokeFileError& e) {
    throw Failure{2, path + ": " + (e.Field().empty() ? "" : "field '" + e.Field() + "': ") + e.what()};
  }
  r.readMs = NowMs() - t0;
  r.kind = KindName(contents.kind);

  StrokeSession session;
  std::string field, message;
  if (!session.Create(contents, field, message)) throw Failure{2, path + ": field '" + field + "': " + message};
  r.createMs = session.CreateMs();

  // Edits, in a fixed order: inserted anchors, drags, end tangents, deleted anchors, range, cut (a reshape
  // makes the stroke whole again, so the range is set after the reshaping edits).
  t0 = NowMs();
  auto edit = [&](const std::string& what, bool ok) {
    if (!ok) throw Failure{3, path + ": " + what + ": " + message};
    r.edits.push_back(what);
  };
  for (const std::string& a : opt.insertAnchors)
    edit("insert-anchor " + a, session.InsertAnchor(ParsePoint("--insert-anchor", a), message));
  for (const std::string& d : opt.drags) {
    const std::size_t colon = d.find(':');
    if (colon == std::string::npos) throw Failure{2, "option --drag: expected FX,FY,FZ:TX,TY,TZ, got '" + d + "'"};
    edit("drag " + d, session.Drag(ParsePoint("--drag", d.substr(0, colon)), ParsePoint("--drag", d.substr(colon + 1)), message));
  }
  for (const std::string& t : opt.endTangents) {
    const std::size_t colon = t.find(':');
    const std::string which = t.substr(0, colon);
    if (colon == std::string::npos || (which != "start" && which != "end"))
      throw Failure{2, "option --end-tangent: expected start:DX,DY,DZ or end:DX,DY,DZ, got '" + t + "'"};
    const VORMathPoint d = ParsePoint("--end-tangent", t.substr(colon + 1));
    const VORMathVector v(d.GetX(), d.GetY(), d.GetZ());
    if (!VORMathDirection::IsUsable(v)) throw Failure{2, "option --end-tangent: a zero vector gives no direction"};
    edit("end-tangent " + t, session.SetEndTangent(which == "end", VORMathDirection(v), message));
  }
  for (int n : opt.deleteAnchors) {
    if (!session.DeleteAnchor(n, message)) throw Failure{2, path + ": option --delete-anchor: " + message};
    r.edits.push_back("delete-anchor " + std::to_string(n));
  }
  if (!opt.range.empty()) {
    std::vector<double> v;
    if (!ParseNumbers(opt.range, v, 2) || !(0.0 <= v[0] && v[0] < v[1] && v[1] <= 1.0))
      throw Failure{2, "option --range: expected START,END with 0 <= START < END <= 1, got '" + opt.range + "'"};
    const double range[2] = {v[0], v[1]};
    edit("range " + opt.range, session.SetRange(range, message));
  }
  if (opt.cut) edit("cut", session.Cut(message));
  r.editMs = NowMs() - t0;
  r.updateMs = session.UpdateMs();

  // The stroke's state is taken before anything else asks it for geometry.
  const std::string json = SaveStroke(session.Stroke()).dump(1) + "\n";
  r.figures = session.Figures();

  StrokePicture pic = session.Picture(r.name);

  std::vector<double> limits;
  if (!ParseNumbers(opt.limits, limits, 2) || !(limits[0] < limits[1]))
    throw Failure{2, "option --limits: expected A,B with A < B, got '" + opt.limits + "'"};
  double lim[2] = {limits[0], limits[1]};
  pic.extruded = opt.extrude;
  pic.limits[0] = lim[0];
  pic.limits[1] = lim[1];

  VORBody* body = nullptr;
  if (writeBodies) {
    t0 = NowMs();
    body = session.Extrude(lim, message);
    r.bodyMs = NowMs() - t0;
    if (!body) throw Failure{3, path + ": " + message};
  }

  t0 = NowMs();
  if (!MakeDirs(opt.outDir)) throw Failure{1, opt.outDir + ": cannot create the output folder"};
  const std::string base = opt.outDir + "/" + r.name;
  PendingOutputs out;
  bool ok = out.AddText(base + ".svg", RenderSvg(pic)) && out.AddText(base + ".stroke.json", json);
  r.written = {base + ".svg", base + ".stroke.json"};
  if (ok && body) {
    const double t1 = NowMs();
    ok = out.AddWritten(base + ".step", [&](const char* p) { return VORBodyWriter::WriteSTEP(body, p); });
    const double t2 = NowMs();
    ok = ok && out.AddWritten(base + ".stl", [&](const char* p) { return VORBodyWriter::WriteSTL(body, p, opt.deflection); });
    r.stepMs = t2 - t1;
    r.stlMs = NowMs() - t2;
    r.written.push_back(base + ".step");
    r.written.push_back(base + ".stl");
  }
  if (!ok || !out.Commit()) throw Failure{1, base + ": cannot write the outputs: " + std::strerror(errno)};
  r.writeMs = NowMs() - t0;
  return r;
}

void PrintSummary(const std::string& path, const RunResult& r) {
  const StrokeFigures& f = r.figures;
  std::printf("stroke: %s (%s)\n", path.c_str(), r.kind.c_str());
  std::printf("  points in       %d   source points %d   anchors %d\n", f.pointsIn, f.sourcePoints, f.anchors);
  std::printf("  curves          %d   control points %d   display points %d\n", f.curves, f.controlPoints, f.displayPoints);
  std::printf("  max deviation   %.4f model units of the source points, %.4f of the drawn points, from the display\n",
              f.maxDeviation, f.maxDrawnDeviation);
  std::printf("  length          %.3f model units\n", f.length);
  std::printf("  timings (ms)    read %.2f  create %.2f  update %.2f  edits %.2f  extrude %.2f\n", r.readMs,
              r.createMs, r.updateMs, r.editMs, r.bodyMs);
  std::printf("                  write %.2f (STEP %.2f, STL %.2f)\n", r.writeMs, r.stepMs, r.stlMs);
  if (!r.edits.empty()) {
    std::printf("  edits          ");
    for (const std::string& e : r.edits) std::printf(" [%s]", e.c_str());
    std::printf("\n");
  }
  std::printf("  wrote          ");
  for (const std::string& w : r.written) std::printf(" %s", w.c_str());
  std::printf("\n");
}

std::vector<std::string> StrokeFilesIn(const std::string& dir) {
  std::vector<std::string> files;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d)) {
      const std::string name = e->d_name;
      if (name.size() > 5 && name.compare(name.size() - 5, 5, ".json") == 0) files.push_back(dir + "/" + name);
    }
    closedir(d);
  }
  std::sort(files.begin(), files.end());
  return files;
}

void Progress(std::size_t done, std::size_t total, const std::string& name) {
  const int width = 30;
  const int filled = total ? static_cast<int>(width * done / total) : width;
  std::fprintf(stderr, "\r[%s%s] %zu/%zu %-40.40s", std::string(filled, '#').c_str(),
               std::string(width - filled, ' ').c_str(), done, total, name.c_str());
  if (done == total) std::fprintf(stderr, "\n");
  std::fflush(stderr);
}

// The folder's table, one row per stroke done, for a spreadsheet.
void PrintCsv(const std::vector<RunResult>& results) {
  std::printf("stroke,points,anchors,control_points,deviation_source,deviation_drawn,ms\n");
  for (const RunResult& r : results) {
    std::string name = "\"";
    for (char c : r.name) name += c == '"' ? std::string("\"\"") : std::string(1, c);
    std::printf("%s\",%d,%d,%d,%.6f,%.6f,%.3f\n", name.c_str(), r.figures.pointsIn, r.figures.anchors,
                r.figures.controlPoints, r.figures.maxDeviation, r.figures.maxDrawnDeviation, r.totalMs);
  }
}

// The folder's table and what failed, as one JSON document.
void PrintJson(const std::vector<RunResult>& results, const std::vector<std::string>& failures, double totalMs) {
  nlohmann::json rows = nlohmann::json::array();
  for (const RunResult& r : results)
    rows.push_back({{"stroke", r.name}, {"points", r.figures.pointsIn}, {"anchors", r.figures.anchors},
                    {"control_points", r.figures.controlPoints}, {"deviation_source", r.figures.maxDeviation},
                    {"deviation_drawn", r.figures.maxDrawnDeviation}, {"ms", r.totalMs}});
  const nlohmann::json doc{{"strokes", rows}, {"failed", failures}, {"total_ms", totalMs}};
  std::printf("%s\n", doc.dump(1).c_str());
}

int RunBatch(const Options& opt) {
  if (!opt.insertAnchors.empty() || !opt.drags.empty() || !opt.endTangents.empty() || !opt.deleteAnchors.empty()) {
    std::fprintf(stderr, "stroke: %s: the point edits apply to one stroke, not to a folder\n", opt.input.c_str());
    return 2;
  }
  const std::vector<std::string> files = StrokeFilesIn(opt.input);
  if (files.empty()) {
    std::fprintf(stderr, "stroke: %s: no .json stroke files in the folder\n", opt.input.c_str());
    return 2;
  }
  const bool tty = isatty(2) != 0;
  std::vector<RunResult> results;
  std::vector<std::string> failures;
  int worst = 0;
  const double t0 = NowMs();
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (tty && !opt.quiet) Progress(i, files.size(), BaseName(files[i]));
    try {
      const double start = NowMs();
      results.push_back(RunOne(files[i], opt, opt.bodies));
      results.back().totalMs = NowMs() - start;
    } catch (const Failure& f) {
      failures.push_back(f.line);
      worst = std::max(worst, f.status);
    } catch (const std::exception& e) {
      failures.push_back(files[i] + ": " + e.what());
      worst = std::max(worst, 1);
    }
  }
  if (tty && !opt.quiet) Progress(files.size(), files.size(), "");
  const double totalMs = NowMs() - t0;
  if (opt.table == "csv") PrintCsv(results);
  if (opt.table == "json") PrintJson(results, failures, totalMs);
  for (const std::string& f : failures) std::fprintf(stderr, "stroke: %s\n", f.c_str());
  if (opt.table != "text") return worst;
  std::printf("%-40s %7s %7s %8s %9s %9s %9s\n", "stroke", "points", "anchors", "control", "dev src", "dev drawn", "ms");
  double sumMs = 0.0, worstDev = 0.0, worstDrawn = 0.0;
  long points = 0;
  for (const RunResult& r : results) {
    const double ms = r.totalMs;
    sumMs += ms;
    points += r.figures.pointsIn;
    worstDev = std::max(worstDev, r.figures.maxDeviation);
    worstDrawn = std::max(worstDrawn, r.figures.maxDrawnDeviation);
    std::printf("%-40.40s %7d %7d %8d %9.4f %9.4f %9.2f\n", r.name.c_str(), r.figures.pointsIn, r.figures.anchors,
                r.figures.controlPoints, r.figures.maxDeviation, r.figures.maxDrawnDeviation, ms);
  }
  std::printf("%zu strokes done, %zu failed; %ld points; largest deviation %.4f (source), %.4f (drawn); %.1f ms in all "
              "(%.3f ms per stroke)\n", results.size(), failures.size(), points, worstDev, worstDrawn, totalMs,
              results.empty() ? 0.0 : sumMs / results.size());
  std::printf("outputs in %s/\n", opt.outDir.c_str());
  return worst;
}

// The program's own options and arguments (the default job: files and folders of strokes).
void AddRunOptions(CLI::App& app, Options& opt) {
  app.add_option("input", opt.input, "Stroke file (drawing, points-only or saved stroke) or a folder of them");
  app.add_option("-o,--out", opt.outDir, "Output folder (created)")->capture_default_str();
  app.add_flag("--extrude", opt.extrude, "Draw the extruded outline in the picture");
  app.add_option("--limits", opt.limits, "Extrusion limits along the sketch plane normal, A,B")->capture_default_str();
  app.add_flag("--no-body", opt.noBody, "Do not write the STEP and STL body (single file)");
  app.add_flag("--bodies", opt.bodies, "Also write STEP and STL bodies in folder mode");
  app.add_option("--range", opt.range, "Set the range in use, START,END (fractions of the stroke, within 0..1)");
  app.add_option("--insert-anchor", opt.insertAnchors, "Insert an anchor at the stroke point nearest X,Y,Z");
  app.add_option("--drag", opt.drags, "Drag the stroke from FX,FY,FZ to TX,TY,TZ");
  app.add_option("--end-tangent", opt.endTangents, "New tangent at an end, start:DX,DY,DZ or end:DX,DY,DZ");
  app.add_option("--delete-anchor", opt.deleteAnchors, "Delete inner anchor N (2..anchors-1, as the picture numbers them)");
  app.add_flag("--cut", opt.cut, "Cut the stroke to its range for good");
  app.add_option("--stl-deflection", opt.deflection, "Chordal deviation of the STL mesh (model units)")
      ->capture_default_str()
      ->check(CLI::Range(1e-4, 1e6));
  app.add_option("--table", opt.table, "Folder mode: the table as text, csv or json (on standard output)")
      ->capture_default_str()
      ->check(CLI::IsMember({"text", "csv", "json"}));
  app.add_flag("-q,--quiet", opt.quiet, "No progress bar in folder mode");
}

// The shipped example drawing: installed beside the program, else in the source tree.
std::string ExampleDrawing() {
  char self[4096];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n > 0) {
    std::string dir(self, static_cast<std::size_t>(n));
    dir.erase(dir.find_last_of('/') + 1);
    const std::string installed = dir + TAQ_INSTALLED_EXAMPLES + "/wave.json";
    struct stat st;
    if (stat(installed.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return installed;
  }
  return std::string(TAQ_EXAMPLES_DIR) + "/wave.json";
}

// The default job on parsed options.
int RunStroke(Options& opt) {
  bool example = false;
  if (opt.input.empty()) {
    opt.input = ExampleDrawing();
    opt.extrude = true;
    example = true;
  }
  struct stat st;
  if (stat(opt.input.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return RunBatch(opt);
  if (opt.table != "text") {
    std::fprintf(stderr, "stroke: option --table: applies to a folder, and %s is a file\n", opt.input.c_str());
    return 2;
  }
  try {
    const RunResult r = RunOne(opt.input, opt, !opt.noBody);
    PrintSummary(opt.input, r);
    if (example)
      std::printf("stroke: the example's outputs are in %s/ (open %s/wave.svg)\n", opt.outDir.c_str(), opt.outDir.c_str());
  } catch (const Failure& f) {
    std::fprintf(stderr, "stroke: %s\n", f.line.c_str());
    return f.status;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "stroke: %s: %s\n", opt.input.c_str(), e.what());
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // Subcommands have their own parsers: `stroke serve ...`.
  if (argc > 1 && std::strcmp(argv[1], "serve") == 0) return StrokeServer::Main(argc - 1, argv + 1);
  CLI::App app{"Creates a stroke from a drawing (or every stroke file of a folder), edits it, and writes a picture "
               "(SVG), the stroke (JSON) and its extruded body (STEP, STL). Without arguments it runs on the shipped "
               "example. `stroke serve --help`: the drawing page and its server."};
  app.footer(kExitStatuses);
  app.set_version_flag("--version", std::string("stroke ") + TAQMORUNTIMESTROKE_VERSION_STRING +
                                        " (TAQMoRuntimeStroke library " + TAQMORUNTIMESTROKE_VERSION_STRING + ")");
  // The parser's own complaints read like the program's: one line, prefixed.
  app.failure_message([](const CLI::App*, const CLI::Error& e) {
    return std::string("stroke: ") + e.what() + " (stroke --help lists the options)\n";
  });
  Options opt;
  AddRunOptions(app, opt);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e);
    return code == 0 ? 0 : 2;
  }
  return RunStroke(opt);
}
