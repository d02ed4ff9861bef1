// The studio's web server: the page, and the API the page calls to read
// the schema, open, check, preview, save and export the one graph file it
// was started for.
#ifndef NOISEBIND_STUDIO_SERVER_H
#define NOISEBIND_STUDIO_SERVER_H

#include <cstddef>
#include <memory>
#include <string>

#include "programs/studio/graph_codec.h"

namespace noisebind::studio {

// A request body larger than this is refused (413).
constexpr std::size_t kMaxBodyBytes = 8u << 20;

struct StudioOptions {
  std::string graphPath;             // the file it opens and saves
  std::string listen = "127.0.0.1";  // the address it listens on
  int port = 0;                      // 0: a free port
  std::string pageDir;               // the built page; empty: the API only
  std::string token;                 // empty: a new random one
  unsigned threads = 0;              // per preview; 0: every core
};

class StudioServer {
 public:
  // The codec must outlive the server.
  StudioServer(StudioOptions options, const GraphCodec& codec);
  ~StudioServer();
  StudioServer(const StudioServer&) = delete;
  StudioServer& operator=(const StudioServer&) = delete;

  // Binds the address and port; false with the reason when it cannot.
  bool Bind(std::string* error);
  // The port bound, and the URL to open (it holds the token).
  int port() const;
  std::string Url() const;
  const std::string& token() const;

  // Serves until Stop; call after Bind.
  void Run();
  // Ends Run, from any thread.
  void Stop();

 private:
  struct State;
  std::unique_ptr<State> m_state;
};

}  // namespace noisebind::studio

#endif  // NOISEBIND_STUDIO_SERVER_H
