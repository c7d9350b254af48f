// The page server's time per request, as the page sends them: one step of a drag (the stroke dragged from
// where the last step left it to the next pointer position, refitted, and its display sent back), and a
// stroke made from a drawing. On the 5,000-point smooth stroke and the longest real stroke, side by side.
// The time is the whole of StrokeServer::Handle: request parsing, the edit, the refit and the reply's
// JSON; the HTTP transport is left out (the browser benchmark measures the round trip).
#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>
#include <string>

#include <nlohmann/json.hpp>

#include "StrokeFiles.h"
#include "StrokeFile.h"
#include "StrokeServer.h"
#include "StrokeSession.h"

namespace {

using nlohmann::json;

std::string ReadText(const std::string& relative) {
  std::ifstream in(StrokeDataDir() + "/" + relative);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// A drag step back and forth across the stroke at 40 % of its display points, 1.5 model units each way: every
// step is an edit the stroke accepts, so the stroke stays the same size for millions of iterations.
void BM_ServerDragStep(benchmark::State& state, const char* file) {
  StrokeServer server;
  const StrokeServer::Reply created = server.Handle("POST", "/api/strokes", ReadText(file));
  if (created.status != 200) {
    state.SkipWithError(created.body.c_str());
    return;
  }
  const json doc = json::parse(created.body);
  const std::string path = "/api/strokes/" + doc["id"].get<std::string>() + "/drag";
  const json& display = doc["display"]["coords"];
  json a = display[display.size() * 2 / 5];
  json b = {a[0].get<double>() + 1.5, a[1].get<double>(), 0.0};
  bool first = true;
  double serverMs = 0.0;
  for (auto _ : state) {
    const json body = {{"from", a}, {"to", b}, {"continues", !first}};
    const StrokeServer::Reply r = server.Handle("POST", path, body.dump());
    if (r.status != 200) {
      state.SkipWithError(r.body.c_str());
      break;
    }
    serverMs += r.serverMs;
    std::swap(a, b);
    first = false;
  }
  state.counters["display_pts"] = static_cast<double>(doc["display"]["coords"].size());
  state.counters["server_ms"] = benchmark::Counter(serverMs, benchmark::Counter::kAvgIterations);
}

// The same steps straight on the program's session, without the server: what the server adds is the
// difference (request parsing, the undo snapshot, the reply's JSON).
void BM_SessionDragStep(benchmark::State& state, const char* file) {
  StrokeSession session;
  std::string field, message;
  if (!session.Create(ParseStrokeText(ReadText(file)), field, message)) {
    state.SkipWithError(message.c_str());
    return;
  }
  VORListValVORMathPoint display;
  bool sketch = false;
  int color = 0;
  double width = 0.0;
  VORRawCollint splits;
  session.Stroke().GetDisplayData(sketch, color, width, splits, display, nullptr);
  VORMathPoint a = display[display.Size() * 2 / 5 + 1];
  VORMathPoint b(a.GetX() + 1.5, a.GetY(), 0.0);
  for (auto _ : state) {
    if (!session.Drag(a, b, message)) {
      state.SkipWithError(message.c_str());
      break;
    }
    std::swap(a, b);
  }
}

void BM_ServerCreate(benchmark::State& state, const char* file) {
  StrokeServer server(4);
  const std::string drawing = ReadText(file);
  for (auto _ : state) {
    const StrokeServer::Reply r = server.Handle("POST", "/api/strokes", drawing);
    if (r.status != 200) {
      state.SkipWithError(r.body.c_str());
      break;
    }
    benchmark::DoNotOptimize(r.body.data());
  }
}

}  // namespace

BENCHMARK_CAPTURE(BM_ServerDragStep, smooth_5000, "synthetic/smooth-5000.json")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ServerDragStep, real_487, "real/Balinese-character02-0109_08-0.json")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SessionDragStep, smooth_5000, "synthetic/smooth-5000.json")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SessionDragStep, real_487, "real/Balinese-character02-0109_08-0.json")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ServerCreate, smooth_5000, "synthetic/smooth-5000.json")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ServerCreate, real_487, "real/Balinese-character02-0109_08-0.json")->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
