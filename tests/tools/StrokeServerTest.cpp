// The page server's API, called in process: refusals change nothing, undo and redo give back every
// earlier state exactly, the store stays bounded, and many threads at once stay safe.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#include "StrokeServer.h"

namespace {

using nlohmann::json;

std::string ReadData(const std::string& relative) {
  std::ifstream in(std::string(TAQ_SOURCE_DIR) + "/" + relative);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The top-level fields in which two saved strokes differ ("" when they are the same).
std::string Differences(const std::string& a, const std::string& b) {
  const json x = json::parse(a), y = json::parse(b);
  std::string keys;
  for (auto it = x.begin(); it != x.end(); ++it)
    if (!y.contains(it.key()) || y[it.key()] != it.value()) keys += it.key() + " ";
  return keys;
}

struct Api {
  StrokeServer& server;
  json Call(const std::string& method, const std::string& path, const std::string& body, int status = 200) {
    const StrokeServer::Reply r = server.Handle(method, path, body);
    EXPECT_EQ(r.status, status) << method << " " << path << " " << body.substr(0, 80) << " -> " << r.body;
    return r.contentType.rfind("application/json", 0) == 0 ? json::parse(r.body) : json(r.body);
  }
  std::string Create(const std::string& relative) { return Call("POST", "/api/strokes", ReadData(relative))["id"]; }
  // The stroke as the program saves it: what undo and redo must give back.
  std::string Saved(const std::string& id) { return server.Handle("GET", "/api/strokes/" + id + "/file", "").body; }
};

TEST(StrokeServerApi, RefusalsNameTheFieldAndChangeNothing) {
  StrokeServer server;
  Api api{server};
  const std::string id = api.Create("examples/wave.json");
  const std::string saved = api.Saved(id);
  const std::string edit = "/api/strokes/" + id + "/";
  const struct {
    std::string action, body, field;
    int status;
  } refused[] = {
      {"drag", "{\"from\": [1, 2, 3], \"to\": [1, \"x\", 3]}", "to[1]", 400},
      {"drag", "{\"from\": [1, 2, 3]}", "to", 400},
      {"insert", "{\"point\": [1, 2", "body", 400},
      {"delete", "{\"anchor\": 1}", "delete", 422},
      {"delete", "{\"anchor\": 2.5}", "anchor", 400},
      {"end-tangent", "{\"end\": \"start\", \"direction\": [0, 0, 0]}", "direction", 400},
      {"range", "{\"range\": [0.7, 0.2]}", "range", 400},
      {"cut", "", "cut", 422},
      {"undo", "", "undo", 409},
      {"bend", "{}", "action", 404},
  };
  for (const auto& r : refused) {
    const json reply = api.Call("POST", edit + r.action, r.body, r.status);
    EXPECT_EQ(reply["field"], r.field) << r.action << " " << r.body;
    EXPECT_EQ(reply["error"].get<std::string>().rfind(r.field + ": ", 0), 0u) << reply["error"];
    EXPECT_EQ(reply["error"].get<std::string>().find('\n'), std::string::npos);
    EXPECT_EQ(Differences(api.Saved(id), saved), "") << "the stroke changed after a refused " << r.action;
  }
  EXPECT_EQ(api.Call("POST", "/api/strokes/feedc0de/undo", "", 404)["field"], "id");
  EXPECT_EQ(api.Call("POST", "/api/strokes", "{\"points\": [[0, 0, 0], [1, 1, null]]}", 400)["field"], "points[1][2]");
  std::string many = "{\"points\": [";
  for (int i = 0; i <= StrokeServer::kMaxPoints; ++i) many += (i ? ",[" : "[") + std::to_string(i) + ",0]";
  EXPECT_EQ(api.Call("POST", "/api/strokes", many + "]}", 413)["field"], "points");
  EXPECT_EQ(api.Call("POST", "/api/strokes", std::string(StrokeServer::kMaxBodyBytes + 1, ' '), 413)["field"], "body");
  EXPECT_EQ(server.StrokeCount(), 1u);
}

// Every edit the page offers, then all of them undone and redone: each state comes back exactly as the
// program would save it. A small curve bound makes the server free the factory's curves along the way.
TEST(StrokeServerApi, UndoAndRedoGiveBackEveryStateExactly) {
  StrokeServer server(8, 200, 20);
  Api api{server};
  const std::string id = api.Create("data/strokes/real/Balinese-character02-0109_08-0.json");
  const json state = api.Call("GET", "/api/strokes/" + id, "");
  const json display = state["display"]["coords"];
  // A display point from two fifths along on that is no anchor: the insertion there is not refused.
  auto farFromAnchors = [&](const json& p) {
    for (const json& a : state["anchors"])
      if (std::hypot(a[0].get<double>() - p[0].get<double>(), a[1].get<double>() - p[1].get<double>()) < 1.0) return false;
    return true;
  };
  size_t at = display.size() * 2 / 5;
  while (at + 1 < display.size() && !farFromAnchors(display[at])) ++at;
  const json mid = display[at];
  const json to = {mid[0].get<double>() + 1.5, mid[1].get<double>() + 1.0, 0.0};
  const std::vector<std::pair<std::string, json>> edits = {
      {"insert", {{"point", mid}}},
      {"drag", {{"from", mid}, {"to", to}}},
      {"drag", {{"from", to}, {"to", mid}, {"continues", true}}},
      {"end-tangent", {{"end", "end"}, {"direction", {0.0, 1.0, 0.0}}}},
      {"end-tangent", {{"end", "start"}, {"direction", {1.0, 1.0, 0.0}}, {"bend", false}}},
      {"delete", {{"anchor", 2}}},
      {"range", {{"range", {0.2, 0.8}}}},
      {"cut", json::object()},
  };
  std::vector<std::string> states = {api.Saved(id)};
  for (const auto& [action, body] : edits) {
    api.Call("POST", "/api/strokes/" + id + "/" + action, body.dump());
    if (!body.value("continues", false)) states.push_back(api.Saved(id));
    else states.back() = api.Saved(id);  // a continuing drag is part of the step before
  }
  for (std::size_t k = states.size() - 1; k > 0; --k) {
    EXPECT_EQ(api.Call("POST", "/api/strokes/" + id + "/undo", "")["redo"], states.size() - k);
    EXPECT_EQ(Differences(api.Saved(id), states[k - 1]), "") << "undo to state " << k - 1;
  }
  for (std::size_t k = 1; k < states.size(); ++k) {
    api.Call("POST", "/api/strokes/" + id + "/redo", "");
    EXPECT_EQ(Differences(api.Saved(id), states[k]), "") << "redo to state " << k;
  }
  const std::string step = api.Call("GET", "/api/strokes/" + id + "/step", "");
  EXPECT_NE(step.find("ADVANCED_FACE"), std::string::npos);
}

TEST(StrokeServerApi, StoreDropsTheStrokeUntouchedLongest) {
  StrokeServer server(3);
  Api api{server};
  std::vector<std::string> ids;
  for (int i = 0; i < 3; ++i) ids.push_back(api.Create("examples/wave.json"));
  api.Call("GET", "/api/strokes/" + ids[0], "");  // now the most recently used
  ids.push_back(api.Create("examples/wave.json"));
  EXPECT_EQ(server.StrokeCount(), 3u);
  api.Call("GET", "/api/strokes/" + ids[1], "", 404);
  for (int i : {0, 2, 3}) api.Call("GET", "/api/strokes/" + ids[i], "");
}

// Threads each making and dragging their own stroke while all of them drag one shared stroke too.
TEST(StrokeServerApi, ManyThreadsAtOnceKeepTheirStrokes) {
  StrokeServer server(16);
  Api api{server};
  const std::string shared = api.Create("examples/wave.json");
  const json display = api.Call("GET", "/api/strokes/" + shared, "")["display"]["coords"];
  const json first = display[display.size() / 2];
  std::vector<std::thread> threads;
  std::vector<int> failures(4, 0);
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&, t] {
      const std::string own = api.Create("examples/wave.json");
      const std::string own0 = api.Saved(own);
      for (int i = 0; i < 6; ++i) {
        json p = first;
        const json drag = {{"from", p}, {"to", {p[0].get<double>(), p[1].get<double>() + 0.5 * (i % 2 ? -1 : 1), 0.0}}};
        failures[t] += server.Handle("POST", "/api/strokes/" + shared + "/drag", drag.dump()).status != 200;
        failures[t] += server.Handle("POST", "/api/strokes/" + own + "/range", "{\"range\": [0.1, 0.9]}").status != 200;
        failures[t] += server.Handle("POST", "/api/strokes/" + own + "/undo", "").status != 200;
      }
      failures[t] += api.Saved(own) != own0;
    });
  for (std::thread& t : threads) t.join();
  for (int t = 0; t < 4; ++t) EXPECT_EQ(failures[t], 0) << "thread " << t;
  EXPECT_EQ(server.StrokeCount(), 5u);
}

}  // namespace
