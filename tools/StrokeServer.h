// The program's web server (`stroke serve`): the drawing page and a JSON API that creates strokes from
// drawings (or loads saved strokes) in the program's own file format, edits them with the program's own
// session, undoes and redoes edits, and exports the extruded body and the stroke.
//
// Strokes live in memory under random ids, one per drawing a browser sends, so several browsers never
// see each other's strokes. The store holds at most a fixed number of strokes: a new one drops the one
// left untouched longest. Each stroke keeps a bounded history of earlier states for undo and redo; the
// states are stroke copies sharing their segments.
//
// Every API reply is JSON (or the exported file) with the server's time for the request in
// "server_ms" and in the X-Server-Ms header. A refused request answers 400, 404 or 413 with one line in
// "error" naming the field at fault, and leaves every stroke as it was.
//
// Thread safety: Handle may be called from any number of threads at once (the HTTP library's pool does):
// the store is guarded by one mutex, each stroke by its own, and exports to files by a third (the
// kernel's file writers share global settings).
#ifndef StrokeServer_h
#define StrokeServer_h

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <string>

class StrokeServer {
 public:
  // Bounds of a request. Bodies larger than kMaxBodyBytes answer 413 before they are read; drawings with
  // more than kMaxPoints points answer 413 after parsing, before anything is made.
  static constexpr std::size_t kMaxBodyBytes = 8u * 1024u * 1024u;
  static constexpr int kMaxPoints = 100000;
  static constexpr int kDefaultPort = 8765;

  // What one request gets back.
  struct Reply {
    int status = 200;
    std::string body;
    // With the charset named, the HTTP library leaves JSON and SVG uncompressed: its compressor costs
    // hundreds of milliseconds on a 5,000-point stroke's reply, far more than loopback saves.
    std::string contentType = "application/json; charset=utf-8";
    std::string fileName;   // non-empty: offered as a download under this name
    double serverMs = 0.0;  // time spent handling the request (milliseconds)
  };

  // maxStrokes: strokes kept at once; maxHistory: undo steps kept per stroke; maxCurves: curves a stroke's
  // factory may hold before the ones no state needs any more are freed (each refit makes new ones).
  explicit StrokeServer(std::size_t maxStrokes = 64, std::size_t maxHistory = 200, int maxCurves = 4000);
  ~StrokeServer();
  StrokeServer(const StrokeServer&) = delete;
  StrokeServer& operator=(const StrokeServer&) = delete;

  // One API request: method "GET" or "POST", path beginning with /api/, the request body.
  Reply Handle(const std::string& method, const std::string& path, const std::string& body);

  std::size_t StrokeCount() const;

  // `stroke serve [--port N] [--host H] [--web DIR]`: serves the page from DIR (found beside the
  // installed program or in the source tree when not given) and the API until SIGINT or SIGTERM.
  // Prints the address it listens on. Returns the program's exit status (2: bad option or no page).
  static int Main(int argc, char** argv);

 private:
  struct Entry;
  struct Request;

  Reply Create(const std::string& body);
  Reply OnStroke(Entry& entry, const std::string& method, const std::string& action, const Request& request);
  std::shared_ptr<Entry> Find(const std::string& id);

  const std::size_t mMaxStrokes, mMaxHistory;
  const int mMaxCurves;
  mutable std::mutex mStoreMutex;
  // Most recently used first; the last one is dropped when the store is full.
  std::list<std::shared_ptr<Entry>> mStore;
  std::uint64_t mIdState;
};

#endif
