#include "StrokeServer.h"

#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <deque>
#include <functional>
#include <random>
#include <thread>

#include <CLI/CLI.hpp>
#include <httplib.h>
#include <nlohmann/json.hpp>

#include "StrokeFile.h"
#include "StrokeSession.h"
#include "StrokeSvg.h"
#include "TAQMoStrokeData.h"
#include "VORBodyWriter.h"
#include "VORListPtrVORCurve.h"

using nlohmann::json;

namespace {

// Extrusion limits of the exported body and the picture, along the sketch plane's normal (model units):
// the program's defaults.
constexpr double kLimits[2] = {0.0, 10.0};
// Nesting an edit request may have ({"from": [x, y, z]} needs two levels).
constexpr int kMaxEditDepth = 8;

// The kernel's file writers share global settings: one export at a time.
std::mutex gExportMutex;

// A refused request: HTTP status and the one line that says why, naming the field.
struct Refusal {
  int status;
  std::string field, message;
};

[[noreturn]] void Refuse(int status, const std::string& field, const std::string& message) {
  throw Refusal{status, field, message};
}

double Number(const json& v, const std::string& field) {
  if (!v.is_number() || !std::isfinite(v.get<double>())) Refuse(400, field, "expected a finite number");
  return v.get<double>();
}

const json& Member(const json& body, const char* key) {
  const auto it = body.find(key);
  if (it == body.end()) Refuse(400, key, "missing");
  return *it;
}

// [x, y] or [x, y, z] of finite numbers (z = 0 when left out: the page draws on the plane z = 0).
VORMathPoint PointField(const json& body, const char* key) {
  const json& v = Member(body, key);
  if (!v.is_array() || (v.size() != 2 && v.size() != 3)) Refuse(400, key, "expected [x, y] or [x, y, z]");
  const std::string k = key;
  return VORMathPoint(Number(v[0], k + "[0]"), Number(v[1], k + "[1]"), v.size() == 3 ? Number(v[2], k + "[2]") : 0.0);
}

bool BoolField(const json& body, const char* key, bool absent) {
  const auto it = body.find(key);
  if (it == body.end()) return absent;
  if (!it->is_boolean()) Refuse(400, key, "expected true or false");
  return it->get<bool>();
}

// The body of an edit: a JSON object (an empty body reads as {}).
json EditBody(const std::string& text) {
  if (text.empty()) return json::object();
  json doc;
  try {
    doc = json::parse(text, [](int depth, json::parse_event_t, json&) {
      if (depth > kMaxEditDepth) throw std::length_error("nested too deep");
      return true;
    });
  } catch (const json::parse_error& e) {
    Refuse(400, "body", "not JSON (at byte " + std::to_string(e.byte) + ")");
  } catch (const std::exception&) {
    Refuse(400, "body", "not an edit request (nested too deep or a number out of range)");
  }
  if (!doc.is_object()) Refuse(400, "body", "expected a JSON object");
  return doc;
}

int PointCount(const StrokeFileContents& contents) {
  return contents.drawing.points.Size() + contents.drawing.points2D.Size();
}

double Ms(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since).count();
}

// Reads a file the kernel wrote and removes it. Empty when it cannot be read.
std::string TakeFile(const std::string& path) {
  std::string text;
  if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
    char buffer[65536];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
    std::fclose(f);
  }
  std::remove(path.c_str());
  return text;
}

}  // namespace

namespace {

// A state of a stroke kept for undo or redo: a copy sharing the segments, with its own copies of the
// end-tangent records (edits write into the records a stroke holds, in place). The records are the
// state's, declared first so that the stroke lets go of them before they are deleted.
struct StrokeState {
  std::vector<std::unique_ptr<TAQMoStrokeData>> records;
  SessionStroke stroke;
};

StrokeState Snapshot(const SessionStroke& stroke) {
  StrokeState state;
  state.stroke = stroke;
  TAQUtVector<TAQMoStrokeData*> held, copies;
  state.stroke.GetTangents(held);
  for (unsigned int i = 0; i < held.Size(); ++i) {
    if (held[i]) state.records.push_back(std::make_unique<TAQMoStrokeData>(*held[i]));
    copies.Append(held[i] ? state.records.back().get() : nullptr);
  }
  state.stroke.SetTangents(copies);
  return state;
}

}  // namespace

// One stroke of the store with its history. The mutex guards everything below it.
struct StrokeServer::Entry {
  std::string id;
  std::mutex mutex;
  // Tangent records of an undone or redone state that the session's stroke now holds (before the session,
  // so that they outlive its stroke).
  std::vector<std::unique_ptr<TAQMoStrokeData>> records;
  StrokeSession session;
  std::deque<StrokeState> undo, redo;  // earlier states, newest at the back
  bool dragging = false;  // the last edit was a drag: a continuing drag adds no undo step

  // Makes state the session's stroke; the stroke state it replaces is given back.
  StrokeState Restore(StrokeState state) {
    StrokeState replaced{std::move(records), session.Stroke()};
    session.Stroke() = state.stroke;
    records = std::move(state.records);
    return replaced;
  }
};

// A parsed API path: /api/strokes[/{id}[/{action}]].
struct StrokeServer::Request {
  std::string id, action;
  std::string body;
};

StrokeServer::StrokeServer(std::size_t maxStrokes, std::size_t maxHistory, int maxCurves)
    : mMaxStrokes(maxStrokes < 1 ? 1 : maxStrokes), mMaxHistory(maxHistory), mMaxCurves(maxCurves),
      mIdState(std::random_device{}() ^ (static_cast<std::uint64_t>(std::random_device{}()) << 32) ^
               static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count())) {}

StrokeServer::~StrokeServer() = default;

std::size_t StrokeServer::StrokeCount() const {
  std::lock_guard<std::mutex> lock(mStoreMutex);
  return mStore.size();
}

std::shared_ptr<StrokeServer::Entry> StrokeServer::Find(const std::string& id) {
  std::lock_guard<std::mutex> lock(mStoreMutex);
  for (auto it = mStore.begin(); it != mStore.end(); ++it) {
    if ((*it)->id != id) continue;
    mStore.splice(mStore.begin(), mStore, it);  // now the most recently used
    return mStore.front();
  }
  return nullptr;
}

namespace {

// What the page draws of a stroke: the display polyline, the anchors, the end tangents, the range and the
// history depth. withDrawn adds the drawn points (sent when a stroke is made or fetched, not per edit).
// JSON text written straight from the stroke, numbers in their shortest exact form: a drag step's reply
// carries every display point, and a document tree of them would cost more than the refit's margin.
class StateWriter {
 public:
  void Key(const char* key) {
    mText += mFirst ? "\"" : ",\"";
    mText += key;
    mText += "\":";
    mFirst = false;
  }
  void Number(double v) {
    if (!std::isfinite(v)) {
      mText += "null";
      return;
    }
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, v).ptr;
    mText.append(buffer, end);
  }
  void Point(double x, double y, double z) {
    mText += '[';
    Number(x);
    mText += ',';
    Number(y);
    mText += ',';
    Number(z);
    mText += ']';
  }
  void Points(const VORListValVORMathPoint& points) {
    mText += '[';
    for (int i = 1; i <= points.Size(); ++i) {
      if (i > 1) mText += ',';
      Point(points[i].GetX(), points[i].GetY(), points[i].GetZ());
    }
    mText += ']';
  }
  void Raw(const std::string& text) { mText += text; }
  std::string Close() { return mText + "}"; }

 private:
  std::string mText = "{";
  bool mFirst = true;
};

// What the page draws of a stroke: the display polyline, the anchors, the end tangents, the range and the
// history depth. withDrawn adds the drawn points (sent when a stroke is made or fetched, not per edit).
// extra: members written first ("id" and "stroke" when a stroke is made).
std::string StateText(StrokeSession& session, std::size_t undo, std::size_t redo, bool withDrawn,
                      const json& extra = json::object()) {
  SessionStroke& stroke = session.Stroke();
  bool sketch = false;
  int color = 0;
  double width = 1.0, range[2] = {0.0, 1.0};
  VORRawCollint splits;
  VORListValVORMathPoint coords, anchors;
  stroke.GetDisplayData(sketch, color, width, splits, coords, nullptr);
  stroke.GetRange(range);
  if (stroke.GetAnchors(anchors) != S_OK) anchors.RemoveAll();
  StateWriter w;
  for (auto it = extra.begin(); it != extra.end(); ++it) {
    w.Key(it.key().c_str());
    w.Raw(it.value().dump());
  }
  w.Key("display");
  w.Raw("{\"splits\":[");
  for (int i = 1; i <= splits.Size(); ++i) w.Raw((i > 1 ? "," : "") + std::to_string(splits[i]));
  w.Raw("],\"coords\":");
  w.Points(coords);
  w.Raw("}");
  w.Key("anchors");
  w.Points(anchors);
  w.Key("range");
  w.Raw("[");
  w.Number(range[0]);
  w.Raw(",");
  w.Number(range[1]);
  w.Raw("]");
  w.Key("color");
  w.Raw(std::to_string(color));
  w.Key("width");
  w.Number(width);
  w.Key("ends");
  w.Raw("[");
  VORMathPoint ends[2];
  VORMathDirection dirs[2];
  if (stroke.GetEndTangents(ends, dirs)) {
    for (int k = 0; k < 2; ++k) {
      w.Raw(k ? ",{\"point\":" : "{\"point\":");
      w.Point(ends[k].GetX(), ends[k].GetY(), ends[k].GetZ());
      w.Raw(",\"direction\":");
      w.Point(dirs[k].GetX(), dirs[k].GetY(), dirs[k].GetZ());
      w.Raw("}");
    }
  }
  w.Raw("]");
  w.Key("undo");
  w.Raw(std::to_string(undo));
  w.Key("redo");
  w.Raw(std::to_string(redo));
  if (withDrawn) {
    w.Key("drawn");
    w.Points(session.Drawn());
  }
  return w.Close();
}

StrokeServer::Reply TextReply(std::string text) {
  StrokeServer::Reply r;
  r.body = std::move(text);
  return r;
}

StrokeServer::Reply JsonReply(int status, json doc) {
  StrokeServer::Reply r;
  r.status = status;
  r.body = doc.dump();
  return r;
}

}  // namespace

StrokeServer::Reply StrokeServer::Create(const std::string& body) {
  StrokeFileContents contents;
  try {
    contents = ParseStrokeText(body);
  } catch (const StrokeFileError& e) {
    Refuse(400, e.Field().empty() ? "body" : e.Field(), e.what());
  }
  if (PointCount(contents) > kMaxPoints)
    Refuse(413, "points", "more than " + std::to_string(kMaxPoints) + " points (" + std::to_string(PointCount(contents)) + ")");
  auto entry = std::make_shared<Entry>();
  std::string field, message;
  if (!entry->session.Create(contents, field, message)) Refuse(400, field, message);
  if (contents.kind == StrokeFileKind::SavedStroke && entry->session.Drawn().Size() > kMaxPoints)
    Refuse(413, "segments", "more than " + std::to_string(kMaxPoints) + " points");
  // The stroke as the program saves it, taken before anything else asks the stroke for geometry.
  json saved = SaveStroke(entry->session.Stroke());
  {
    std::lock_guard<std::mutex> lock(mStoreMutex);
    // splitmix64 over a random seed: ids that never repeat and that one browser does not come upon by
    // chance. They are no secret (the server is meant for this machine): each stroke is locked while used.
    std::uint64_t z = (mIdState += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    z ^= z >> 31;
    char id[17];
    std::snprintf(id, sizeof id, "%016llx", static_cast<unsigned long long>(z));
    entry->id = id;
    mStore.push_front(entry);
    while (mStore.size() > mMaxStrokes) mStore.pop_back();  // a request still holding it finishes first
  }
  std::lock_guard<std::mutex> lock(entry->mutex);  // the id is out: another request may use the stroke
  return TextReply(StateText(entry->session, 0, 0, true, json{{"id", entry->id}, {"stroke", std::move(saved)}}));
}

StrokeServer::Reply StrokeServer::OnStroke(Entry& e, const std::string& method, const std::string& action,
                                           const Request& request) {
  StrokeSession& session = e.session;
  if (method == "GET") {
    if (action.empty()) return TextReply(StateText(session, e.undo.size(), e.redo.size(), true));
    Reply r;
    r.fileName = "stroke";
    if (action == "file") {
      r.body = SaveStroke(session.Stroke()).dump(1) + "\n";  // as the program writes it
      r.fileName += ".stroke.json";
    } else if (action == "svg") {
      StrokePicture pic = session.Picture("stroke");
      pic.extruded = true;
      pic.limits[0] = kLimits[0];
      pic.limits[1] = kLimits[1];
      r.body = RenderSvg(pic);
      r.contentType = "image/svg+xml; charset=utf-8";
      r.fileName += ".svg";
    } else if (action == "step" || action == "stl") {
      std::string message;
      double limits[2] = {kLimits[0], kLimits[1]};
      // Extruding refits the stroke: the state before it is put back, so that an export changes nothing.
      StrokeState before = Snapshot(session.Stroke());
      VORBody* body = session.Extrude(limits, message);
      e.Restore(std::move(before));
      if (!body) Refuse(422, "stroke", message);
      char path[] = "/tmp/stroke-serve-XXXXXX";
      const int fd = mkstemp(path);
      bool ok = fd >= 0;
      if (ok) {
        close(fd);
        std::lock_guard<std::mutex> lock(gExportMutex);
        ok = action == "step" ? VORBodyWriter::WriteSTEP(body, path) : VORBodyWriter::WriteSTL(body, path);
        r.body = TakeFile(path);
      }
      session.Factory().Remove(body);
      if (!ok || r.body.empty()) Refuse(500, action, "the body could not be written");
      r.contentType = action == "step" ? "application/step" : "model/stl";
      r.fileName += "." + action;
    } else {
      Refuse(404, "action", "no export '" + action + "' (file, svg, step, stl)");
    }
    return r;
  }

  if (method != "POST") Refuse(405, "method", "edits are POST requests");
  const json body = EditBody(request.body);
  if (action == "undo" || action == "redo") {
    auto& from = action == "undo" ? e.undo : e.redo;
    auto& to = action == "undo" ? e.redo : e.undo;
    if (from.empty()) Refuse(409, action, "nothing to " + action);
    StrokeState state = std::move(from.back());
    from.pop_back();
    to.push_back(e.Restore(std::move(state)));
    e.dragging = false;
    return TextReply(StateText(session, e.undo.size(), e.redo.size(), false));
  }

  // Read every field before the stroke is touched: a bad one changes nothing.
  std::function<bool(std::string&)> edit;
  bool continuesDrag = false;
  if (action == "insert") {
    const VORMathPoint p = PointField(body, "point");
    edit = [&session, p](std::string& m) { return session.InsertAnchor(p, m); };
  } else if (action == "delete") {
    const json& n = Member(body, "anchor");
    if (!n.is_number_integer() || n.get<long long>() < 1 || n.get<long long>() > 1000000)
      Refuse(400, "anchor", "expected an anchor number (1-based)");
    const int position = static_cast<int>(n.get<long long>());
    edit = [&session, position](std::string& m) { return session.DeleteAnchor(position, m); };
  } else if (action == "drag") {
    const VORMathPoint from = PointField(body, "from"), to = PointField(body, "to");
    continuesDrag = BoolField(body, "continues", false) && e.dragging;
    edit = [&session, from, to](std::string& m) { return session.Drag(from, to, m); };
  } else if (action == "end-tangent") {
    const json& which = Member(body, "end");
    if (!which.is_string() || (which != "start" && which != "end")) Refuse(400, "end", "expected \"start\" or \"end\"");
    const VORMathPoint d = PointField(body, "direction");
    const VORMathVector v(d.GetX(), d.GetY(), d.GetZ());
    if (!VORMathDirection::IsUsable(v)) Refuse(400, "direction", "a zero vector gives no direction");
    const bool atEnd = which == "end", bend = BoolField(body, "bend", true);
    edit = [&session, atEnd, v, bend](std::string& m) { return session.SetEndTangent(atEnd, VORMathDirection(v), m, bend); };
  } else if (action == "range") {
    const json& v = Member(body, "range");
    if (!v.is_array() || v.size() != 2) Refuse(400, "range", "expected [start, end]");
    const double range[2] = {Number(v[0], "range[0]"), Number(v[1], "range[1]")};
    if (!(range[0] >= 0.0 && range[0] < range[1] && range[1] <= 1.0))
      Refuse(400, "range", "expected 0 <= start < end <= 1");
    edit = [&session, range](std::string& m) { return session.SetRange(range, m); };
  } else if (action == "cut") {
    edit = [&session](std::string& m) { return session.Cut(m); };
  } else {
    Refuse(404, "action", "no edit '" + action + "' (insert, delete, drag, end-tangent, range, cut, undo, redo)");
  }

  // Each refit leaves new curves in the stroke's factory: past the bound, every state forgets its cached
  // curves (they are made again when needed) and the factory frees them all.
  VORGeoFactory& factory = session.Factory();
  if (factory.GetCurveCount() > mMaxCurves) {
    session.Stroke().ClearCurveCache();
    for (auto* history : {&e.undo, &e.redo})
      for (StrokeState& s : *history) s.stroke.ClearCurveCache();
    VORListPtrVORCurve curves;
    factory.GetCurves(curves);
    for (VORCurve* c : curves) factory.Remove(c);
  }

  StrokeState before = Snapshot(session.Stroke());  // shares the segments: cheap
  std::string message;
  if (!edit(message)) {
    e.Restore(std::move(before));
    Refuse(422, action, message);
  }
  if (!continuesDrag) {
    e.undo.push_back(std::move(before));
    while (e.undo.size() > mMaxHistory) e.undo.pop_front();
  }
  e.redo.clear();
  e.dragging = action == "drag";
  return TextReply(StateText(session, e.undo.size(), e.redo.size(), false));
}

StrokeServer::Reply StrokeServer::Handle(const std::string& method, const std::string& path, const std::string& body) {
  const auto start = std::chrono::steady_clock::now();
  Reply reply;
  try {
    if (body.size() > kMaxBodyBytes) Refuse(413, "body", "larger than 8 MB");
    const std::string route = path.substr(0, path.find('?'));
    const std::string prefix = "/api/strokes";
    if (route.compare(0, prefix.size(), prefix) != 0 || (route.size() > prefix.size() && route[prefix.size()] != '/'))
      Refuse(404, "path", "no such endpoint: " + route);
    Request request;
    request.body = body;
    const std::string rest = route.size() > prefix.size() + 1 ? route.substr(prefix.size() + 1) : "";
    const std::size_t slash = rest.find('/');
    request.id = rest.substr(0, slash);
    request.action = slash == std::string::npos ? "" : rest.substr(slash + 1);
    if (request.id.empty()) {
      if (method != "POST") Refuse(405, "method", "strokes are made with POST /api/strokes");
      reply = Create(body);
    } else {
      const std::shared_ptr<Entry> entry = Find(request.id);
      if (!entry) Refuse(404, "id", "no stroke '" + request.id.substr(0, 40) + "' (never made, or dropped as the oldest)");
      std::lock_guard<std::mutex> lock(entry->mutex);
      reply = OnStroke(*entry, method, request.action, request);
    }
  } catch (const Refusal& r) {
    reply = JsonReply(r.status, json{{"error", r.field + ": " + r.message}, {"field", r.field}});
  } catch (const std::exception& x) {
    reply = JsonReply(500, json{{"error", std::string("server: ") + x.what()}, {"field", ""}});
  }
  reply.serverMs = Ms(start);
  return reply;
}

namespace {

bool IsPageDir(const std::string& dir) {
  struct stat st;
  return stat((dir + "/index.html").c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The page's folder: given, else installed beside the program (<prefix>/bin/stroke ->
// <prefix>/share/TAQMoRuntimeStroke/web), else the source tree's.
std::string FindPage(const std::string& given) {
  if (!given.empty()) return IsPageDir(given) ? given : "";
  char exe[4096];
  const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
  if (n > 0) {
    std::string dir(exe, static_cast<std::size_t>(n));
    dir = dir.substr(0, dir.find_last_of('/'));
    const std::string installed = dir + "/../share/TAQMoRuntimeStroke/web";
    if (IsPageDir(installed)) return installed;
  }
#ifdef TAQ_WEB_DIR
  if (IsPageDir(TAQ_WEB_DIR)) return TAQ_WEB_DIR;
#endif
  return "";
}

}  // namespace

int StrokeServer::Main(int argc, char** argv) {
  std::string host = "127.0.0.1", web;
  int port = kDefaultPort;
  CLI::App app{"Serves the drawing page and its API: draw a stroke in the browser and edit it."};
  app.name("stroke serve");
  app.add_option("--port", port, "Port (0: any free one)")->capture_default_str()->check(CLI::Range(0, 65535));
  app.add_option("--host", host, "Address to listen on (127.0.0.1: this machine only)")->capture_default_str();
  app.add_option("--web", web, "Folder of the page (default: installed beside the program)");
  // The parser's own complaints read like the rest of the program's messages: one line, prefixed.
  app.failure_message([](const CLI::App*, const CLI::Error& e) {
    return std::string("stroke: serve: ") + e.what() + " (stroke serve --help lists the options)\n";
  });
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e) == 0 ? 0 : 2;
  }
  const std::string page = FindPage(web);
  if (page.empty()) {
    std::fprintf(stderr, "stroke: serve: %s: no index.html of the page there\n", web.empty() ? "the page's folder" : web.c_str());
    return 2;
  }

  // SIGINT and SIGTERM are taken by one thread that stops the server; every other thread blocks them.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  StrokeServer server;
  httplib::Server http;
  http.set_payload_max_length(kMaxBodyBytes);
  // A reply goes out as header and body: without this the body waits for the browser's delayed
  // acknowledgement of the header (tens of milliseconds per drag step).
  http.set_tcp_nodelay(true);
  http.set_mount_point("/", page);
  auto api = [&server](const httplib::Request& req, httplib::Response& res) {
    const Reply r = server.Handle(req.method, req.path, req.body);
    res.status = r.status;
    res.set_content(r.body, r.contentType.c_str());
    char ms[32];
    std::snprintf(ms, sizeof ms, "%.3f", r.serverMs);
    res.set_header("X-Server-Ms", ms);
    res.set_header("Cache-Control", "no-store");
    if (!r.fileName.empty()) res.set_header("Content-Disposition", "attachment; filename=\"" + r.fileName + "\"");
  };
  http.Get("/api/.*", api);
  http.Post("/api/.*", api);
  http.Delete("/api/.*", api);
  http.Put("/api/.*", api);
  // Refusals made by the HTTP library itself (413 for a body over the bound, 404 off the API) say so too.
  http.set_error_handler([](const httplib::Request& req, httplib::Response& res) {
    if (!res.body.empty()) return;
    std::string line = res.status == 413 ? "body: larger than 8 MB" : "path: not found";
    if (res.status == 413 && req.get_header_value("Content-Type").find("form-urlencoded") != std::string::npos)
      line = "body: form-encoded bodies over 8 KB are refused (send the JSON as application/json)";
    res.set_content(json{{"error", line}, {"field", res.status == 413 ? "body" : "path"}}.dump(),
                    "application/json; charset=utf-8");
  });

  const int bound = port == 0 ? http.bind_to_any_port(host) : (http.bind_to_port(host, port) ? port : -1);
  if (bound <= 0) {
    std::fprintf(stderr, "stroke: serve: cannot listen on %s port %d\n", host.c_str(), port);
    return 1;
  }
  std::printf("stroke: serving http://%s:%d/ (the page; the API under /api/). Ctrl-C stops.\n",
              host.find(':') == std::string::npos ? host.c_str() : ("[" + host + "]").c_str(), bound);
  std::fflush(stdout);

  std::atomic<bool> stopped{false};
  std::thread waiter([&] {
    int signal = 0;
    sigwait(&stopSignals, &signal);
    if (!stopped.exchange(true)) http.stop();
  });
  const bool ok = http.listen_after_bind();
  if (!stopped.exchange(true)) pthread_kill(waiter.native_handle(), SIGTERM);  // wakes the waiter
  waiter.join();
  return ok ? 0 : 1;
}
