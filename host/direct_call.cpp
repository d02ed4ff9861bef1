#include "host/direct_call.h"

#include <libnoise/exception.h>

#include <new>
#include <stdexcept>

#include "host/lua_interface.h"
#include "host/lua_resolver.h"

namespace vessa {

bool DirectCall::Call(noisebind::ScriptFunction function, const double* args, unsigned count,
                      float* value) {
  if (count > kMaxArgs) return Fail("too many arguments");
  for (unsigned i = 0; i < count; ++i) {
    m_preparedArgs[i] = PreparedArg{noisebind::kTypeNumber, true, args[i]};
  }
  m_preparedArgCount = count;
  m_resultCount = 0;
  m_resultCapacity = kMaxResults;
  m_hasError = false;
  m_tooManyResults = false;
  int claimed = 0;
  try {
    claimed = function(LuaResolver::StateOf(this));
  } catch (const ArgumentError& error) {
    const bool given = error.index >= 1 && static_cast<unsigned>(error.index) <= count;
    return Fail("bad argument #" + std::to_string(error.index) + " (" + TypeCodeName(error.type) +
                " expected, got " + (given ? "number" : "no value") + ")");
  } catch (const noise::ExceptionInvalidParam&) {
    return Fail("value refused: invalid parameter");
  } catch (const noise::Exception&) {
    return Fail("the noise library failed");
  } catch (const std::bad_alloc&) {
    return Fail("not enough memory");
  } catch (const std::exception& error) {
    return Fail(std::string("internal error: ") + error.what());
  }
  if (m_hasError) return false;
  if (m_tooManyResults || claimed != 1 || m_resultCount != 1 ||
      m_results[0].kind != Result::kNumber) {
    return Fail("the function did not return one number");
  }
  *value = m_results[0].number;
  return true;
}

bool DirectCall::Fail(const std::string& reason) {
  m_error = reason;
  return false;
}

void DirectCall::ScriptError(const char* text) {
  if (m_hasError) return;
  m_error = text;
  m_hasError = true;
}

// Nothing reaches a console, and no table is made, outside Lua.
void DirectCall::ConsoleMessage(const char*) {}
void DirectCall::CreateGlobalTable(const char*) {}
noisebind::TableHandle* DirectCall::LookupGlobalTable(const char*) {
  return nullptr;
}
noisebind::TableHandle* DirectCall::CreateTable() {
  return nullptr;
}

// Every argument is a prepared number: anything else asked for is missing.
void DirectCall::OnCheckArgType(int index, int type) {
  throw ArgumentError{index, type};
}
double DirectCall::OnArgAsNumber(int) {
  return 0.0;
}
bool DirectCall::OnArgAsBool(int) {
  return false;
}

void DirectCall::OnReturnNumber(float) {
  m_tooManyResults = true;
}
void DirectCall::OnReturnBool(bool) {
  m_tooManyResults = true;
}
void DirectCall::OnReturnNil() {
  m_tooManyResults = true;
}

}  // namespace vessa
