// The studio's server over HTTP, in this process: every endpoint, the
// guard in front of them, and malformed requests answered with a 4xx and
// the reason while the server keeps serving.
#include <gtest/gtest.h>
#include <httplib.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "engine/maps/node_source.h"
#include "programs/studio/graphfile_codec.h"
#include "programs/studio/server.h"
#include "engine/tiles/tile_maker.h"

namespace noisebind::studio {
namespace {

using Json = nlohmann::json;

// A graph of two outputs: hills (Perlin) and terraced, a Curve of `points`.
std::string Document(int points) {
  Json curve = Json::array();
  for (int i = 0; i < points; ++i) curve.push_back({-1.0 + i * 0.5, (i % 2) * 0.5});
  Json doc = {{"format", "noisebind-graph"},
              {"version", 1},
              {"nodes",
               {{{"id", "hills"},
                 {"class", "Perlin"},
                 {"sources", Json::array()},
                 {"fields", {{"octaves", 3}, {"seed", 7}}}},
                {{"id", "shaped"},
                 {"class", "Curve"},
                 {"sources", {"hills"}},
                 {"fields", {{"points", curve}}}}}},
              {"outputs", {{"height", "hills"}, {"shaped", "shaped"}}}};
  return doc.dump();
}

class StudioServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char folder[] = "/tmp/studio-test-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    m_folder = folder;
    StudioOptions options;
    options.graphPath = m_folder + "/graph.json";
    options.threads = 2;
    m_server = std::make_unique<StudioServer>(options, m_codec);
    std::string error;
    ASSERT_TRUE(m_server->Bind(&error)) << error;
    m_thread = std::thread([this] { m_server->Run(); });
    m_client = std::make_unique<httplib::Client>("127.0.0.1", m_server->port());
    m_headers = {{"X-Studio-Token", m_server->token()}};
  }

  void TearDown() override {
    m_server->Stop();
    m_thread.join();
    std::remove((m_folder + "/graph.json").c_str());
    std::remove((m_folder + "/view.png").c_str());
    rmdir(m_folder.c_str());
  }

  httplib::Result Post(const std::string& path, const Json& body) {
    return m_client->Post(path.c_str(), m_headers, body.dump(), "application/json");
  }

  std::string m_folder;
  GraphFileCodec m_codec;
  std::unique_ptr<StudioServer> m_server;
  std::thread m_thread;
  std::unique_ptr<httplib::Client> m_client;
  httplib::Headers m_headers;
};

Json View(double width, double height) {
  return {{"projection", "plane"}, {"bounds", {0, 4, 0, 4}}, {"width", width}, {"height", height}};
}

TEST_F(StudioServerTest, RefusesMalformedRequestsWithTheReasonAndKeepsServing) {
  struct Case {
    const char* description;
    const char* method;
    const char* path;
    std::string body;
    bool withToken;
    int status;
    const char* error;  // what the reply's error holds
  };
  const Json preview = {
      {"graph", Document(4)}, {"target", {{"output", "height"}}}, {"view", View(8, 8)}};
  auto with = [&](const char* key, const Json& value) {
    Json body = preview;
    body[key] = value;
    return body.dump();
  };
  auto tileWith = [&](const Json& tile, const char* format) {
    Json body = preview;
    body["tile"] = tile;
    body["format"] = format;
    return body.dump();
  };
  const std::vector<Case> cases = {
      {"no token", "GET", "/api/schema", "", false, 403, "the studio's token is missing"},
      {"unknown endpoint", "GET", "/api/nothing", "", true, 404, "no such page or endpoint"},
      {"not json", "POST", "/api/preview", "{", true, 400, "the request body is not JSON"},
      {"not an object", "POST", "/api/preview", "[1]", true, 400, "must be a JSON object"},
      {"no graph", "POST", "/api/check", "{}", true, 400, "request.graph is missing"},
      {"graph of another type", "POST", "/api/check", "{\"graph\": 3}", true, 400,
       "request.graph must be a graph document or its text"},
      {"graph not a document", "POST", "/api/check", "{\"graph\": \"x\"}", true, 422,
       "graph.json:"},
      {"unknown output", "POST", "/api/preview", with("target", {{"output", "caves"}}), true, 422,
       "the graph has no output 'caves'"},
      {"unknown node", "POST", "/api/preview", with("target", {{"node", "x"}}), true, 422,
       "the graph has no node 'x'"},
      {"bad view", "POST", "/api/preview", with("view", View(0, 8)), true, 400,
       "view: width and height must be integers from 1 to 2048"},
      {"huge view", "POST", "/api/preview", with("view", View(2048, 2048)), true, 400,
       "view: a preview holds at most 1048576 values"},
      {"width of another type", "POST", "/api/preview",
       with("view",
            {{"projection", "plane"}, {"bounds", {0, 1, 0, 1}}, {"width", "8"}, {"height", 8}}),
       true, 400, "view.width must be a number"},
      {"export outside the folder", "POST", "/api/export", with("file", "../x.png"), true, 400,
       "export name must be a plain file name"},
      {"tile outside the grid", "POST", "/api/tile",
       with("tile", {{"surface", "sphere"}, {"z", 1}, {"x", 4}, {"y", 0}}), true, 400,
       "tile: no tile 1/4/0 in the grid"},
      {"plane tile without bounds", "POST", "/api/tile",
       with("tile", {{"surface", "plane"}, {"z", 0}, {"x", 0}, {"y", 0}}), true, 400,
       "tile.bounds is missing"},
      {"tile too large", "POST", "/api/tile",
       with("tile", {{"surface", "sphere"}, {"z", 0}, {"x", 0}, {"y", 0}, {"size", 513}}), true,
       400, "tile: the tile size must be an integer from 1 to 512"},
      {"tile of an unknown format", "POST", "/api/tile",
       tileWith({{"surface", "sphere"}, {"z", 0}, {"x", 0}, {"y", 0}}, "jpeg"), true, 400,
       "format must be values, png, heightmap16 or terrain-rgb, got 'jpeg'"},
      {"body too large", "POST", "/api/check", std::string(kMaxBodyBytes + 1, ' '), true, 413,
       "too large"},
  };
  // The guard in front of every endpoint, static files too.
  const std::vector<std::pair<httplib::Headers, const char*>> foreign = {
      {{{"Host", "evil.example:" + std::to_string(m_server->port())}}, "is not this server"},
      {{{"Origin", "http://evil.example"}}, "requests from 'http://evil.example' are not accepted"},
      {{{"Sec-Fetch-Site", "cross-site"}}, "requests from other sites are not accepted"},
  };
  for (const auto& [extra, error] : foreign) {
    httplib::Headers headers = m_headers;
    headers.insert(extra.begin(), extra.end());
    for (const char* path : {"/api/schema", "/", "/api/nothing"}) {
      httplib::Result result = m_client->Get(path, headers);
      ASSERT_TRUE(result) << path;
      EXPECT_EQ(result->status, 403) << path << ": " << result->body;
      EXPECT_NE(result->body.find(error), std::string::npos) << path << ": " << result->body;
    }
  }
  for (const Case& c : cases) {
    httplib::Headers headers;
    if (c.withToken) headers = m_headers;
    httplib::Result result = std::strcmp(c.method, "GET") == 0
                                 ? m_client->Get(c.path, headers)
                                 : m_client->Post(c.path, headers, c.body, "application/json");
    ASSERT_TRUE(result) << c.description;
    EXPECT_EQ(result->status, c.status) << c.description << ": " << result->body;
    EXPECT_NE(result->body.find(c.error), std::string::npos)
        << c.description << ": " << result->body;
  }
  // Still serving.
  httplib::Result schema = m_client->Get("/api/schema", m_headers);
  ASSERT_TRUE(schema);
  EXPECT_EQ(schema->status, 200);
}

TEST_F(StudioServerTest, ReportsTheErrorAtTheNodeThatCausesIt) {
  const Json body = {
      {"graph", Document(3)}, {"target", {{"output", "shaped"}}}, {"view", View(8, 8)}};
  httplib::Result result = Post("/api/preview", body);
  ASSERT_TRUE(result);
  EXPECT_EQ(result->status, 422);
  const Json reply = Json::parse(result->body);
  EXPECT_EQ(reply["error"], "Curve needs at least 4 control points, has 3");
  EXPECT_EQ(
      reply["errors"],
      Json::parse(
          R"([{"node": "shaped", "message": "Curve needs at least 4 control points, has 3"}])"));
  result = Post("/api/check", {{"graph", Document(3)}});
  ASSERT_TRUE(result);
  EXPECT_EQ(Json::parse(result->body)["errors"], reply["errors"]);
}

TEST_F(StudioServerTest, PreviewsAreTheMapsValues) {
  const Json body = {
      {"graph", Document(4)}, {"target", {{"node", "hills"}}}, {"view", View(16, 8)}};
  httplib::Result result = Post("/api/preview", body);
  ASSERT_TRUE(result);
  ASSERT_EQ(result->status, 200) << result->body;
  ASSERT_EQ(result->body.size(), 16u * 8u * sizeof(double));
  EXPECT_EQ(result->get_header_value("X-Width"), "16");
  std::unique_ptr<DecodedGraph> graph;
  std::string error;
  ASSERT_TRUE(m_codec.Decode(Document(4), "graph.json", &graph, &error)) << error;
  const objects::Node* hills = graph->FindNode("hills");
  for (std::uint32_t row = 0; row < 8; ++row) {
    for (std::uint32_t column = 0; column < 16; ++column) {
      double value = 0;
      std::memcpy(&value, result->body.data() + (row * 16 + column) * sizeof(double), sizeof value);
      EXPECT_EQ(value, hills->module().GetValue(column * 4.0 / 16, 0, row * 4.0 / 8));
    }
  }
}

TEST_F(StudioServerTest, TilesAreSampledAndEncodedAsTheTilesCommandMakesThem) {
  std::unique_ptr<DecodedGraph> graph;
  std::string error;
  ASSERT_TRUE(m_codec.Decode(Document(4), "graph.json", &graph, &error)) << error;
  const maps::NodeSource<objects::Node> hills(*graph->FindNode("hills"));
  const tiles::TileGrid plane{tiles::Surface::kPlane, {-1.0, 0.5, 3.0, 2.5}};
  const tiles::TileAddress address{2, 3, 1};
  const Json tile = {
      {"surface", "plane"}, {"bounds", {-1, 3, 0.5, 2.5}}, {"z", 2}, {"x", 3}, {"y", 1},
      {"size", 16}};
  const Json body = {{"graph", Document(4)}, {"target", {{"node", "hills"}}}, {"tile", tile}};
  httplib::Result result = Post("/api/tile", body);
  ASSERT_TRUE(result);
  ASSERT_EQ(result->status, 200) << result->body;
  tiles::TileSamples samples;
  ASSERT_TRUE(tiles::SampleTile(hills, plane, address, 16, 1, &samples, &error)) << error;
  EXPECT_EQ(result->get_header_value("X-Side"), "18");
  // Tile 3 of 4 across x -1..3 covers 2..3: pixels 1/16 wide, half a
  // pixel outside it on either side.
  EXPECT_EQ(result->get_header_value("X-Columns"), "1.96875,3.09375");
  ASSERT_EQ(result->body.size(), samples.values.size() * sizeof(double));
  EXPECT_EQ(std::memcmp(result->body.data(), samples.values.data(), result->body.size()), 0);
  for (const char* format : {"png", "heightmap16", "terrain-rgb"}) {
    Json encoded = body;
    encoded["format"] = format;
    result = Post("/api/tile", encoded);
    ASSERT_TRUE(result);
    ASSERT_EQ(result->status, 200) << result->body;
    EXPECT_EQ(result->get_header_value("Content-Type"), "image/png");
    tiles::TileFormat parsed;
    ASSERT_TRUE(tiles::ParseFormat(format, &parsed));
    std::string bytes;
    ASSERT_TRUE(tiles::MakeTile(hills, plane, address, 16, parsed, tiles::DefaultStyle(), 1, &bytes,
                                &error))
        << error;
    EXPECT_EQ(result->body, bytes) << format;
  }
}

TEST_F(StudioServerTest, TilesOfOnePageRunTogetherAndNewerVersionsCancelOlder) {
  // Four clients of one page, each tile a version newer than the last
  // asked: every tile is answered or cancelled, never lost.
  std::atomic<int> next{0};
  std::atomic<int> answered{0};
  std::atomic<int> other{0};
  auto client = [&] {
    httplib::Client http("127.0.0.1", m_server->port());
    for (int round = 0; round < 6; ++round) {
      const int version = next++;
      const Json body = {
          {"graph", Document(4)},
          {"target", {{"node", "hills"}}},
          {"tile", {{"surface", "sphere"}, {"z", 2}, {"x", version % 8}, {"y", 1}, {"size", 64}}},
          {"page", "one"},
          {"version", version / 3}};
      httplib::Result result = http.Post("/api/tile", m_headers, body.dump(), "application/json");
      if (result && result->status == 200 && result->body.size() == 66u * 66u * sizeof(double)) {
        ++answered;
      } else if (!result || result->status != 409) {
        ++other;
      }
    }
  };
  std::vector<std::thread> clients;
  for (int i = 0; i < 4; ++i) clients.emplace_back(client);
  for (std::thread& t : clients) t.join();
  EXPECT_EQ(other.load(), 0);
  EXPECT_GT(answered.load(), 0);
}

TEST_F(StudioServerTest, SavesTheCanonicalFileAndExportsBesideIt) {
  httplib::Result opened = m_client->Get("/api/graph", m_headers);
  ASSERT_TRUE(opened);
  EXPECT_EQ(Json::parse(opened->body)["exists"], false);

  httplib::Result saved = m_client->Put("/api/graph", m_headers,
                                        Json{{"graph", Document(4)}}.dump(), "application/json");
  ASSERT_TRUE(saved);
  ASSERT_EQ(saved->status, 200) << saved->body;
  std::ifstream file(m_folder + "/graph.json");
  std::stringstream text;
  text << file.rdbuf();
  EXPECT_EQ(text.str(), Json::parse(saved->body)["text"]);
  std::string canonical;
  std::string error;
  ASSERT_TRUE(m_codec.Canonical(text.str(), "graph.json", &canonical, &error)) << error;
  EXPECT_EQ(canonical, text.str());
  opened = m_client->Get("/api/graph", m_headers);
  EXPECT_EQ(Json::parse(opened->body)["text"], text.str());

  // A refused document leaves the file as it was.
  saved = m_client->Put("/api/graph", m_headers, Json{{"graph", "{}"}}.dump(), "application/json");
  EXPECT_EQ(saved->status, 422);
  std::ifstream again(m_folder + "/graph.json");
  std::stringstream after;
  after << again.rdbuf();
  EXPECT_EQ(after.str(), text.str());

  const Json body = {{"graph", Document(4)},
                     {"target", {{"output", "height"}}},
                     {"view", View(16, 16)},
                     {"file", "view.png"}};
  httplib::Result exported = Post("/api/export", body);
  ASSERT_TRUE(exported);
  EXPECT_EQ(exported->status, 200) << exported->body;
  EXPECT_EQ(access((m_folder + "/view.png").c_str(), R_OK), 0);
}

}  // namespace
}  // namespace noisebind::studio
