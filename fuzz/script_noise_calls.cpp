#include "script_noise_calls.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <lua.hpp>

#include "byte_reader.h"
#include "lua/module/noise_table.h"

namespace noisebind::fuzz {
namespace {

// Keeps inputs quick: graphs that share nodes are evaluated once per
// reader, so a dozen objects and small maps bound the work.
constexpr int kMaxSteps = 64;
constexpr int kMaxFinalizerDepth = 3;

// What every script starts with: pools of objects, maps and images; calls
// under pcall, whose errors must be messages; finalizers in chains, each
// leaving the next as garbage, so that a change waits a cycle or more and
// lands at some allocation inside a later call; a collector that finishes
// a cycle at every allocation while `eager` is on.
constexpr char kPrelude[] = R"(
local noise = ...
local O, M, P = {}, {}, {}
local function pick(t, i) local n = #t if n == 0 then return nil end return t[i % n + 1] end
local function source(i) if i == 0 then return nil end return pick(O, i) or noise.Perlin() end
local function keep(o)
  O[#O + 1] = o
  local class = getmetatable(o)
  if class == "Curve" or class == "Terrace" then P[#P + 1] = o end
end
local function try(f)
  local ok, err = pcall(f)
  if not ok and type(err) ~= "string" then error("FUZZ: an error that is not a message: " .. tostring(err), 0) end
end
local function arm(depth, change)
  setmetatable({}, { __gc = function()
    if depth > 0 then arm(depth - 1, change) else pcall(change) end
  end })
end
local function eager(on)
  if on then collectgarbage("incremental", 1, 1000, 40) else collectgarbage("incremental", 200, 100, 13) end
  -- A full cycle, so that the new pace holds from the next allocation on.
  collectgarbage()
end
)";

struct ClassRow {
  const char* name;
  int sources;
};

constexpr ClassRow kClasses[] = {
    {"Abs", 1},
    {"Add", 2},
    {"Billow", 0},
    {"Blend", 3},
    {"Checkerboard", 0},
    {"Clamp", 1},
    {"Const", 0},
    {"Curve", 1},
    {"Cylinders", 0},
    {"Displace", 4},
    {"Exponent", 1},
    {"Invert", 1},
    {"Max", 2},
    {"Min", 2},
    {"Multiply", 2},
    {"Perlin", 0},
    {"Power", 2},
    {"RidgedMulti", 0},
    {"RotatePoint", 1},
    {"ScaleBias", 1},
    {"ScalePoint", 1},
    {"Select", 3},
    {"Spheres", 0},
    {"Terrace", 1},
    {"TranslatePoint", 1},
    {"Turbulence", 1},
    {"Voronoi", 0},
};

// Field names of every class, and one that none has.
constexpr const char* kFields[] = {
    "frequency",    "lacunarity", "octaves", "persistence", "quality", "seed",
    "value",        "lower",      "upper",   "exponent",    "scale",   "bias",
    "falloff",      "x",          "y",       "z",           "power",   "roughness",
    "displacement", "distance",   "invert",  "points",      "octave",
};

// Numbers where the rules change, as Lua expressions.
constexpr const char* kNumbers[] = {
    "0",   "1",         "-1",         "0.5",   "2",      "3",    "4",        "6",
    "30",  "31",        "-0.25",      "0.75",  "1e9",    "2^31", "2^32 + 5", "2^53",
    "0/0", "math.huge", "-math.huge", "1e308", "-1e308", "1024", "1025",     "7.5",
};

class Script {
 public:
  Script(const std::uint8_t* data, std::size_t size) : m_in(data, size) {}

  std::string Make() {
    m_text = kPrelude;
    m_text += "eager(true)\n";
    for (int step = 0; step < kMaxSteps && !m_in.Empty(); ++step) {
      m_text += "try(function() ";
      Statement(0);
      m_text += " end)\n";
    }
    m_text += "eager(false)\n";
    return m_text;
  }

 private:
  int Small(int count) { return m_in.Byte() % count; }
  void Add(const char* text) { m_text += text; }
  void AddNumber() {
    const std::uint8_t kind = m_in.Byte();
    if (kind < 2 * std::size(kNumbers)) {
      Add(kNumbers[kind % std::size(kNumbers)]);
    } else {
      char text[32];
      std::snprintf(text, sizeof text, "%d", static_cast<int>(m_in.Byte()) - 128);
      Add(text);
    }
  }
  void AddInteger(int count) { m_text += std::to_string(Small(count)); }
  void AddObject() {
    Add("pick(O, ");
    AddInteger(16);
    Add(")");
  }
  void AddMap() {
    Add("pick(M, ");
    AddInteger(8);
    Add(")");
  }

  // A list of control points: pairs for a Curve, numbers for a Terrace;
  // mostly distinct and finite, so that the object can be evaluated.
  void AddPoints() { AddPointList(Small(2) == 0); }
  void AddPointList(bool pairs) {
    const int count = Small(9);
    Add("{");
    for (int i = 0; i < count; ++i) {
      if (pairs) Add("{");
      if (Small(8) == 0) {
        AddNumber();
      } else {
        m_text += std::to_string(i) + " / 4 - 1";
      }
      if (pairs) {
        Add(", ");
        AddNumber();
        Add("}");
      }
      Add(", ");
    }
    Add("}");
  }

  void AddValue() {
    switch (Small(6)) {
      case 0:
        Add(Small(2) == 0 ? "true" : "false");
        break;
      case 1:
        Add(Small(2) == 0 ? "'best'" : "'fast'");
        break;
      case 2:
        AddPoints();
        break;
      default:
        AddNumber();
        break;
    }
  }

  // Mostly none: a field the class lacks refuses the whole object.
  void AddSettings() {
    Add("{");
    for (int i = Small(8) - 5; i > 0; --i) {
      Add(kFields[Small(std::size(kFields))]);
      Add(" = ");
      AddValue();
      Add(", ");
    }
    Add("}");
  }

  // Mostly pairs that can be sampled: a low bound and a span.
  void AddBounds() {
    Add("{");
    for (int pair = 0; pair < 2; ++pair) {
      if (Small(8) == 0) {
        AddNumber();
        Add(", ");
        AddNumber();
      } else {
        const int low = Small(5) - 2;
        m_text += std::to_string(low) + ", " + std::to_string(low) + " + " +
                  std::to_string(Small(4) + 1) + " / 2";
      }
      Add(", ");
    }
    Add("}");
  }

  void Construct() {
    const ClassRow& row = kClasses[Small(std::size(kClasses))];
    Add("if #O < 12 then keep(noise.");
    Add(row.name);
    Add("(");
    for (int i = 0; i < row.sources; ++i) {
      Add("source(");
      AddInteger(16);
      Add("), ");
    }
    const bool curve = std::strcmp(row.name, "Curve") == 0;
    if (curve || std::strcmp(row.name, "Terrace") == 0) {
      Add("{points = ");
      AddPointList(curve);
      Add("}");
    } else {
      AddSettings();
    }
    Add(")) end");
  }

  void MakeMap() {
    static constexpr const char* kBuilders[] = {"planemap", "spheremap", "cylindermap"};
    const int builder = Small(3);
    Add("if #M < 6 then M[#M + 1] = noise.");
    Add(kBuilders[builder]);
    Add("(");
    AddObject();
    Add(", ");
    AddBounds();
    Add(", ");
    AddInteger(16);
    Add(" + 1, ");
    AddInteger(16);
    Add(" + 1, {threads = ");
    AddInteger(4);
    Add(" + 1, flip = ");
    Add(Small(2) == 0 ? "false" : "true");
    if (builder == 0 && Small(2) == 0) Add(", seamless = true");
    Add("}) end");
  }

  void MapMethod() {
    static constexpr const char* kCalls[] = {
        ":get(%d, 0)",      ":set(0, %d, 0.5)", ":range()", ":flat()",
        ":rescale(-%d, 1)", ":clamp(-1, %d)",   ":width()", ":height()",
    };
    char text[48];
    std::snprintf(text, sizeof text, kCalls[Small(std::size(kCalls))], Small(4));
    Add("local m = ");
    AddMap();
    Add(" if m then m");
    Add(text);
    Add(" end");
  }

  void Render() {
    Add("local m = ");
    AddMap();
    Add(" if m then local img = noise.image.new(m:width(), m:height()) ");
    if (Small(2) == 0) {
      Add("noise.normalmap(m, img, {bump = ");
      AddNumber();
      Add(", wrap = true})");
    } else {
      Add("noise.render(m, img, {gradient = {{-1, 0, 0, 0}, {");
      AddNumber();
      Add(", 255, 255, 255}}, light = ");
      Add(Small(2) == 0 ? "true" : "{azimuth = 10, contrast = 3}");
      Add("})");
    }
    Add(" end");
  }

  void Evaluate() {
    static constexpr const char* kCalls[] = {
        "o:calc(%s, 0.5, -0.25)",
        "o:plane(%s, 1)",
        "o:sphere(%s, 20)",
        "o:cylinder(%s, 2)",
        "o:line(%s, {0, 0, 0}, {1, 2, 3})",
        "tostring(o)",
        "o.points",
        "o:source(1)",
    };
    const char* call = kCalls[Small(std::size(kCalls))];
    const std::size_t before = m_text.size();
    AddNumber();
    const std::string number = m_text.substr(before);
    m_text.resize(before);
    char text[96];
    std::snprintf(text, sizeof text, call, number.c_str());
    Add("local o = ");
    AddObject();
    Add(" if o then local _ = ");
    Add(text);
    Add(" end");
  }

  // A method taken from one class and called on a value of another (or of
  // its own): each must check its self against its class.
  void CrossCall() {
    static constexpr const char* kMethods[] = {
        "noise.Curve().addpoint",     "noise.Curve().clear",         "noise.Terrace().addpoint",
        "noise.Terrace().makepoints", "noise.Terrace().clear",       "noise.Perlin().calc",
        "noise.Add().setsource",      "noise.Perlin().line",         "noise.image.new(1, 1).set",
        "noise.image.new(1, 1).get",  "noise.image.new(1, 1).bytes", "(pick(M, 0) or {}).get",
        "(pick(M, 0) or {}).rescale", "(pick(M, 0) or {}).bytes",
    };
    static constexpr const char* kSelves[] = {
        "pick(O, %d)", "pick(P, %d)", "pick(M, %d)", "noise.image.new(%d + 1, 1)", "%d", "{}",
    };
    char self[48];
    std::snprintf(self, sizeof self, kSelves[Small(std::size(kSelves))], Small(8));
    Add("local f, s = ");
    Add(kMethods[Small(std::size(kMethods))]);
    Add(", ");
    Add(self);
    Add(" if f then f(s, ");
    AddNumber();
    Add(", ");
    AddNumber();
    Add(", 0.5) end");
  }

  // Changes a graph: what finalizers do, and plain calls too.
  void Change() {
    const int change = Small(7);
    Add("local o = ");
    if (change >= 2 && change <= 5) {
      Add("pick(P, ");
      AddInteger(8);
      Add(")");
    } else {
      AddObject();
    }
    Add(" if o then ");
    switch (change) {
      case 0:
        Add("o.");
        Add(kFields[Small(std::size(kFields))]);
        Add(" = ");
        AddValue();
        break;
      case 1:
        Add("o:setsource(");
        AddInteger(5);
        Add(", ");
        AddObject();
        Add(")");
        break;
      case 2:
        Add("o:addpoint(");
        AddNumber();
        Add(", ");
        AddNumber();
        Add(")");
        break;
      case 3:
        Add("o:clear()");
        break;
      case 4:
        Add("o:makepoints(");
        AddNumber();
        Add(")");
        break;
      case 5:
        Add("o.points = ");
        AddPoints();
        break;
      default:
        // Dropped: collected later, and its users see a missing source.
        Add("table.remove(O, ");
        AddInteger(12);
        Add(" + 1)");
        break;
    }
    Add(" end");
  }

  void Collector() {
    switch (Small(4)) {
      case 0:
        Add("collectgarbage('step', ");
        AddInteger(64);
        Add(")");
        break;
      case 1:
        Add("collectgarbage()");
        break;
      default:
        Add(Small(2) == 0 ? "eager(true)" : "eager(false)");
        break;
    }
  }

  // At depth 0 any statement; deeper (inside a finalizer's change, or the
  // call that follows it) no further finalizers.
  void Statement(int depth) {
    switch (Small(depth == 0 ? 11 : 9)) {
      case 0:
        Change();
        break;
      case 1:
        Add("table.remove(M, 1)");
        break;
      case 2:
        Construct();
        break;
      case 3:
        Evaluate();
        break;
      case 4:
        MakeMap();
        break;
      case 5:
        MapMethod();
        break;
      case 6:
        Render();
        break;
      case 7:
        Collector();
        break;
      case 8:
        CrossCall();
        break;
      default:
        // A change left to a finalizer, then a call during which the
        // collector may run it.
        Add("arm(");
        AddInteger(kMaxFinalizerDepth + 1);
        Add(", function() ");
        Statement(depth + 1);
        Add(" end) ");
        if (depth == 0) Statement(depth + 1);
        break;
    }
  }

  ByteReader m_in;
  std::string m_text;
};

[[noreturn]] void Fail(const char* what, const char* detail) {
  std::fprintf(stderr, "noise-table check failed: %s: %s\n", what, detail);
  std::fflush(stderr);
  std::abort();
}

}  // namespace

std::string NoiseTableScript(const std::uint8_t* data, std::size_t size) {
  return Script(data, size).Make();
}

void RunNoiseTableCalls(const std::uint8_t* data, std::size_t size) {
  const std::string script = NoiseTableScript(data, size);
  // For reading a finding: the script it runs.
  if (std::getenv("NOISEBIND_FUZZ_PRINT") != nullptr) std::fputs(script.c_str(), stderr);
  lua_State* L = luaL_newstate();
  if (L == nullptr) Fail("no Lua state", "out of memory");
  luaL_openlibs(L);
  if (luaL_loadbuffer(L, script.data(), script.size(), "=noise calls") != LUA_OK) {
    Fail("the script does not compile", lua_tostring(L, -1));
  }
  lua_pushcfunction(L, module::OpenNoiseTable);
  if (lua_pcall(L, 0, 1, 0) != LUA_OK) Fail("no noise table", lua_tostring(L, -1));
  if (lua_pcall(L, 1, 0, 0) != LUA_OK) {
    const char* message = lua_tostring(L, -1);
    Fail("the script failed", message != nullptr ? message : "(not a string)");
  }
  // Finalizers that run while a state closes may make objects whose own
  // finalizers Lua 5.4 then never runs (their nodes would leak): the chains
  // are run out by full cycles first.
  for (int cycle = 0; cycle < kMaxFinalizerDepth + 3; ++cycle) lua_gc(L, LUA_GCCOLLECT, 0);
  lua_close(L);
}

}  // namespace noisebind::fuzz
