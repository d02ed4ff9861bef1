// The studio's rules that need no server: who may call it, which files it
// may write, which previews it makes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "programs/studio/file_names.h"
#include "programs/studio/preview.h"
#include "programs/studio/request_guard.h"

namespace noisebind::studio {
namespace {

constexpr const char* kToken = "0123456789abcdef0123456789abcdef";

TEST(RequestGuard, RefusesWhatIsNotItsPage) {
  struct Case {
    const char* description;
    RequestOrigin request;
    const char* refusal;  // empty: accepted
  };
  const std::vector<Case> cases = {
      {"loopback address", {"127.0.0.1:8000", "", "", kToken}, ""},
      {"localhost", {"localhost:8000", "", "", kToken}, ""},
      {"ipv6 loopback", {"[::1]:8000", "", "", kToken}, ""},
      {"another address, for --listen", {"192.168.1.5:8000", "", "", kToken}, ""},
      {"its own origin", {"127.0.0.1:8000", "http://127.0.0.1:8000", "same-origin", kToken}, ""},
      {"a name that resolves here (rebinding)",
       {"evil.example:8000", "", "", kToken},
       "host 'evil.example:8000' is not this server: open it by its address and port"},
      {"another port",
       {"127.0.0.1:8001", "", "", kToken},
       "host '127.0.0.1:8001' is not this server: open it by its address and port"},
      {"no host",
       {"", "", "", kToken},
       "host '' is not this server: open it by its address and port"},
      {"a malformed address",
       {"127.0.0.300:8000", "", "", kToken},
       "host '127.0.0.300:8000' is not this server: open it by its address and port"},
      {"another site's origin",
       {"127.0.0.1:8000", "http://evil.example", "", kToken},
       "requests from 'http://evil.example' are not accepted"},
      {"origin of another port",
       {"127.0.0.1:8000", "http://127.0.0.1:9000", "", kToken},
       "requests from 'http://127.0.0.1:9000' are not accepted"},
      {"cross-site fetch",
       {"127.0.0.1:8000", "", "cross-site", kToken},
       "requests from other sites are not accepted"},
      {"another port of this machine",
       {"127.0.0.1:8000", "", "same-site", kToken},
       "requests from other sites are not accepted"},
      {"typed into the address bar", {"127.0.0.1:8000", "", "none", kToken}, ""},
      {"no token",
       {"127.0.0.1:8000", "", "", ""},
       "the studio's token is missing: open the url it printed"},
      {"wrong token",
       {"127.0.0.1:8000", "", "", "0123456789abcdef0123456789abcdeX"},
       "the studio's token is wrong: open the url it printed"},
      {"token prefix",
       {"127.0.0.1:8000", "", "", "0123456789abcdef"},
       "the studio's token is wrong: open the url it printed"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RefuseRequest(c.request, kToken, 8000), c.refusal) << c.description;
  }
}

TEST(RequestGuard, TokensAndCookies) {
  const std::string a = NewToken();
  EXPECT_EQ(a.size(), 32u);
  EXPECT_NE(a, NewToken());
  EXPECT_EQ(CookieValue("a=1; noisebind_studio_80=xyz; b=2", "noisebind_studio_80"), "xyz");
  EXPECT_EQ(CookieValue("noisebind_studio_8000=abc", "noisebind_studio_80"), "");
  EXPECT_EQ(CookieValue("", "noisebind_studio_80"), "");
}

TEST(ExportPath, OnlyPlainNamesBesideTheGraph) {
  struct Case {
    const char* name;
    const char* path;  // empty: refused with `error`
    const char* error;
  };
  const std::vector<Case> cases = {
      {"height.png", "/maps/height.png", ""},
      {"a-b_c.1.png", "/maps/a-b_c.1.png", ""},
      {"../height.png", "",
       "export name must be a plain file name (letters, digits, '.', '_', '-'), got "
       "'../height.png'"},
      {"/etc/x.png", "",
       "export name must be a plain file name (letters, digits, '.', '_', '-'), got '/etc/x.png'"},
      {".hidden.png", "",
       "export name must be a plain file name (letters, digits, '.', '_', '-'), got '.hidden.png'"},
      {"", "", "export name must be a plain file name (letters, digits, '.', '_', '-'), got ''"},
      {"height.json", "", "export name must end in .png, got 'height.json'"},
      {".png", "",
       "export name must be a plain file name (letters, digits, '.', '_', '-'), got '.png'"},
  };
  for (const Case& c : cases) {
    std::string path;
    std::string error;
    const bool ok = ExportPath("/maps/planet.json", c.name, ".png", &path, &error);
    EXPECT_EQ(ok, *c.path != '\0') << c.name;
    EXPECT_EQ(ok ? path : error, ok ? c.path : c.error) << c.name;
  }
  std::string path;
  std::string error;
  EXPECT_FALSE(ExportPath("/maps/x.png", "x.png", ".png", &path, &error));
  EXPECT_EQ(error, "export name must not be the graph file's");
  EXPECT_TRUE(ExportPath("planet.json", "h.png", ".png", &path, &error));
  EXPECT_EQ(path, "h.png");
}

TEST(PreviewView, ParsedAsTheMapBuildersTakeBounds) {
  PreviewView view;
  std::string error;
  ASSERT_TRUE(ParseView("sphere", {-90, 90, -180, 180}, 64, 32, &view, &error)) << error;
  EXPECT_EQ(view.request.projection, maps::Projection::kSphere);
  EXPECT_EQ(view.request.columnFrom, -180);  // longitude across
  EXPECT_EQ(view.request.rowTo, 90);
  EXPECT_TRUE(view.request.flip);  // north up, as spheremap
  ASSERT_TRUE(ParseView("seamless", {0, 4, 1, 3}, 8, 4, &view, &error)) << error;
  EXPECT_TRUE(view.request.seamless);
  EXPECT_EQ(view.request.rowFrom, 1);
  EXPECT_FALSE(view.request.flip);

  struct Case {
    const char* projection;
    std::vector<double> bounds;
    double width, height;
    const char* error;
  };
  const std::vector<Case> cases = {
      {"cube", {0, 1, 0, 1}, 4, 4, "projection must be plane, sphere or seamless, got 'cube'"},
      {"plane", {0, 1, 0}, 4, 4, "bounds must be 4 numbers, got 3"},
      {"plane", {1, 0, 0, 1}, 4, 4, "bounds must be finite, each pair increasing"},
      {"plane", {-1e308, 1e308, 0, 1}, 4, 4, "bounds must be finite, each pair increasing"},
      {"sphere",
       {-91, 90, -180, 180},
       4,
       4,
       "sphere bounds must be {south, north, west, east} within -90..90 and -180..180"},
      {"plane", {0, 1, 0, 1}, 0, 4, "width and height must be integers from 1 to 2048"},
      {"plane", {0, 1, 0, 1}, 4.5, 4, "width and height must be integers from 1 to 2048"},
      {"plane", {0, 1, 0, 1}, 4, 1e300, "width and height must be integers from 1 to 2048"},
      {"plane", {0, 1, 0, 1}, 2048, 2048, "a preview holds at most 1048576 values"},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(ParseView(c.projection, c.bounds, c.width, c.height, &view, &error));
    EXPECT_EQ(error, c.error) << c.projection;
  }
}

TEST(TileView, TilesOfTheTilesGrids) {
  TileView view;
  std::string error;
  ASSERT_TRUE(ParseTileView("plane", {-2, 6, 1, 3}, 3, 7, 2, 64, &view, &error)) << error;
  EXPECT_EQ(view.grid.surface, tiles::Surface::kPlane);
  EXPECT_EQ(view.grid.plane.x1, 6);  // x0, x1, z0, z1 as noise.planemap
  EXPECT_EQ(view.grid.plane.z0, 1);
  EXPECT_EQ(view.address.x * 100 + view.address.y * 10 + view.address.level, 723u);
  ASSERT_TRUE(ParseTileView("sphere", {}, 0, 1, 0, 512, &view, &error)) << error;

  struct Case {
    const char* surface;
    std::vector<double> bounds;
    double z, x, y, size;
    const char* error;
  };
  const std::vector<Case> cases = {
      {"cube", {}, 0, 0, 0, 8, "surface must be sphere or plane, got 'cube'"},
      {"plane", {0, 1}, 0, 0, 0, 8, "plane bounds must be 4 numbers, got 2"},
      {"plane", {0, 1, 1, 1}, 0, 0, 0, 8, "bounds must be finite, each pair increasing"},
      {"plane", {-1e308, 1e308, 0, 1}, 0, 0, 0, 8, "bounds must be finite, each pair increasing"},
      {"sphere", {}, 31, 0, 0, 8, "the level must be an integer from 0 to 30"},
      {"sphere", {}, 0.5, 0, 0, 8, "the level must be an integer from 0 to 30"},
      {"sphere", {}, -1, 0, 0, 8, "the level must be an integer from 0 to 30"},
      {"sphere", {}, 0, -1, 0, 8, "x and y must be integers from 0"},
      {"sphere", {}, 0, 0, 1e300, 8, "x and y must be integers from 0"},
      {"sphere", {}, 0, 2, 0, 8, "no tile 0/2/0 in the grid"},
      {"plane", {0, 1, 0, 1}, 1, 0, 2, 8, "no tile 1/0/2 in the grid"},
      {"sphere", {}, 0, 0, 0, 513, "the tile size must be an integer from 1 to 512"},
      {"sphere", {}, 0, 0, 0, 0, "the tile size must be an integer from 1 to 512"},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(ParseTileView(c.surface, c.bounds, c.z, c.x, c.y, c.size, &view, &error));
    EXPECT_EQ(error, c.error) << c.surface << " " << c.z << "/" << c.x << "/" << c.y;
  }
}

TEST(PreviewGate, NewerWorkCancelsOlder) {
  PreviewGate gate(8);
  // Tiles of one version run together; a newer version cancels them, and
  // an older one is refused while the newer runs.
  const CancelFlag a = gate.Enter("page", 1);
  const CancelFlag b = gate.Enter("page", 1);
  ASSERT_TRUE(a && b);
  EXPECT_FALSE(a->load() || b->load());
  const CancelFlag c = gate.Enter("page", 2);
  ASSERT_TRUE(c);
  EXPECT_TRUE(a->load() && b->load());
  EXPECT_FALSE(gate.Enter("page", 1));
  // Other pages, and previews (one at a time), are apart.
  const CancelFlag other = gate.Enter("other", 0);
  const CancelFlag first = gate.Enter("preview");
  ASSERT_TRUE(other && first);
  const CancelFlag second = gate.Enter("preview");
  ASSERT_TRUE(second);
  EXPECT_TRUE(first->load());
  EXPECT_FALSE(other->load() || c->load() || second->load());
  gate.Leave("preview", first);
  for (const CancelFlag& flag : {a, b, c}) gate.Leave("page", flag);
  gate.Leave("other", other);
  gate.Leave("preview", second);
  // Nothing left of the page: its next work is admitted whatever its version.
  const CancelFlag again = gate.Enter("page", 1);
  ASSERT_TRUE(again);
  gate.Leave("page", again);
}

}  // namespace
}  // namespace noisebind::studio
