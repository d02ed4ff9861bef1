#include "programs/noisebind/tiles_serve.h"

#include <httplib.h>

namespace noisebind::cli {

int RunServe(const ServeOptions& options, std::ostream& out, std::ostream& err) {
  httplib::Server server;
  const struct {
    const char* mount;
    const std::string& folder;
    const char* what;
  } mounts[] = {
      {"/pyramid", options.pyramid, "the pyramid"},
      {"/elevation", options.elevation, "the elevation pyramid"},
      {"/", options.page, "the map page (build it: make tiles-page)"},
  };
  for (const auto& mount : mounts) {
    if (mount.folder.empty()) continue;
    if (!server.set_mount_point(mount.mount, mount.folder)) {
      err << "noisebind tiles serve: no folder " << mount.folder << " for " << mount.what << "\n";
      return 1;
    }
  }
  server.set_file_extension_and_mimetype_mapping("json", "application/json");
  const int port = options.port == 0
                       ? server.bind_to_any_port("127.0.0.1")
                       : (server.bind_to_port("127.0.0.1", options.port) ? options.port : -1);
  if (port < 0) {
    err << "noisebind tiles serve: cannot listen on 127.0.0.1:" << options.port << "\n";
    return 1;
  }
  const std::string hosts[] = {"127.0.0.1:" + std::to_string(port),
                               "localhost:" + std::to_string(port)};
  server.set_pre_routing_handler(
      [hosts](const httplib::Request& request, httplib::Response& response) {
        const std::string host = request.get_header_value("Host");
        if (host == hosts[0] || host == hosts[1])
          return httplib::Server::HandlerResponse::Unhandled;
        response.status = 403;
        response.set_content("forbidden host\n", "text/plain");
        return httplib::Server::HandlerResponse::Handled;
      });
  out << "serving " << options.pyramid << " at http://127.0.0.1:" << port << "/" << std::endl;
  return server.listen_after_bind() ? 0 : 1;
}

}  // namespace noisebind::cli
