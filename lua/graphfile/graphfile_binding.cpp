// Graph files in Lua. Every C++ object (a decoded graph, a parsed document,
// text being written) lives in a scratch userdata whose finalizer frees it,
// so a Lua error leaves nothing behind; the work with C++ containers runs
// in functions that raise nothing and call no Lua that allocates.
#include "lua/graphfile/graphfile_binding.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <lua.hpp>
#include <memory>
#include <new>
#include <nlohmann/json.hpp>
#include <string>
#include <type_traits>

#include "engine/graphfile/graph_file.h"
#include "engine/graphfile/json_text.h"
#include "engine/image/atomic_file.h"
#include "host/lua_args.h"
#include "host/lua_compat.h"
#include "host/lua_userdata.h"
#include "lua/objects/object_binding.h"

namespace noisebind::objects {

const char* const kGraphFileFunctions[] = {"savegraph", "loadgraph", nullptr};

namespace {

using Json = nlohmann::json;
// Documents are walked while Lua may raise: their iterators must own nothing.
static_assert(std::is_trivially_destructible_v<Json::const_iterator>);

constexpr std::size_t kReasonSize = 512;
constexpr char kMainOutput[] = "main";

// --- Scratch userdata that own one C++ object ----------------------------------

struct Owned {
  vessa::UserdataGuard guard;
  void* pointer;
  void (*release)(void* pointer) noexcept;
};

const char kOwnedKey = 0;

int CollectOwned(lua_State* L) {
  auto* owned = static_cast<Owned*>(lua_touserdata(L, 1));
  if (owned != nullptr && owned->pointer != nullptr) {
    owned->release(owned->pointer);
    owned->pointer = nullptr;
  }
  return 0;
}

template <class T>
void Delete(void* pointer) noexcept {
  delete static_cast<T*>(pointer);
}

// Pushes an empty holder for a T, collected with its T.
template <class T>
Owned* PushOwned(lua_State* L) {
  auto* owned = static_cast<Owned*>(vessa::NewUserdata(L, sizeof(Owned)));
  *owned = Owned{{}, nullptr, Delete<T>};
  vessa::GetRegistryValue(L, &kOwnedKey);
  if (lua_isnil(L, -1)) {
    lua_pop(L, 1);
    lua_createtable(L, 0, 2);
    lua_pushcfunction(L, CollectOwned);
    lua_setfield(L, -2, "__gc");
    lua_pushliteral(L, "noisebind scratch");
    lua_setfield(L, -2, "__metatable");
    lua_pushvalue(L, -1);
    vessa::SetRegistryValue(L, &kOwnedKey);
  }
  lua_setmetatable(L, -2);
  return owned;
}

// Frees the holder's object now rather than at the next collection.
void Release(Owned* owned) {
  if (owned->pointer != nullptr) owned->release(owned->pointer);
  owned->pointer = nullptr;
}

// --- Raising nothing: the C++ side -------------------------------------------

bool ParseInto(Owned* owned, std::string_view text) noexcept {
  try {
    owned->pointer = new Json(Json::parse(text.begin(), text.end()));
    return true;
  } catch (...) {
    return false;
  }
}

bool SchemaInto(Owned* owned) noexcept {
  try {
    owned->pointer = new Json(Json::parse(graphfile::SchemaJson(true)));
    return true;
  } catch (...) {
    return false;
  }
}

bool DecodeInto(Owned* owned, std::string_view text, char* reason) noexcept {
  try {
    auto graph = std::make_unique<graphfile::Graph>();
    std::string error;
    if (!graphfile::Decode(text, graph.get(), &error)) {
      std::snprintf(reason, kReasonSize, "%s", error.c_str());
      return false;
    }
    owned->pointer = graph.release();
    return true;
  } catch (...) {
    std::snprintf(reason, kReasonSize, "not enough memory");
    return false;
  }
}

// The file at `path`, up to one byte more than a document may have.
bool ReadInto(Owned* owned, const char* path, char* reason) noexcept {
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) {
    std::snprintf(reason, kReasonSize, "%s", std::strerror(errno));
    return false;
  }
  bool read = false;
  try {
    auto text = std::make_unique<std::string>();
    char chunk[16384];
    std::size_t got = 0;
    while (text->size() <= graphfile::kMaxDocumentBytes &&
           (got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
      text->append(chunk, got);
    }
    if (std::ferror(file)) {
      std::snprintf(reason, kReasonSize, "%s", std::strerror(errno));
    } else {
      owned->pointer = text.release();
      read = true;
    }
  } catch (...) {
    std::snprintf(reason, kReasonSize, "not enough memory");
  }
  std::fclose(file);
  return read;
}

struct EncodeJob {
  lua_State* L;
  int outputs;  // a table of name -> noise object, checked
  bool compact;
};

// Encode over the outputs table, for PushMadeString. Reads the table with
// calls that neither allocate nor raise.
bool MakeEncoded(const void* data, char** bytes, std::size_t* size, char* reason,
                 std::size_t reasonSize) {
  const auto& job = *static_cast<const EncodeJob*>(data);
  lua_State* L = job.L;
  const int top = lua_gettop(L);
  try {
    std::vector<graphfile::Output> outputs;
    lua_pushnil(L);
    while (lua_next(L, job.outputs) != 0) {
      std::size_t length = 0;
      const char* name = lua_tolstring(L, -2, &length);
      const NoiseObject* object = TestObject(L, -1);
      lua_pop(L, 1);
      outputs.push_back({std::string(name, length), object != nullptr ? object->node : nullptr});
    }
    std::string text;
    std::string error;
    const auto label = [](const Node& node) { return node.label(); };
    if (!graphfile::Encode(outputs, label, {job.compact}, &text, &error)) {
      std::snprintf(reason, reasonSize, "%s", error.c_str());
      return false;
    }
    *bytes = static_cast<char*>(std::malloc(text.size()));
    if (*bytes != nullptr) {
      std::memcpy(*bytes, text.data(), text.size());
      *size = text.size();
      return true;
    }
  } catch (...) {
    lua_settop(L, top);
  }
  std::snprintf(reason, reasonSize, "not enough memory");
  return false;
}

bool WriteBytes(std::FILE* file, const void* data, char* reason, std::size_t reasonSize) noexcept {
  const auto* text = static_cast<const std::string_view*>(data);
  if (std::fwrite(text->data(), 1, text->size(), file) == text->size()) return true;
  std::snprintf(reason, reasonSize, "%s", std::strerror(errno));
  return false;
}

// Appends to text held by a scratch userdata; false when memory runs out.
template <class Append>
bool Appended(std::string* out, Append append) noexcept {
  try {
    append(out);
    return true;
  } catch (...) {
    return false;
  }
}

// --- Lua tables and documents --------------------------------------------------

// Pushes a document as Lua values: objects as tables by key, lists as
// sequences, null as false (a missing source; lists cannot hold nil).
void PushJson(lua_State* L, const Json& value) {
  luaL_checkstack(L, 4, "document nested too deep");
  switch (value.type()) {
    case Json::value_t::object:
      lua_createtable(L, 0, static_cast<int>(std::min<std::size_t>(value.size(), INT_MAX)));
      for (auto item = value.cbegin(); item != value.cend(); ++item) {
        const std::string& key = item.key();
        lua_pushlstring(L, key.data(), key.size());
        PushJson(L, item.value());
        lua_rawset(L, -3);
      }
      break;
    case Json::value_t::array:
      lua_createtable(L, static_cast<int>(std::min<std::size_t>(value.size(), INT_MAX)), 0);
      for (std::size_t i = 0; i < value.size(); ++i) {
        PushJson(L, value[i]);
        lua_rawseti(L, -2, static_cast<int>(i) + 1);
      }
      break;
    case Json::value_t::string: {
      const std::string& text = value.get_ref<const std::string&>();
      lua_pushlstring(L, text.data(), text.size());
      break;
    }
    case Json::value_t::boolean:
      lua_pushboolean(L, value.get<bool>() ? 1 : 0);
      break;
    case Json::value_t::number_integer:
      lua_pushinteger(L, static_cast<lua_Integer>(value.get<std::int64_t>()));
      break;
    case Json::value_t::number_unsigned:
    case Json::value_t::number_float:
      lua_pushnumber(L, value.get<double>());
      break;
    default:
      lua_pushboolean(L, 0);
      break;
  }
}

// Pushes the document of the text at `index` as a Lua table.
void PushTableOf(lua_State* L, int index) {
  std::size_t length = 0;
  const char* text = lua_tolstring(L, index, &length);
  Owned* owned = PushOwned<Json>(L);
  if (!ParseInto(owned, {text, length})) luaL_error(L, "not enough memory");
  PushJson(L, *static_cast<const Json*>(owned->pointer));
  Release(owned);
  lua_remove(L, -2);
}

void AppendOrRaise(lua_State* L, std::string* out, std::string_view piece) {
  if (!Appended(out, [&](std::string* text) { text->append(piece); })) {
    luaL_error(L, "not enough memory");
  }
}

void WriteLuaTable(lua_State* L, std::string* out, int table, int depth);

// The Lua value at `index` as JSON: an infinity as a number too large for
// a double (so that the decoder names the field), NaN as null.
void WriteLuaValue(lua_State* L, std::string* out, int index, int depth) {
  // The decoder's limit, kept while writing: a table of any size is refused
  // in the memory of one document.
  if (out->size() > graphfile::kMaxDocumentBytes) {
    luaL_error(L, "the document is longer than %d bytes",
               static_cast<int>(graphfile::kMaxDocumentBytes));
  }
  index = vessa::AbsoluteIndex(L, index);
  bool appended = true;
  switch (lua_type(L, index)) {
    case LUA_TSTRING: {
      std::size_t length = 0;
      const char* text = lua_tolstring(L, index, &length);
      appended = Appended(out, [&](std::string* o) { graphfile::AppendString(o, {text, length}); });
      break;
    }
    case LUA_TNUMBER: {
      if (vessa::IsIntegerSubtype(L, index)) {
        const auto integer = static_cast<long long>(lua_tointeger(L, index));
        appended = Appended(out, [&](std::string* o) { o->append(std::to_string(integer)); });
        break;
      }
      const double number = lua_tonumber(L, index);
      const char* special = number != number      ? "null"
                            : number == HUGE_VAL  ? "1e999"
                            : number == -HUGE_VAL ? "-1e999"
                                                  : nullptr;
      appended = Appended(out, [&](std::string* o) {
        if (special != nullptr) {
          o->append(special);
        } else {
          graphfile::AppendNumber(o, number);
        }
      });
      break;
    }
    case LUA_TBOOLEAN:
      AppendOrRaise(L, out, lua_toboolean(L, index) ? "true" : "false");
      break;
    case LUA_TTABLE:
      WriteLuaTable(L, out, index, depth + 1);
      break;
    default:
      luaL_error(L, "a graph document cannot hold a %s", luaL_typename(L, index));
  }
  if (!appended) luaL_error(L, "not enough memory");
}

// A table of keys 1 to n as a list (an empty one too), one of string keys
// as an object.
void WriteLuaTable(lua_State* L, std::string* out, int table, int depth) {
  if (depth > graphfile::kMaxNesting) {
    luaL_error(L, "the document nests lists and objects deeper than %d levels",
               graphfile::kMaxNesting);
  }
  luaL_checkstack(L, 4, "document nested too deep");
  std::size_t entries = 0;
  bool named = false;
  bool numbered = false;
  lua_pushnil(L);
  while (lua_next(L, table) != 0) {
    lua_pop(L, 1);
    ++entries;
    (lua_type(L, -1) == LUA_TSTRING ? named : numbered) = true;
  }
  const std::size_t length = vessa::RawLength(L, table);
  if (numbered && (named || length != entries)) {
    luaL_error(L, "a table of a graph document is a list (keys 1 to n) or has string keys only");
  }
  if (!named) {
    AppendOrRaise(L, out, "[");
    for (std::size_t i = 1; i <= length; ++i) {
      if (i > 1) AppendOrRaise(L, out, ",");
      lua_rawgeti(L, table, static_cast<int>(i));
      WriteLuaValue(L, out, -1, depth);
      lua_pop(L, 1);
    }
    AppendOrRaise(L, out, "]");
    return;
  }
  AppendOrRaise(L, out, "{");
  bool first = true;
  lua_pushnil(L);
  while (lua_next(L, table) != 0) {
    if (!first) AppendOrRaise(L, out, ",");
    first = false;
    WriteLuaValue(L, out, -2, depth);
    AppendOrRaise(L, out, ":");
    WriteLuaValue(L, out, -1, depth);
    lua_pop(L, 1);
  }
  AppendOrRaise(L, out, "}");
}

// --- The functions --------------------------------------------------------------

// Raises the decoder's or encoder's one line, after the file's path if any:
// "graph.json:12:20: ..." or "graph.json: node 'p': ...".
int RaiseDocumentError(lua_State* L, const char* path, const char* reason) {
  if (path == nullptr) return luaL_error(L, "%s", reason);
  const bool place = reason[0] >= '0' && reason[0] <= '9';
  return luaL_error(L, "%s:%s%s", path, place ? "" : " ", reason);
}

struct EncodeFlags {
  bool compact;
  bool table;
};

// The options at `index`: {compact = boolean, table = boolean}; `table`
// only where the text is given back.
EncodeFlags CheckEncodeOptions(lua_State* L, int index, bool tableAllowed) {
  EncodeFlags flags{false, false};
  if (lua_isnoneornil(L, index)) return flags;
  vessa::CheckType(L, index, LUA_TTABLE);
  vessa::CheckOwnEntries(L, index, index, "options");
  lua_pushnil(L);
  while (lua_next(L, index) != 0) {
    const char* key = lua_type(L, -2) == LUA_TSTRING ? lua_tostring(L, -2) : nullptr;
    const bool known = key != nullptr && (std::strcmp(key, "compact") == 0 ||
                                          (tableAllowed && std::strcmp(key, "table") == 0));
    if (!known) {
      vessa::ArgError(L, index,
                      lua_pushfstring(L, "unknown option %s%s%s", key ? "'" : "(a ",
                                      key ? key : luaL_typename(L, -2), key ? "'" : " key)"));
    }
    if (lua_type(L, -1) != LUA_TBOOLEAN) {
      vessa::ArgError(
          L, index,
          lua_pushfstring(L, "option '%s' must be a boolean, got %s", key, luaL_typename(L, -1)));
    }
    (std::strcmp(key, "compact") == 0 ? flags.compact : flags.table) = lua_toboolean(L, -1) != 0;
    lua_pop(L, 1);
  }
  return flags;
}

// Pushes the outputs of the graph argument at `index` as a table of name ->
// noise object: a noise object is the one output "main".
void PushOutputs(lua_State* L, int index) {
  if (TestObject(L, index) != nullptr) {
    lua_createtable(L, 0, 1);
    lua_pushvalue(L, index);
    lua_setfield(L, -2, kMainOutput);
    return;
  }
  if (lua_type(L, index) != LUA_TTABLE) vessa::TypeError(L, index, "noise object or table");
  vessa::CheckOwnEntries(L, index, index, "outputs");
  int count = 0;
  lua_pushnil(L);
  while (lua_next(L, index) != 0) {
    if (lua_type(L, -2) != LUA_TSTRING) {
      vessa::ArgError(L, index,
                      lua_pushfstring(L, "output names are strings, got %s", luaL_typename(L, -2)));
    }
    std::size_t length = 0;
    const char* name = lua_tolstring(L, -2, &length);
    if (const char* refused = graphfile::CheckName({name, length})) {
      vessa::ArgError(L, index, lua_pushfstring(L, "output name '%s' %s", name, refused));
    }
    if (TestObject(L, -1) == nullptr) {
      vessa::ArgError(L, index,
                      lua_pushfstring(L, "output '%s' must be a noise object, got %s", name,
                                      luaL_typename(L, -1)));
    }
    lua_pop(L, 1);
    ++count;
  }
  if (count == 0) vessa::ArgError(L, index, "no outputs to write");
  lua_pushvalue(L, index);
}

// Pushes the text of the graph at `graph` with the options given.
void PushEncoded(lua_State* L, int graph, bool compact) {
  PushOutputs(L, graph);
  const EncodeJob job{L, lua_gettop(L), compact};
  char reason[kReasonSize];
  if (!vessa::PushMadeString(L, MakeEncoded, &job, reason, sizeof reason)) {
    luaL_error(L, "%s", reason);
  }
  lua_remove(L, -2);
}

// Decodes the text and pushes the outputs by name and the nodes by id.
int PushDecoded(lua_State* L, const char* text, std::size_t length, const char* path) {
  Owned* owned = PushOwned<graphfile::Graph>(L);
  char reason[kReasonSize];
  if (!DecodeInto(owned, {text, length}, reason)) return RaiseDocumentError(L, path, reason);
  auto& graph = *static_cast<graphfile::Graph*>(owned->pointer);
  const int count = static_cast<int>(graph.nodes.size());
  lua_createtable(L, 0, count);
  const int byNode = lua_gettop(L);
  lua_createtable(L, 0, count);
  const int byId = lua_gettop(L);
  // Each node passes from the graph to its object once the object can free
  // it: an error on the way leaves every node owned by one of them.
  for (int i = 0; i < count; ++i) {
    const auto at = static_cast<std::size_t>(i);
    Node* node = graph.nodes[at].get();
    NoiseObject* object = NewNoiseObject(L, node->kind());
    object->node = graph.nodes[at].release();
    lua_pushlightuserdata(L, node);
    lua_pushvalue(L, -2);
    lua_rawset(L, byNode);
    lua_pushlstring(L, graph.ids[at].data(), graph.ids[at].size());
    lua_insert(L, -2);
    lua_rawset(L, byId);
  }
  // The sources in each object's user value, which keeps them alive. The
  // objects are out of every script's reach, so no finalizer has changed
  // their graph.
  lua_pushnil(L);
  while (lua_next(L, byNode) != 0) {
    const auto* node = static_cast<const Node*>(lua_touserdata(L, -2));
    vessa::GetUserValue(L, -1);
    for (int s = 0; s < node->SourceCount(); ++s) {
      if (node->source(s) == nullptr) continue;
      lua_pushlightuserdata(L, const_cast<Node*>(node->source(s)));
      lua_rawget(L, byNode);
      lua_rawseti(L, -2, s + 1);
    }
    lua_pop(L, 2);
  }
  lua_createtable(L, 0, static_cast<int>(graph.outputs.size()));
  for (const auto& output : graph.outputs) {
    const std::string& id = graph.ids[output.second];
    lua_pushlstring(L, output.first.data(), output.first.size());
    lua_pushlstring(L, id.data(), id.size());
    lua_rawget(L, byId);
    lua_rawset(L, -3);
  }
  Release(owned);
  lua_pushvalue(L, byId);
  return 2;
}

// noise.encode(graph [, options]): the document's text, or its table with
// {table = true}.
int EncodeGraph(lua_State* L) {
  const EncodeFlags flags = CheckEncodeOptions(L, 2, true);
  lua_settop(L, 2);
  PushEncoded(L, 1, flags.compact);
  if (flags.table) PushTableOf(L, -1);
  return 1;
}

// noise.decode(text or table): the outputs by name, and every node by id.
int DecodeGraph(lua_State* L) {
  if (lua_type(L, 1) == LUA_TTABLE) {
    lua_settop(L, 1);
    Owned* owned = PushOwned<std::string>(L);
    owned->pointer = new (std::nothrow) std::string();
    if (owned->pointer == nullptr) return luaL_error(L, "not enough memory");
    WriteLuaTable(L, static_cast<std::string*>(owned->pointer), 1, 1);
    const std::string& text = *static_cast<const std::string*>(owned->pointer);
    return PushDecoded(L, text.data(), text.size(), nullptr);
  }
  if (lua_type(L, 1) != LUA_TSTRING) vessa::TypeError(L, 1, "string or table");
  std::size_t length = 0;
  const char* text = lua_tolstring(L, 1, &length);
  return PushDecoded(L, text, length, nullptr);
}

// noise.classes(): the schema of every class.
int Classes(lua_State* L) {
  Owned* owned = PushOwned<Json>(L);
  if (!SchemaInto(owned)) return luaL_error(L, "not enough memory");
  PushJson(L, *static_cast<const Json*>(owned->pointer));
  Release(owned);
  return 1;
}

// noise.savegraph(path, graph [, options]): the text, written whole or not
// at all.
int SaveGraph(lua_State* L) {
  const char* path = vessa::CheckPath(L, 1);
  const EncodeFlags flags = CheckEncodeOptions(L, 3, false);
  lua_settop(L, 3);
  PushEncoded(L, 2, flags.compact);
  std::size_t length = 0;
  const char* text = lua_tolstring(L, -1, &length);
  const std::string_view bytes(text, length);
  char reason[kReasonSize];
  if (!noisebind::image::WriteFileAtomically(path, WriteBytes, &bytes, reason, sizeof reason)) {
    vessa::ArgError(L, 1, lua_pushfstring(L, "cannot write '%s': %s", path, reason));
  }
  return 0;
}

// noise.loadgraph(path): as noise.decode of the file's text.
int LoadGraph(lua_State* L) {
  const char* path = vessa::CheckPath(L, 1);
  lua_settop(L, 1);
  Owned* owned = PushOwned<std::string>(L);
  char reason[kReasonSize];
  if (!ReadInto(owned, path, reason)) {
    vessa::ArgError(L, 1, lua_pushfstring(L, "cannot read '%s': %s", path, reason));
  }
  const std::string& text = *static_cast<const std::string*>(owned->pointer);
  return PushDecoded(L, text.data(), text.size(), path);
}

constexpr luaL_Reg kFunctions[] = {
    {"encode", EncodeGraph},  {"decode", DecodeGraph},  {"classes", Classes},
    {"savegraph", SaveGraph}, {"loadgraph", LoadGraph},
};

}  // namespace

int OpenGraphFileLibrary(lua_State* L) {
  luaL_checktype(L, 1, LUA_TTABLE);
  for (const luaL_Reg& entry : kFunctions) {
    lua_pushcfunction(L, entry.func);
    lua_setfield(L, 1, entry.name);
  }
  vessa::NameFunctions(L, 1, false);
  lua_settop(L, 1);
  return 0;
}

}  // namespace noisebind::objects
