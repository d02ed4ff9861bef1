// Embeds LuaJIT, opens the installed noisebind extension in the state
// through the SDK, and runs a Lua string: the whole of what an application
// needs to give its scripts LibNoise.
//   embed EXTENSION [CODE]
#include "host/embed.h"

#include <cstdio>
#include <lua.hpp>
#include <string>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: embed EXTENSION [CODE]\n");
    return 2;
  }
  const char* code = argc > 2 ? argv[2] : "print(noise._VERSION, LibNoise.M_Perlin.Calc(1, 2, 3))";
  lua_State* L = luaL_newstate();
  if (L == nullptr) return 1;
  luaL_openlibs(L);
  std::string error;
  // No console: the extension's load messages stay in noise.messages().
  if (!vessa::OpenExtensionFile(L, argv[1], nullptr, &error) ||
      !vessa::PublishNoiseTable(L, &error)) {
    std::fprintf(stderr, "embed: %s\n", error.c_str());
    lua_close(L);
    return 1;
  }
  int status = luaL_dostring(L, code);
  if (status != 0) std::fprintf(stderr, "embed: %s\n", lua_tostring(L, -1));
  lua_close(L);
  return status == 0 ? 0 : 1;
}
