// The stroke program as a user runs it: on the shipped example and on real strokes, with edits, over a
// folder, and on bad files. The program's saved stroke is checked against a stroke made in this process
// from the same drawing, and reloading a saved stroke must give it back unchanged.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "StrokeFiles.h"
#include "StrokeSnapshot.h"
#include "TestGeometry.h"
#include "TestStroke.h"
#include "VORGeoFactory.h"
#include "VORSoftwareConfiguration.h"

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

struct ProgramRun {
  int status = -1;
  std::string out, err;
};

std::string Slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::stringstream s(text);
  for (std::string line; std::getline(s, line);) lines.push_back(line);
  return lines;
}

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/stroke-program-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    mDir = pattern;
  }
  void TearDown() override { fs::remove_all(mDir); }

  // Runs the program in the test folder with args (already quoted where needed).
  ProgramRun Stroke(const std::string& args) {
    ProgramRun r;
    const std::string cmd = "cd '" + mDir.string() + "' && '" + std::string(TAQ_STROKE_PROGRAM) + "' " + args +
                            " > run.out 2> run.err";
    const int raw = std::system(cmd.c_str());
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = Slurp(mDir / "run.out");
    r.err = Slurp(mDir / "run.err");
    return r;
  }
  json Saved(const std::string& rel) { return json::parse(Slurp(mDir / rel)); }
  fs::path Write(const std::string& name, const std::string& text) {
    std::ofstream(mDir / name, std::ios::binary) << text;
    return mDir / name;
  }

  // A refusal: the exit status, one line on stderr that says says, and no output folder written.
  void ExpectRefused(const ProgramRun& r, int status, const std::string& says, const char* out = "out") {
    EXPECT_EQ(r.status, status);
    EXPECT_EQ(Lines(r.err).size(), 1u) << r.err;
    EXPECT_NE(r.err.find(says), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(mDir / out));
  }

  fs::path mDir;
};

std::string Example() { return std::string(TAQ_SOURCE_DIR) + "/examples/wave.json"; }

VORListValVORMathPoint Points(const json& a) {
  VORListValVORMathPoint points;
  for (const auto& p : a) points.Append(VORMathPoint(p[0].get<double>(), p[1].get<double>(), p[2].get<double>()));
  return points;
}

VORListValVORMathPoint Display(const json& saved) { return Points(saved["display"]["coords"]); }

// ---- The example and real strokes ----

TEST_F(ProgramTest, WithoutArgumentsRunsTheExampleAndWritesEveryOutput) {
  const ProgramRun r = Stroke("");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_NE(r.out.find("stroke-out/"), std::string::npos) << "says where it wrote";
  const std::string svg = Slurp(mDir / "stroke-out/wave.svg");
  EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
  EXPECT_NE(svg.find("<polyline class=\"display\""), std::string::npos);
  EXPECT_NE(svg.find("class=\"anchor\""), std::string::npos);
  EXPECT_NE(svg.find("class=\"tangent\""), std::string::npos);
  EXPECT_NE(svg.find("class=\"extruded-high\""), std::string::npos);
  EXPECT_NE(svg.find("</svg>"), std::string::npos);
  const std::string step = Slurp(mDir / "stroke-out/wave.step");
  EXPECT_EQ(step.rfind("ISO-10303-21;", 0), 0u);
  EXPECT_NE(step.find("B_SPLINE"), std::string::npos);
  EXPECT_NE(step.find("END-ISO-10303-21;"), std::string::npos);
  EXPECT_GT(fs::file_size(mDir / "stroke-out/wave.stl"), 1000u);
  const json saved = Saved("stroke-out/wave.stroke.json");
  EXPECT_EQ(saved["kind"], "stroke");
  EXPECT_GE(saved["anchors"].size(), 2u);
  EXPECT_GE(saved["display"]["coords"].size(), 2u);
  // The STEP writer's statistics stay off the summary.
  EXPECT_EQ(r.out.find("Step"), std::string::npos);
  for (const fs::directory_entry& e : fs::directory_iterator(mDir / "stroke-out"))
    EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << "temporary left: " << e.path();
}

// The saved file holds what the stroke's accessors read for a stroke made from the same drawing here.
TEST_F(ProgramTest, SavedStrokeReadsLikeTheStrokeMadeFromTheDrawing) {
  ASSERT_EQ(Stroke("'" + Example() + "' -o out --no-body").status, 0);
  const json saved = Saved("out/wave.stroke.json");

  const json drawing = json::parse(Slurp(Example()));
  VORListValVORMathPoint drawn = Points(drawing["points"]);
  VORGeoFactory factory;
  VORSoftwareConfiguration config;
  TestStroke s;
  s.SetSketchPlane(VORMathPlane());
  ASSERT_EQ(TAQMoStroke::CreateInView(s, &config, &factory, drawing["sketch"], drawing["target"], drawing["type"],
                                      drawing["color"], drawing["width"], drawn, VORMathDirection(0.0, 0.0, -1.0), 0),
            S_OK);
  const double whole[2] = {0.0, 1.0};
  ASSERT_EQ(s.SetRange(whole), S_OK);
  ASSERT_TRUE(s.Update(&config, &factory, nullptr));

  const snapshot::State st = snapshot::Take(s);
  EXPECT_EQ(saved["type"], st.type);
  EXPECT_EQ(saved["sketch"], st.isSketch);
  EXPECT_EQ(saved["color"], st.color);
  EXPECT_EQ(saved["width"].get<double>(), st.width);
  EXPECT_EQ(saved["range"][0].get<double>(), st.range[0]);
  EXPECT_EQ(saved["range"][1].get<double>(), st.range[1]);
  EXPECT_EQ(saved["sketch_plane_defined"].get<bool>(), st.sketchPlaneDefined);
  ASSERT_EQ(saved["anchors"].size(), static_cast<size_t>(st.anchors.Size()));
  for (int i = 1; i <= st.anchors.Size(); ++i) EXPECT_EQ(saved["anchors"][i - 1], st.anchors[i]);
  EXPECT_TRUE(Display(saved) == st.coords);
  EXPECT_EQ(saved["targets"].size(), static_cast<size_t>(st.targets.Size()));
  EXPECT_EQ(saved["tangents"].size(), st.tangents.size());
  ASSERT_EQ(saved["segments"].size(), st.data.size());
  const VORListValVORMathPoint2D& points2D = st.data[0].points2D;
  ASSERT_EQ(saved["segments"][0]["points2d"].size(), static_cast<size_t>(points2D.Size()));
  for (int i = 1; i <= points2D.Size(); ++i) {
    EXPECT_EQ(saved["segments"][0]["points2d"][i - 1][0].get<double>(), points2D[i].GetX());
    EXPECT_EQ(saved["segments"][0]["points2d"][i - 1][1].get<double>(), points2D[i].GetY());
  }
  VORMathPoint ends[2];
  VORMathDirection dirs[2];
  ASSERT_TRUE(s.GetEndTangents(ends, dirs));
  ASSERT_EQ(saved["end_points"].size(), 2u);
  EXPECT_TRUE(Points(saved["end_points"])[1] == ends[0]);
  EXPECT_TRUE(Points(saved["end_points"])[2] == ends[1]);
}

TEST_F(ProgramTest, ReloadingASavedStrokeGivesItBackUnchanged) {
  ASSERT_EQ(Stroke("'" + Example() + "' -o first --no-body --insert-anchor 40,-60,0").status, 0);
  const ProgramRun r = Stroke("first/wave.stroke.json -o second --no-body");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("saved stroke"), std::string::npos);
  EXPECT_EQ(Slurp(mDir / "first/wave.stroke.json"), Slurp(mDir / "second/wave.stroke.json"));
  // A reloaded stroke can be edited further.
  const ProgramRun edited = Stroke("first/wave.stroke.json -o third --no-body --delete-anchor 2");
  ASSERT_EQ(edited.status, 0) << edited.err;
  EXPECT_EQ(Saved("third/wave.stroke.json")["anchors"].size() + 1, Saved("first/wave.stroke.json")["anchors"].size());
}

// The fit keeps the source points within its tolerance (0.5) and the display polyline keeps within its
// chordal tolerance (0.1) of the fitted curve.
const double kSourceToDisplay = 0.5 + 0.1 + 1e-6;

// Real strokes of the shared data, points only, drawn on z = 0: the display holds the fit and display
// tolerances around the stroke's source points, and what the user drew stays within the thinning (0.5),
// fit (0.5) and display (0.1) tolerances of it. Every fifth of them also gets a body.
TEST_F(ProgramTest, RealPointsOnlyStrokesAreShownWithinTolerance) {
  const std::vector<std::string> files = StrokeFiles("real");
  ASSERT_FALSE(files.empty());
  for (size_t i = 0; i < files.size(); i += 10) {
    SCOPED_TRACE(files[i]);
    const bool body = i % 50 == 0;
    const ProgramRun r = Stroke("'" + StrokeDataDir() + "/" + files[i] + "' -o real" + (body ? "" : " --no-body"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("points only"), std::string::npos);
    const std::string name = fs::path(files[i]).stem().string();
    EXPECT_NE(Slurp(mDir / "real" / (name + ".svg")).find("<polyline class=\"display\""), std::string::npos);
    if (body) EXPECT_GT(fs::file_size(mDir / "real" / (name + ".step")), 0u);
    const json saved = Saved("real/" + name + ".stroke.json");
    const VORListValVORMathPoint display = Display(saved);
    ASSERT_GE(display.Size(), 2);
    EXPECT_EQ(display[1].GetZ(), 0.0);
    for (const auto& p : saved["segments"][0]["points2d"])
      EXPECT_LE(DistanceToPolyline(display, VORMathPoint(p[0].get<double>(), p[1].get<double>(), 0.0)),
                kSourceToDisplay);
    for (const VORMathPoint& p : LoadStrokePoints(files[i])) EXPECT_LE(DistanceToPolyline(display, p), 1.1 + 1e-6);
  }
}

// Drawings in other planes: 2D points on a reference plane, and 3D points carried along the view onto a
// tilted sketch plane. The display lies in the plane either way.
TEST_F(ProgramTest, DrawingsInOtherPlanesAreShownInTheirPlane) {
  Write("ref.json",
        "{\"plane\": {\"origin\": [0, 0, 5], \"normal\": [0, 0, 1]}, \"planes\": [{\"origin\": [0, 0, 5], "
        "\"normal\": [0, 0, 1]}], \"points2d\": [[0, 0], [2, 1], [4, 3], [6, 2], [8, 0], [10, -1], [12, 0]]}");
  const ProgramRun r = Stroke("ref.json -o ref --no-body");
  ASSERT_EQ(r.status, 0) << r.err;
  const json ref = Saved("ref/ref.stroke.json");
  EXPECT_TRUE(ref["segments"][0]["is_ref"].get<bool>());
  EXPECT_EQ(ref["segments"][0]["points2d"].size(), 7u);
  ASSERT_GE(ref["display"]["coords"].size(), 7u);
  for (const VORMathPoint& p : Display(ref)) EXPECT_NEAR(p.GetZ(), 5.0, 1e-9);

  json drawing = json::parse(Slurp(Example()));
  drawing["plane"] = {{"origin", {0, 0, 0}}, {"normal", {0, -1, 1}}};
  Write("tilted.json", drawing.dump());
  ASSERT_EQ(Stroke("tilted.json -o tilted --no-body").status, 0);
  const VORListValVORMathPoint display = Display(Saved("tilted/tilted.stroke.json"));
  ASSERT_GE(display.Size(), 2);
  for (const VORMathPoint& p : display) EXPECT_NEAR(p.GetZ(), p.GetY(), 1e-9);
  // Seen along the view (z), the tilted stroke covers the same x and y as the flat one.
  EXPECT_NEAR(display[1].GetX(), drawing["points"][0][0].get<double>(), 1e-9);
  EXPECT_NEAR(display[1].GetY(), drawing["points"][0][1].get<double>(), 1e-9);
}

// ---- Edits ----

TEST_F(ProgramTest, EditsChangeTheStrokeAsAsked) {
  ASSERT_EQ(Stroke("'" + Example() + "' -o plain --no-body").status, 0);
  const json plain = Saved("plain/wave.stroke.json");
  const VORListValVORMathPoint display = Display(plain);
  const size_t anchors = plain["anchors"].size();

  ASSERT_EQ(Stroke("'" + Example() + "' -o insert --no-body --insert-anchor 40,-60,0").status, 0);
  EXPECT_EQ(Saved("insert/wave.stroke.json")["anchors"].size(), anchors + 1);

  // The smooth drawing has no inner anchor of its own: the one inserted in the same run is deleted.
  ASSERT_EQ(Stroke("'" + Example() + "' -o del --no-body --insert-anchor 40,-60,0 --delete-anchor 2").status, 0);
  EXPECT_EQ(Saved("del/wave.stroke.json")["anchors"].size(), anchors);

  // A drag pulls the stroke through the target point, which lay well off it.
  // Sideways from the middle of the display, on whichever side stays farther from the rest of it.
  const int mid = display.Size() / 2;
  const VORMathPoint from = display[mid];
  const VORMathVector along = display[mid + 1] - display[mid - 1];
  const VORMathVector side = VORMathVector(-along.GetY(), along.GetX(), 0.0) * (3.0 / along.GetNorm());
  const VORMathPoint to = DistanceToPolyline(display, from + side) > DistanceToPolyline(display, from - side)
                              ? from + side
                              : from - side;
  ASSERT_GT(DistanceToPolyline(display, to), 1.5);
  std::ostringstream drag;
  drag.precision(17);
  drag << from.GetX() << "," << from.GetY() << ",0:" << to.GetX() << "," << to.GetY() << ",0";
  const ProgramRun dragged = Stroke("'" + Example() + "' -o drag --no-body --drag " + drag.str());
  ASSERT_EQ(dragged.status, 0) << dragged.err;
  EXPECT_LE(DistanceToPolyline(Display(Saved("drag/wave.stroke.json")), to), kSourceToDisplay);
  EXPECT_NE(Slurp(mDir / "drag/wave.svg"), Slurp(mDir / "plain/wave.svg"));

  // A new start tangent on a stroke whose blends impose its end tangents: the fit starts along it.
  json drawing = json::parse(Slurp(Example()));
  drawing["blends"] = {1.0, 1.0};
  Write("blended.json", drawing.dump());
  ASSERT_EQ(Stroke("blended.json -o bend --no-body --end-tangent start:1,1,0").status, 0);
  const json bent = Saved("bend/blended.stroke.json");
  ASSERT_EQ(bent["tangents"].size(), 2u);
  const VORListValVORMathPoint record = Points(bent["tangents"][0]["coords"]);
  ASSERT_EQ(record.Size(), 2);
  const VORMathDirection d(record[2] - record[1]);
  EXPECT_NEAR(d.GetX(), std::sqrt(0.5), 1e-6);
  EXPECT_NEAR(d.GetY(), std::sqrt(0.5), 1e-6);
  ASSERT_EQ(Stroke("blended.json -o unbent --no-body").status, 0);
  const VORListValVORMathPoint unbent = Points(Saved("unbent/blended.stroke.json")["tangents"][0]["coords"]);
  EXPECT_LT(VORMathDirection(unbent[2] - unbent[1]).Dot(d.GetVector()), 0.99) << "the start really turned";
  EXPECT_FALSE(Display(bent) == Display(Saved("unbent/blended.stroke.json")));

  // A cut keeps the middle for good: the range is whole again and the stroke shorter.
  ASSERT_EQ(Stroke("'" + Example() + "' -o cut --no-body --range 0.2,0.8 --cut").status, 0);
  const json cut = Saved("cut/wave.stroke.json");
  EXPECT_EQ(cut["range"][0].get<double>(), 0.0);
  EXPECT_EQ(cut["range"][1].get<double>(), 1.0);
  const double ratio = PolylineLength(Display(cut)) / PolylineLength(display);
  EXPECT_GT(ratio, 0.5);
  EXPECT_LT(ratio, 0.7);
}

TEST_F(ProgramTest, RefusedEditsWriteNothing) {
  struct Case {
    std::string args;
    int status;
    std::string says;
  };
  const std::vector<Case> cases = {
      {"--delete-anchor 1", 2, "--delete-anchor"},
      {"--delete-anchor 99", 2, "--delete-anchor"},
      {"--drag 1,2,3", 2, "--drag"},
      {"--insert-anchor 1,nan,0", 2, "--insert-anchor"},
      {"--end-tangent middle:1,0,0", 2, "--end-tangent"},
      {"--end-tangent end:0,0,0", 2, "--end-tangent"},
      {"--range 0.8,0.2", 2, "--range"},
      {"--cut", 3, "cut"},
      {"--limits 5,5", 2, "--limits"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    ExpectRefused(Stroke("'" + Example() + "' -o out " + c.args), c.status, c.says);
  }
}

// ---- Folders ----

TEST_F(ProgramTest, FolderRunTabulatesGoodFilesAndNamesTheBadOne) {
  fs::create_directory(mDir / "in");
  const std::vector<std::string> files = StrokeFiles("real");
  ASSERT_GE(files.size(), 3u);
  for (int i = 0; i < 3; ++i) fs::copy_file(StrokeDataDir() + "/" + files[i], mDir / "in" / fs::path(files[i]).filename());
  Write("in/broken.json", "{\"points\": [[0, 0, 0], [1, true, 0]]}");
  const ProgramRun r = Stroke("in -o batch");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.out.find("3 strokes done, 1 failed"), std::string::npos) << r.out;
  for (int i = 0; i < 3; ++i) {
    const std::string name = fs::path(files[i]).stem().string();
    EXPECT_NE(r.out.find(name), std::string::npos);
    EXPECT_TRUE(fs::exists(mDir / "batch" / (name + ".svg")));
    EXPECT_TRUE(fs::exists(mDir / "batch" / (name + ".stroke.json")));
  }
  EXPECT_FALSE(fs::exists(mDir / "batch/broken.svg"));
  ASSERT_EQ(Lines(r.err).size(), 1u) << r.err;
  EXPECT_NE(r.err.find("broken.json"), std::string::npos);
  EXPECT_NE(r.err.find("points[1][1]"), std::string::npos);
}

// ---- Bad files ----

struct BadFile {
  const char* name;
  std::string text;
  const char* says;  // the field, or what is wrong with the whole file
};

std::vector<BadFile> BadFiles() {
  const std::string plane = "\"plane\": {\"origin\": [0, 0, 0], \"normal\": [0, 0, 1]}";
  return {
      {"not-json", "points: 1, 2, 3", "not JSON"},
      {"truncated", "{\"points\": [[0, 0, 0], [1, 1", "not JSON"},
      {"array", "[[0, 0, 0], [1, 1, 0]]", "JSON object"},
      {"no-points", "{\"source\": \"x\"}", "'points'"},
      {"points-not-array", "{\"points\": 3}", "'points'"},
      {"empty-points", "{\"points\": []}", "'points'"},
      {"one-point", "{\"points\": [[1, 2, 0]]}", "'points'"},
      {"string-coordinate", "{\"points\": [[0, 0, 0], [1, \"2\", 0]]}", "'points[1][1]'"},
      {"short-point", "{\"points\": [[0, 0, 0], [1]]}", "'points[1]'"},
      {"nan", "{\"points\": [[0, 0, 0], [NaN, 1, 0]]}", "not JSON"},
      {"overflow", "{\"points\": [[0, 0, 0], [1e999, 1, 0]]}", "too large"},
      {"same-points", "{\"points\": [[1, 1, 0], [1, 1, 0], [1, 1, 0]]}", "'points'"},
      {"no-view", "{\"kind\": \"drawing\", " + plane + ", \"points\": [[0, 0, 0], [1, 1, 0]]}", "'view'"},
      {"zero-view", "{\"view\": [0, 0, 0], " + plane + ", \"points\": [[0, 0, 0], [1, 1, 0]]}", "'view'"},
      {"view-in-plane", "{\"view\": [1, 0, 0], " + plane + ", \"points\": [[0, 0, 0], [1, 1, 0]]}", "'view'"},
      {"zero-normal",
       "{\"view\": [0, 0, -1], \"plane\": {\"origin\": [0, 0, 0], \"normal\": [0, 0, 0]}, \"points\": [[0, 0, 0], [1, 1, 0]]}",
       "'plane.normal'"},
      {"x-along-normal",
       "{\"view\": [0, 0, -1], \"plane\": {\"origin\": [0, 0, 0], \"normal\": [0, 0, 1], \"x\": [0, 0, 2]}, "
       "\"points\": [[0, 0, 0], [1, 1, 0]]}",
       "'plane.x'"},
      {"bad-range", "{\"view\": [0, 0, -1], " + plane + ", \"range\": [0.5, 0.5], \"points\": [[0, 0, 0], [1, 1, 0]]}",
       "'range'"},
      {"bad-type", "{\"view\": [0, 0, -1], " + plane + ", \"type\": 1.5, \"points\": [[0, 0, 0], [1, 1, 0]]}", "'type'"},
      {"unknown-kind", "{\"kind\": \"sketch\", \"points\": [[0, 0, 0], [1, 1, 0]]}", "'kind'"},
      {"saved-without-segments", "{\"kind\": \"stroke\", \"type\": 1}", "'sketch'"},
      {"deep", std::string(100000, '['), "nested deeper"},
  };
}

TEST_F(ProgramTest, BadFilesFailWithOneLineNamingTheFieldAndWriteNothing) {
  for (const BadFile& b : BadFiles()) {
    SCOPED_TRACE(b.name);
    const fs::path file = Write(std::string(b.name) + ".json", b.text);
    const ProgramRun r = Stroke("'" + file.string() + "' -o out");
    ExpectRefused(r, 2, b.says);
    EXPECT_NE(r.err.find(file.string()), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
  }
}

// Saved strokes whose positions or records do not fit together are refused before the stroke sees them.
TEST_F(ProgramTest, InconsistentSavedStrokesAreRefused) {
  ASSERT_EQ(Stroke("'" + Example() + "' -o good --no-body").status, 0);
  const json good = Saved("good/wave.stroke.json");
  struct Case {
    const char* name;
    void (*spoil)(json&);
    const char* says;
  };
  const std::vector<Case> cases = {
      {"one-tangent-record", [](json& j) { j["tangents"].erase(1); }, "'tangents'"},
      {"anchor-beyond-points", [](json& j) { j["anchors"].back() = 100000; }, "'anchors["},
      {"anchors-descending", [](json& j) { std::swap(j["anchors"][0], j["anchors"][1]); }, "'anchors["},
      {"split-beyond-display", [](json& j) { j["display"]["splits"].back() = 100000; }, "'display.splits["},
      {"normals-not-parallel", [](json& j) { j["display"]["normals"] = json::array({{0, 0, 1}}); }, "'display.normals'"},
      {"no-segments", [](json& j) { j["segments"] = json::array(); }, "'segments'"},
      {"zero-plane-direction", [](json& j) { j["sketch_plane"]["first"] = {0, 0, 0}; }, "'sketch_plane.first'"},
      {"width-as-text", [](json& j) { j["width"] = "wide"; }, "'width'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    json spoilt = good;
    c.spoil(spoilt);
    const fs::path file = Write(std::string(c.name) + ".json", spoilt.dump());
    ExpectRefused(Stroke("'" + file.string() + "' -o out --delete-anchor 2"), 2, c.says);
  }
}

TEST_F(ProgramTest, HugeGarbageFileIsRefusedBeforeItIsRead) {
  const fs::path file = mDir / "garbage.json";
  {
    std::ofstream out(file, std::ios::binary);
    std::string block(1 << 20, '\0');
    unsigned state = 12345u;
    for (int mb = 0; mb < 100; ++mb) {
      for (char& c : block) c = static_cast<char>((state = state * 1103515245u + 12345u) >> 24);
      out.write(block.data(), static_cast<std::streamsize>(block.size()));
    }
  }
  ASSERT_EQ(fs::file_size(file), 100u << 20);
  const ProgramRun r = Stroke("garbage.json -o out");
  fs::remove(file);
  ExpectRefused(r, 2, "too large");
  EXPECT_NE(r.err.find("garbage.json"), std::string::npos);
}

TEST_F(ProgramTest, MissingFileAndFolderWithoutStrokesAreRefused) {
  ExpectRefused(Stroke("nowhere.json -o out"), 2, "nowhere.json");
  fs::create_directory(mDir / "empty");
  ExpectRefused(Stroke("empty -o out"), 2, "no .json stroke files");
}

}  // namespace
