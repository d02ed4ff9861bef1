// `noisebind tiles serve DIR`: a pyramid and its map page over HTTP, on
// the loopback interface only, read-only.
#ifndef NOISEBIND_CLI_TILES_SERVE_H
#define NOISEBIND_CLI_TILES_SERVE_H

#include <ostream>
#include <string>

namespace noisebind::cli {

struct ServeOptions {
  std::string pyramid;    // DIR: served under /pyramid/
  std::string elevation;  // a terrain-RGB pyramid for heights, under /elevation/; may be empty
  std::string page;       // the built map page, served under /
  int port = 8765;        // 0: any free port
};

// Serves until the process ends: GET and HEAD of files only, from
// 127.0.0.1, to requests whose Host is this server's (a page elsewhere
// cannot reach it through a name that resolves here). Prints the address
// to `out` once listening. 1 with the reason on `err` when a folder is
// missing or the port cannot be bound.
int RunServe(const ServeOptions& options, std::ostream& out, std::ostream& err);

}  // namespace noisebind::cli

#endif  // NOISEBIND_CLI_TILES_SERVE_H
