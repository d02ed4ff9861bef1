#include "bench_state.h"

#include <stdexcept>

#ifndef NOISEBIND_BENCH_MODULE_DIR
#include "host/extension_library.h"
#include "host/script_host.h"
#include "lua/module/noise_table.h"
#endif

namespace bench {

#ifdef NOISEBIND_BENCH_MODULE_DIR

BenchState::BenchState(const std::string& /*extension*/) : m_L(luaL_newstate()) {
  if (m_L == nullptr) throw std::runtime_error("cannot make a Lua state");
  m_owner.reset(m_L, lua_close);
  luaL_openlibs(m_L);
  constexpr char kRequire[] =
      "package.cpath = '" NOISEBIND_BENCH_MODULE_DIR "/?.so'; noise = require 'noisebind'";
  if (luaL_loadstring(m_L, kRequire) != 0 || lua_pcall(m_L, 0, 0, 0) != 0) {
    throw std::runtime_error(lua_tostring(m_L, -1));
  }
}

const char* BenchState::Path() {
#ifdef LUAJIT_VERSION
  return "require \"noisebind\" in " LUAJIT_VERSION;
#else
  return "require \"noisebind\" in " LUA_RELEASE;
#endif
}

#else

namespace {

// The host, which closes its state before the extension is unloaded.
struct Hosted {
  std::unique_ptr<vessa::ExtensionLibrary> extension;
  std::unique_ptr<vessa::ScriptHost> host;
  ~Hosted() { host.reset(); }
};

}  // namespace

BenchState::BenchState(const std::string& extension) {
  auto hosted = std::make_shared<Hosted>();
  std::string error;
  hosted->extension = vessa::ExtensionLibrary::Load(extension, &error);
  if (!hosted->extension) throw std::runtime_error(error);
  hosted->host = std::make_unique<vessa::ScriptHost>(*hosted->extension, [](const char*) {});
  int result = 0;
  if (!hosted->host->OpenExtension(&result, &error)) {
    throw std::runtime_error("the extension failed to open: " + error);
  }
  m_L = hosted->host->lua();
  // The noise objects live in the `noise` table, as in vessa.
  lua_pushcfunction(m_L, noisebind::module::OpenNoiseTable);
  if (lua_pcall(m_L, 0, 1, 0) != 0) throw std::runtime_error(lua_tostring(m_L, -1));
  lua_setglobal(m_L, "noise");
  m_owner = hosted;
}

const char* BenchState::Path() {
  return "vessa's host in " LUAJIT_VERSION;
}

#endif

}  // namespace bench
