// The stroke program as a user runs it: on the shipped example, with edits, over a folder of real strokes,
// and on bad files. Reloading a saved stroke must give it back unchanged, the display must keep within the
// tolerances of what was drawn, and the STL of the extruded stroke must be one consistently wound strip.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "StrokeFiles.h"
#include "TestGeometry.h"
#include "VORMathDirection.h"
#include "TAQMoRuntimeStrokeVersion.h"

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

// ---- The example ----

TEST_F(ProgramTest, WithoutArgumentsRunsTheExampleAndWritesEveryOutput) {
  const ProgramRun r = Stroke("");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_NE(r.out.find("stroke-out/"), std::string::npos) << "says where it wrote";
  const json saved = Saved("stroke-out/wave.stroke.json");
  EXPECT_EQ(saved["kind"], "stroke");
  ASSERT_GE(saved["display"]["coords"].size(), 2u);
  // The picture explains itself: a legend, a scale bar, the start ringed, the anchors numbered.
  const std::string svg = Slurp(mDir / "stroke-out/wave.svg");
  EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
  for (const std::string& part : std::vector<std::string>{"<polyline class=\"display\"", "class=\"anchor\"", "class=\"tangent\"",
                                 "class=\"extruded-high\"", "class=\"legend\"", "class=\"scale-bar\"",
                                 "class=\"start\"", ">" + std::to_string(saved["anchors"].size()) + "</text>", "</svg>"})
    EXPECT_NE(svg.find(part), std::string::npos) << part;
  const std::string step = Slurp(mDir / "stroke-out/wave.step");
  EXPECT_EQ(step.rfind("ISO-10303-21;", 0), 0u);
  for (const char* part : {"B_SPLINE", "END-ISO-10303-21;"}) EXPECT_NE(step.find(part), std::string::npos);

  // The STL is the extruded side as one strip: two facets per chord, each stored normal the right-hand
  // normal of its corners, and every inner edge run once each way (the strip is wound consistently).
  const std::string stl = Slurp(mDir / "stroke-out/wave.stl");
  ASSERT_GE(stl.size(), 84u);
  std::uint32_t count = 0;
  std::memcpy(&count, stl.data() + 80, 4);
  ASSERT_EQ(stl.size(), 84u + 50u * count);
  EXPECT_LE(count, 4 * saved["display"]["coords"].size());
  std::map<std::vector<float>, int> edges;  // corners from, to: runs
  for (std::uint32_t t = 0; t < count; ++t) {
    float f[12];
    std::memcpy(f, stl.data() + 84 + 50 * t, sizeof f);
    const VORMathVector n = VORMathVector(f[6] - f[3], f[7] - f[4], f[8] - f[5]).Cross(VORMathVector(f[9] - f[3], f[10] - f[4], f[11] - f[5]));
    EXPECT_GT(n.Dot(VORMathVector(f[0], f[1], f[2])), 0.99 * n.GetNorm()) << "facet " << t;
    for (int k = 0, m = 1; k < 3; ++k, m = (k + 1) % 3)
      EXPECT_EQ((++edges[{f[3 + 3 * k], f[4 + 3 * k], f[5 + 3 * k], f[3 + 3 * m], f[4 + 3 * m], f[5 + 3 * m]}]), 1)
          << "an edge run twice the same way, facet " << t;
  }
  // The STEP writer's statistics stay off the summary.
  EXPECT_EQ(r.out.find("Step"), std::string::npos);
  for (const fs::directory_entry& e : fs::directory_iterator(mDir / "stroke-out"))
    EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << "temporary left: " << e.path();
}

TEST_F(ProgramTest, HelpVersionAndParserErrorsSpeakAsTheProgram) {
  const ProgramRun help = Stroke("--help");
  EXPECT_EQ(help.status, 0);
  for (const char* status : {"Exit status", "  0  done", "  1  ", "  2  bad file or option", "  3  the stroke refused"})
    EXPECT_NE(help.out.find(status), std::string::npos) << status;
  const ProgramRun version = Stroke("--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_NE(version.out.find(TAQMORUNTIMESTROKE_VERSION_STRING), std::string::npos) << version.out;
  for (const char* args : {"--no-such-option", "a.json b.json", "--stl-deflection 0", "--table xml"}) {
    SCOPED_TRACE(args);
    const ProgramRun r = Stroke(args);
    EXPECT_EQ(r.status, 2);
    ASSERT_EQ(Lines(r.err).size(), 1u) << r.err;
    EXPECT_EQ(r.err.rfind("stroke: ", 0), 0u) << r.err;
  }
}

// ---- Edits ----

// The edits themselves are the session's, which the server's tests drive (and the reload test inserts and
// deletes anchors); here an end tangent reaches it.
TEST_F(ProgramTest, EditsChangeTheStrokeAsAsked) {
  ASSERT_EQ(Stroke("'" + Example() + "' -o plain --no-body").status, 0);
  const json plain = Saved("plain/wave.stroke.json");
  // A new start tangent on a stroke whose blends impose its end tangents: its record takes the direction
  // and the stroke is refitted to it.
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
  EXPECT_FALSE(Display(bent) == Display(plain)) << "the stroke was refitted to it";
}

TEST_F(ProgramTest, RefusedEditsWriteNothing) {
  struct Case {
    std::string args;
    int status;
    std::string says;
  };
  const std::vector<Case> cases = {
      {"--delete-anchor 99", 2, "--delete-anchor"},
      {"--drag 1,2,3", 2, "--drag"},
      {"--insert-anchor 1,nan,0", 2, "--insert-anchor"},
      {"--end-tangent middle:1,0,0", 2, "--end-tangent"},
      {"--end-tangent end:0,0,0", 2, "--end-tangent"},
      {"--range 0.8,0.2", 2, "--range"},
      {"--range 0.5,1.2", 2, "--range"},
      {"--end-tangent start:0,0,1", 3, "normal"},
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
  // What the user drew stays within the thinning (0.5), fit (0.5) and display (0.1) tolerances of the display.
  for (int i = 0; i < 3; ++i) {
    const VORListValVORMathPoint display = Display(Saved("batch/" + fs::path(files[i]).stem().string() + ".stroke.json"));
    for (const VORMathPoint& p : LoadStrokePoints(files[i])) EXPECT_LE(DistanceToPolyline(display, p), 1.1 + 1e-6);
  }
  EXPECT_FALSE(fs::exists(mDir / "batch/broken.svg"));
  ASSERT_EQ(Lines(r.err).size(), 1u) << r.err;
  EXPECT_NE(r.err.find("broken.json"), std::string::npos);
  EXPECT_NE(r.err.find("points[1][1]"), std::string::npos);

  // The same table for a program to read.
  const ProgramRun csv = Stroke("in -o batch --table csv");
  EXPECT_EQ(csv.status, 2);
  const std::vector<std::string> rows = Lines(csv.out);
  ASSERT_EQ(rows.size(), 4u) << csv.out;
  EXPECT_EQ(rows[0], "stroke,points,anchors,control_points,deviation_source,deviation_drawn,ms");
  EXPECT_EQ(rows[1].rfind("\"" + fs::path(files[0]).stem().string() + "\",", 0), 0u) << rows[1];
  const ProgramRun js = Stroke("in -o batch --table json");
  const json table = json::parse(js.out);
  ASSERT_EQ(table["strokes"].size(), 3u);
  EXPECT_EQ(table["strokes"][2]["points"], LoadStrokePoints(files[2]).Size());
  ASSERT_EQ(table["failed"].size(), 1u);
  EXPECT_NE(table["failed"][0].get<std::string>().find("broken.json"), std::string::npos);
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
      {"no-points", "{\"source\": \"x\"}", "'points'"},
      {"empty-points", "{\"points\": []}", "'points'"},
      {"string-coordinate", "{\"points\": [[0, 0, 0], [1, \"2\", 0]]}", "'points[1][1]'"},
      {"nan", "{\"points\": [[0, 0, 0], [NaN, 1, 0]]}", "not JSON"},
      {"zero-view", "{\"view\": [0, 0, 0], " + plane + ", \"points\": [[0, 0, 0], [1, 1, 0]]}", "'view'"},
      {"view-in-plane", "{\"view\": [1, 0, 0], " + plane + ", \"points\": [[0, 0, 0], [1, 1, 0]]}", "'view'"},
      {"zero-normal", "{\"view\": [0, 0, -1], \"plane\": {\"origin\": [0, 0, 0], \"normal\": [0, 0, 0]}, \"points\": [[0, 0, 0], [1, 1, 0]]}",
       "'plane.normal'"},
      {"bad-range", "{\"view\": [0, 0, -1], " + plane + ", \"range\": [0.5, 0.5], \"points\": [[0, 0, 0], [1, 1, 0]]}",
       "'range'"},
      {"unknown-kind", "{\"kind\": \"sketch\", \"points\": [[0, 0, 0], [1, 1, 0]]}", "'kind'"},
      {"misspelt-key", "{\"view\": [0, 0, -1], " + plane + ", \"colour\": 3, \"points\": [[0, 0, 0], [1, 1, 0]]}",
       "'colour': unknown key"},
      {"misspelt-plain-key", "{\"points\": [[0, 0, 0], [1, 1, 0]], \"witdh\": 2}", "'witdh'"},
      {"saved-without-segments", "{\"kind\": \"stroke\", \"type\": 1}", "'sketch'"},
      {"deep", std::string(100000, '['), "nested deeper"},
  };
}

// Bad, missing and oversized files and folders without strokes.
TEST_F(ProgramTest, BadFilesFailWithOneLineNamingTheFieldAndWriteNothing) {
  for (const BadFile& b : BadFiles()) {
    SCOPED_TRACE(b.name);
    const fs::path file = Write(std::string(b.name) + ".json", b.text);
    const ProgramRun r = Stroke("'" + file.string() + "' -o out");
    ExpectRefused(r, 2, b.says);
    EXPECT_NE(r.err.find(file.string()), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
  }

  ExpectRefused(Stroke("nowhere.json -o out"), 2, "nowhere.json");
  std::ofstream(mDir / "huge.json") << "{\"points\": [";
  fs::resize_file(mDir / "huge.json", 100u << 20);  // read, it would be 100 MB of zero bytes
  ExpectRefused(Stroke("huge.json -o out"), 2, "too large");
  fs::create_directory(mDir / "empty");
  ExpectRefused(Stroke("empty -o out"), 2, "no .json stroke files");
}

// A saved stroke reloads unchanged and can be edited further; saved strokes whose positions or records do
// not fit together are refused before the stroke sees them.
TEST_F(ProgramTest, SavedStrokesReloadUnchangedAndInconsistentOnesAreRefused) {
  ASSERT_EQ(Stroke("'" + Example() + "' -o first --no-body --insert-anchor 40,-60,0").status, 0);
  const ProgramRun r = Stroke("first/wave.stroke.json -o second --no-body");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("saved stroke"), std::string::npos);
  EXPECT_EQ(Slurp(mDir / "first/wave.stroke.json"), Slurp(mDir / "second/wave.stroke.json"));
  const ProgramRun edited = Stroke("first/wave.stroke.json -o third --no-body --delete-anchor 2");
  ASSERT_EQ(edited.status, 0) << edited.err;
  const json good = Saved("first/wave.stroke.json");
  EXPECT_EQ(Saved("third/wave.stroke.json")["anchors"].size() + 1, good["anchors"].size());
  struct Case {
    const char* name;
    void (*spoil)(json&);
    const char* says;
  };
  const std::vector<Case> cases = {
      {"one-tangent-record", [](json& j) { j["tangents"].erase(1); }, "'tangents'"},
      {"anchor-beyond-points", [](json& j) { j["anchors"].back() = 100000; }, "'anchors["},
      {"zero-plane-direction", [](json& j) { j["sketch_plane"]["first"] = {0, 0, 0}; }, "'sketch_plane.first'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    json spoilt = good;
    c.spoil(spoilt);
    const fs::path file = Write(std::string(c.name) + ".json", spoilt.dump());
    ExpectRefused(Stroke("'" + file.string() + "' -o out --delete-anchor 2"), 2, c.says);
  }
}

}  // namespace
