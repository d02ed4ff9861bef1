-- `luarocks make` in this folder builds and installs the Lua module for the
-- Lua that LuaRocks is set up for (--lua-version 5.1 to 5.4; LuaJIT loads
-- the 5.1 build). Nothing is fetched: it builds from this checkout.
rockspec_format = "3.0"
package = "noisebind"
version = "scm-1"
source = {
  url = "git+file://./",
}
description = {
  summary = "Coherent noise for Lua: libnoise's generators, models and primitives",
  detailed = [[
`local noise = require "noisebind"` gives the noise table with LibNoise (Perlin, Billow,
ridged multifractal, Voronoi and more, the line, plane, sphere and cylinder models, the
interpolation and noise primitives) and image (PNG pictures), and publishes the global
LibNoise, for LuaJIT and Lua 5.1 to 5.4.
]],
  license = "MIT",
}
dependencies = {
  "lua >= 5.1, < 5.5",
}
external_dependencies = {
  NOISE = { header = "libnoise/noise.h", library = "noise" },
  PNG = { header = "png.h", library = "png" },
  -- Header-only: graph files are read and written with it.
  NLOHMANN_JSON = { header = "nlohmann/json.hpp" },
}
build = {
  type = "cmake",
  variables = {
    NOISEBIND_MODULE_ONLY = "ON",
    CMAKE_BUILD_TYPE = "Release",
    CMAKE_INSTALL_PREFIX = "$(PREFIX)",
    NOISEBIND_LUA_INCDIR = "$(LUA_INCDIR)",
    NOISEBIND_LUA_MODULE_DIR = "$(LIBDIR)",
    NOISE_INCDIR = "$(NOISE_INCDIR)",
    NOISE_LIBDIR = "$(NOISE_LIBDIR)",
  },
}
