#include "programs/studio/server.h"

#include <httplib.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <stdexcept>
#include <utility>

#include "engine/image/atomic_file.h"
#include "engine/maps/parallel_rows.h"
#include "engine/render/heightmap_files.h"
#include "programs/studio/file_names.h"
#include "programs/studio/node_errors.h"
#include "programs/studio/preview.h"
#include "programs/studio/request_guard.h"

namespace noisebind::studio {
namespace {

using Json = nlohmann::json;
using Clock = std::chrono::steady_clock;

// A refusal with its status: thrown by the readers of a request, answered
// by the exception handler with the reason.
struct Refusal : std::runtime_error {
  Refusal(int status, const std::string& reason) : std::runtime_error(reason), status(status) {}
  int status;
};

void Reply(httplib::Response& response, int status, const Json& body) {
  response.status = status;
  response.set_content(body.dump(), "application/json");
}

void ReplyError(httplib::Response& response, int status, const std::string& reason) {
  Reply(response, status, Json{{"error", reason}});
}

double Milliseconds(Clock::time_point since) {
  return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

Json ParseBody(const httplib::Request& request) {
  Json body = Json::parse(request.body, nullptr, false);
  if (body.is_discarded()) throw Refusal(400, "the request body is not JSON");
  if (!body.is_object()) throw Refusal(400, "the request body must be a JSON object");
  return body;
}

const Json& Member(const Json& object, const char* name, const char* where) {
  const auto found = object.find(name);
  if (found == object.end()) throw Refusal(400, std::string(where) + "." + name + " is missing");
  return *found;
}

std::string StringMember(const Json& object, const char* name, const char* where) {
  const Json& value = Member(object, name, where);
  if (!value.is_string()) throw Refusal(400, std::string(where) + "." + name + " must be a string");
  return value.get<std::string>();
}

double NumberMember(const Json& object, const char* name, const char* where) {
  const Json& value = Member(object, name, where);
  if (!value.is_number()) throw Refusal(400, std::string(where) + "." + name + " must be a number");
  return value.get<double>();
}

// The graph document of a request: its text, or the document itself.
std::string GraphText(const Json& body) {
  const Json& graph = Member(body, "graph", "request");
  if (graph.is_string()) return graph.get<std::string>();
  if (graph.is_object()) return graph.dump();
  throw Refusal(400, "request.graph must be a graph document or its text");
}

PreviewView ReadView(const Json& body) {
  const Json& view = Member(body, "view", "request");
  if (!view.is_object()) throw Refusal(400, "request.view must be an object");
  const Json& bounds = Member(view, "bounds", "view");
  std::vector<double> numbers;
  if (bounds.is_array()) {
    for (const Json& number : bounds) {
      if (!number.is_number()) throw Refusal(400, "view.bounds must be numbers");
      numbers.push_back(number.get<double>());
    }
  }
  PreviewView parsed;
  std::string error;
  if (!ParseView(StringMember(view, "projection", "view"), numbers,
                 NumberMember(view, "width", "view"), NumberMember(view, "height", "view"), &parsed,
                 &error)) {
    throw Refusal(400, "view: " + error);
  }
  return parsed;
}

// A tile of a request: {surface, bounds (planes), z, x, y, size}.
TileView ReadTile(const Json& body) {
  const Json& tile = Member(body, "tile", "request");
  if (!tile.is_object()) throw Refusal(400, "request.tile must be an object");
  std::vector<double> numbers;
  const std::string surface = StringMember(tile, "surface", "tile");
  if (surface == "plane") {
    const Json& bounds = Member(tile, "bounds", "tile");
    if (!bounds.is_array()) throw Refusal(400, "tile.bounds must be numbers");
    for (const Json& number : bounds) {
      if (!number.is_number()) throw Refusal(400, "tile.bounds must be numbers");
      numbers.push_back(number.get<double>());
    }
  }
  double size = 256;
  if (tile.contains("size")) size = NumberMember(tile, "size", "tile");
  TileView parsed;
  std::string error;
  if (!ParseTileView(surface, numbers, NumberMember(tile, "z", "tile"),
                     NumberMember(tile, "x", "tile"), NumberMember(tile, "y", "tile"), size,
                     &parsed, &error)) {
    throw Refusal(400, "tile: " + error);
  }
  return parsed;
}

// "values" (the default), or a format of the tiles command.
bool ReadTileFormat(const Json& body, tiles::TileFormat* format) {
  if (!body.contains("format")) return false;
  const std::string name = StringMember(body, "format", "request");
  if (name == "values") return false;
  if (!tiles::ParseFormat(name, format)) {
    throw Refusal(400,
                  "format must be values, png, heightmap16 or terrain-rgb, got '" + name + "'");
  }
  return true;
}

// The version of the graph a request is made for: a whole number.
std::uint64_t ReadVersion(const Json& body) {
  if (!body.contains("version")) return 0;
  const double version = NumberMember(body, "version", "request");
  if (!(version >= 0 && version <= 9007199254740992.0) || std::floor(version) != version) {
    throw Refusal(400, "request.version must be a whole number");
  }
  return static_cast<std::uint64_t>(version);
}

// Numbers that read back as the same doubles.
std::string Exact(double a, double b) {
  char text[64];
  std::snprintf(text, sizeof text, "%.17g,%.17g", a, b);
  return text;
}

bool ReadFile(const std::string& path, std::size_t limit, std::string* text) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  std::ostringstream contents;
  contents << file.rdbuf();
  *text = contents.str();
  if (text->size() > limit) throw Refusal(413, "the graph file is larger than the studio reads");
  return true;
}

bool WriteText(std::FILE* file, const void* data, char* reason, std::size_t reasonSize) noexcept {
  const auto* text = static_cast<const std::string*>(data);
  if (std::fwrite(text->data(), 1, text->size(), file) == text->size()) return true;
  std::snprintf(reason, reasonSize, "%s", std::strerror(errno));
  return false;
}

}  // namespace

struct StudioServer::State {
  StudioOptions options;
  const GraphCodec& codec;
  httplib::Server http;
  PreviewGate gate{2};
  int port = 0;

  State(StudioOptions opts, const GraphCodec& c) : options(std::move(opts)), codec(c) {}

  std::string DocumentName() const { return BaseName(options.graphPath); }

  std::unique_ptr<DecodedGraph> Decode(const std::string& text) const {
    std::unique_ptr<DecodedGraph> graph;
    std::string error;
    if (!codec.Decode(text, DocumentName(), &graph, &error)) throw Refusal(422, error);
    return graph;
  }

  // The node a request targets: {"output": name} or {"node": id}.
  static const objects::Node& Target(const DecodedGraph& graph, const Json& body) {
    const Json& target = Member(body, "target", "request");
    if (!target.is_object()) throw Refusal(400, "request.target must be an object");
    const objects::Node* node = nullptr;
    if (target.contains("output")) {
      const std::string name = StringMember(target, "output", "target");
      node = graph.FindOutput(name);
      if (node == nullptr) throw Refusal(422, "the graph has no output '" + name + "'");
    } else {
      const std::string id = StringMember(target, "node", "target");
      node = graph.FindNode(id);
      if (node == nullptr) throw Refusal(422, "the graph has no node '" + id + "'");
    }
    return *node;
  }

  unsigned Threads() const {
    return options.threads != 0 ? options.threads : maps::DefaultThreads();
  }

  // Whether the target can be evaluated; otherwise replies with the error
  // at every node that has one, and returns false.
  static bool Evaluable(const DecodedGraph& graph, const objects::Node& node,
                        httplib::Response& response) {
    std::string why;
    if (node.Evaluable(&why)) return true;
    Json errors = Json::array();
    for (const NodeError& error : FindNodeErrors(graph)) {
      errors.push_back({{"node", error.id}, {"message", error.message}});
    }
    Reply(response, 422, Json{{"error", why}, {"errors", errors}});
    return false;
  }

  static std::string Page(const Json& body, const char* otherwise) {
    if (!body.contains("page")) return otherwise;
    return StringMember(body, "page", "request").substr(0, 64);
  }

  // Computes the map of a request's target; on failure replies and
  // returns false.
  bool Map(const Json& body, std::vector<double>* values, PreviewView* view,
           httplib::Response& response) {
    const Clock::time_point start = Clock::now();
    *view = ReadView(body);
    const std::string page = Page(body, "export");
    const std::unique_ptr<DecodedGraph> graph = Decode(GraphText(body));
    const objects::Node& node = Target(*graph, body);
    if (!Evaluable(*graph, node, response)) return false;
    const double decodeMs = Milliseconds(start);
    const CancelFlag flag = gate.Enter(page);
    if (!flag) {
      ReplyError(response, 409, "cancelled by a newer preview");
      return false;
    }
    const Clock::time_point mapStart = Clock::now();
    std::string error;
    const bool built = RunPreview(node, *view, Threads(), *flag, values, &error);
    gate.Leave(page, flag);
    if (!built) {
      ReplyError(response, flag->load() ? 409 : 422, error);
      return false;
    }
    response.set_header("X-Decode-Ms", std::to_string(decodeMs));
    response.set_header("X-Map-Ms", std::to_string(Milliseconds(mapStart)));
    return true;
  }

  void Routes() {
    http.Get("/api/schema", [this](const httplib::Request&, httplib::Response& response) {
      response.set_content(codec.SchemaJson(), "application/json");
    });

    http.Get("/api/graph", [this](const httplib::Request&, httplib::Response& response) {
      std::string text;
      const bool exists = ReadFile(options.graphPath, kMaxBodyBytes, &text);
      if (!exists) text = codec.EmptyDocument();
      Reply(response, 200, Json{{"name", DocumentName()}, {"exists", exists}, {"text", text}});
    });

    http.Post("/api/check", [this](const httplib::Request& request, httplib::Response& response) {
      const Json body = ParseBody(request);
      const std::unique_ptr<DecodedGraph> graph = Decode(GraphText(body));
      Json errors = Json::array();
      for (const NodeError& error : FindNodeErrors(*graph)) {
        errors.push_back({{"node", error.id}, {"message", error.message}});
      }
      Reply(response, 200, Json{{"errors", errors}});
    });

    http.Put("/api/graph", [this](const httplib::Request& request, httplib::Response& response) {
      const Json body = ParseBody(request);
      std::string canonical;
      std::string error;
      if (!codec.Canonical(GraphText(body), DocumentName(), &canonical, &error)) {
        throw Refusal(422, error);
      }
      char reason[256];
      if (!noisebind::image::WriteFileAtomically(options.graphPath.c_str(), WriteText, &canonical,
                                                 reason, sizeof reason)) {
        throw Refusal(500, "cannot save " + options.graphPath + ": " + reason);
      }
      Reply(response, 200, Json{{"saved", DocumentName()}, {"text", canonical}});
    });

    http.Post("/api/preview", [this](const httplib::Request& request, httplib::Response& response) {
      const Json body = ParseBody(request);
      std::vector<double> values;
      PreviewView view;
      if (!Map(body, &values, &view, response)) return;
      response.set_header("X-Width", std::to_string(view.request.width));
      response.set_header("X-Height", std::to_string(view.request.height));
      // Raw doubles, least significant byte first (this machine's order).
      response.set_content(reinterpret_cast<const char*>(values.data()),
                           values.size() * sizeof(double), "application/octet-stream");
    });

    // A tile of the tiles' grids, sampled as the tiles command samples it:
    // its values with their border, or the command's PNG of them.
    http.Post("/api/tile", [this](const httplib::Request& request, httplib::Response& response) {
      const Clock::time_point start = Clock::now();
      const Json body = ParseBody(request);
      const TileView view = ReadTile(body);
      tiles::TileFormat format = tiles::TileFormat::kPng;
      const bool encoded = ReadTileFormat(body, &format);
      // Tiles of one page run together; a newer graph cancels older tiles.
      const std::string page = "tiles " + Page(body, "");
      const std::uint64_t version = ReadVersion(body);
      const std::unique_ptr<DecodedGraph> graph = Decode(GraphText(body));
      const objects::Node& node = Target(*graph, body);
      if (!Evaluable(*graph, node, response)) return;
      const double decodeMs = Milliseconds(start);
      const CancelFlag flag = gate.Enter(page, version);
      if (!flag) {
        ReplyError(response, 409, "cancelled by a newer version of the graph");
        return;
      }
      const Clock::time_point mapStart = Clock::now();
      tiles::TileSamples samples;
      std::string error;
      const bool built = RunTile(node, view, Threads(), *flag, &samples, &error);
      gate.Leave(page, flag);
      if (!built) {
        ReplyError(response, flag->load() ? 409 : 422, error);
        return;
      }
      response.set_header("X-Decode-Ms", std::to_string(decodeMs));
      response.set_header("X-Map-Ms", std::to_string(Milliseconds(mapStart)));
      if (encoded) {
        std::string bytes;
        if (!tiles::EncodeTile(samples, view.grid, view.address, format, tiles::DefaultStyle(),
                               &bytes, &error)) {
          throw Refusal(500, error);
        }
        response.set_content(bytes, "image/png");
        return;
      }
      const maps::MapRequest& where = samples.request;
      response.set_header("X-Side", std::to_string(samples.side));
      response.set_header("X-Columns", Exact(where.columnFrom, where.columnTo));
      response.set_header("X-Rows", Exact(where.rowFrom, where.rowTo));
      response.set_content(reinterpret_cast<const char*>(samples.values.data()),
                           samples.values.size() * sizeof(double), "application/octet-stream");
    });

    http.Post("/api/export", [this](const httplib::Request& request, httplib::Response& response) {
      const Json body = ParseBody(request);
      std::string path;
      std::string error;
      if (!ExportPath(options.graphPath, StringMember(body, "file", "request"), ".png", &path,
                      &error)) {
        throw Refusal(400, error);
      }
      std::vector<double> values;
      PreviewView view;
      if (!Map(body, &values, &view, response)) return;
      const maps::MapView map{view.request.width, view.request.height, values.data()};
      double low = 0;
      double high = 0;
      maps::ValueRange(values.data(), values.size(), &low, &high);
      char reason[256];
      if (!render::SaveGreyPng16(map, low, high, path.c_str(), reason, sizeof reason)) {
        throw Refusal(500, "cannot export " + BaseName(path) + ": " + reason);
      }
      Reply(response, 200, Json{{"saved", BaseName(path)}, {"low", low}, {"high", high}});
    });
  }

  // Every request: the guard first; the page's own URL sets the cookie
  // that carries the token for the files it loads.
  void Guard() {
    http.set_pre_routing_handler(
        [this](const httplib::Request& request, httplib::Response& response) {
          RequestOrigin from;
          from.host = request.get_header_value("Host");
          from.origin = request.get_header_value("Origin");
          from.fetchSite = request.get_header_value("Sec-Fetch-Site");
          from.token = request.get_header_value("X-Studio-Token");
          const bool tokenInQuery = from.token.empty() && request.has_param("token");
          if (tokenInQuery) from.token = request.get_param_value("token");
          if (from.token.empty()) {
            from.token = CookieValue(request.get_header_value("Cookie"), TokenCookieName(port));
          }
          const std::string refusal = RefuseRequest(from, options.token, port);
          response.set_header("X-Content-Type-Options", "nosniff");
          response.set_header("Referrer-Policy", "no-referrer");
          response.set_header("X-Frame-Options", "DENY");
          response.set_header("Cache-Control", "no-store");
          if (!refusal.empty()) {
            ReplyError(response, 403, refusal);
            return httplib::Server::HandlerResponse::Handled;
          }
          if (tokenInQuery) {
            response.set_header("Set-Cookie", TokenCookieName(port) + "=" + options.token +
                                                  "; Path=/; HttpOnly; SameSite=Strict");
          }
          response.set_header("Content-Security-Policy",
                              "default-src 'self'; img-src 'self' data: blob:; "
                              "style-src 'self' 'unsafe-inline'; frame-ancestors 'none'");
          return httplib::Server::HandlerResponse::Unhandled;
        });
    http.set_exception_handler(
        [](const httplib::Request&, httplib::Response& response, std::exception_ptr thrown) {
          try {
            std::rethrow_exception(thrown);
          } catch (const Refusal& refusal) {
            ReplyError(response, refusal.status, refusal.what());
          } catch (const Json::exception& error) {
            ReplyError(response, 400, std::string("malformed request: ") + error.what());
          } catch (const std::bad_alloc&) {
            ReplyError(response, 503, "not enough memory");
          } catch (const std::exception& error) {
            ReplyError(response, 500, error.what());
          } catch (...) {
            ReplyError(response, 500, "internal error");
          }
        });
    http.set_error_handler([](const httplib::Request&, httplib::Response& response) {
      if (!response.body.empty()) return;
      const char* reason = response.status == 404   ? "no such page or endpoint"
                           : response.status == 413 ? "the request body is too large"
                                                    : "the request was refused";
      ReplyError(response, response.status, reason);
    });
    // Browsers keep connections open: enough threads that a few pages and
    // their waiting previews do not hold every one.
    http.new_task_queue = [] { return new httplib::ThreadPool(16); };
    http.set_payload_max_length(kMaxBodyBytes);
    http.set_read_timeout(10);
    http.set_write_timeout(10);
  }
};

StudioServer::StudioServer(StudioOptions options, const GraphCodec& codec)
    : m_state(std::make_unique<State>(std::move(options), codec)) {
  if (m_state->options.token.empty()) m_state->options.token = NewToken();
}

StudioServer::~StudioServer() = default;

bool StudioServer::Bind(std::string* error) {
  State& state = *m_state;
  state.Guard();
  state.Routes();
  if (!state.options.pageDir.empty() && !state.http.set_mount_point("/", state.options.pageDir)) {
    *error = "cannot serve the page from " + state.options.pageDir;
    return false;
  }
  const std::string& host = state.options.listen;
  if (state.options.port == 0) {
    state.port = state.http.bind_to_any_port(host);
  } else if (state.http.bind_to_port(host, state.options.port)) {
    state.port = state.options.port;
  } else {
    state.port = -1;
  }
  if (state.port <= 0) {
    *error = "cannot listen on " + host + " port " + std::to_string(state.options.port);
    return false;
  }
  return true;
}

int StudioServer::port() const {
  return m_state->port;
}

const std::string& StudioServer::token() const {
  return m_state->options.token;
}

std::string StudioServer::Url() const {
  std::string host = m_state->options.listen;
  if (host == "0.0.0.0" || host == "::") host = "127.0.0.1";
  if (host.find(':') != std::string::npos) host = "[" + host + "]";
  return "http://" + host + ":" + std::to_string(m_state->port) + "/?token=" + token();
}

void StudioServer::Run() {
  m_state->http.listen_after_bind();
}

void StudioServer::Stop() {
  m_state->http.stop();
}

}  // namespace noisebind::studio
