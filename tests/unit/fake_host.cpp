#include "fake_host.h"

#include <libnoise/exception.h>

#include <algorithm>
#include <cstdio>

#include "entry/resolver.h"

namespace noisebind::testing {
namespace {

struct RefusedArgument {
  int index;
};

std::string Format(const char* op, double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof(buffer), "%s(%.9g)", op, value);
  return buffer;
}

std::string Format(const char* op, int a, int b) {
  return std::string(op) + "(" + std::to_string(a) + "," + std::to_string(b) + ")";
}

std::string Format(const char* op, int a) {
  return std::string(op) + "(" + std::to_string(a) + ")";
}

int KindCode(FakeArg::Kind kind) {
  switch (kind) {
    case FakeArg::kNumber:
      return kTypeNumber;
    case FakeArg::kBoolean:
      return kTypeBoolean;
    default:
      return -1;
  }
}

}  // namespace

FakeArg Num(double value) {
  return FakeArg{FakeArg::kNumber, value, true};
}
FakeArg Bool(bool value) {
  return FakeArg{FakeArg::kBoolean, 0.0, value};
}
FakeArg Nil() {
  return FakeArg{FakeArg::kNil, 0.0, false};
}
FakeArg Str() {
  return FakeArg{FakeArg::kString, 0.0, true};
}
FakeArg Table() {
  return FakeArg{FakeArg::kTable, 0.0, true};
}

FakeHost::FakeHost() = default;

FakeHost::~FakeHost() {
  if (g_resolver == this) g_resolver = nullptr;
}

void FakeHost::Install() {
  g_resolver = this;
}

CallOutcome FakeHost::Call(ScriptFunction function, std::vector<FakeArg> args) {
  m_args = std::move(args);
  m_log.clear();
  m_resultsPushed.clear();
  m_errors.clear();
  Install();
  Prepare();
  CallOutcome outcome{CallOutcome::kReturned, 0, 0};
  try {
    outcome.count = function(state());
  } catch (const RefusedArgument& refused) {
    outcome = CallOutcome{CallOutcome::kArgumentRefused, 0, refused.index};
  } catch (const noise::ExceptionInvalidParam&) {
    m_log.push_back("threw InvalidParam");
    outcome = CallOutcome{CallOutcome::kInvalidParam, 0, 0};
  } catch (...) {
    m_log.push_back("threw");
    outcome = CallOutcome{CallOutcome::kOtherException, 0, 0};
  }
  CollectPrepared();
  return outcome;
}

void FakeHost::Prepare() {
  const size_t limit = std::min<size_t>({m_prepareArgs, m_args.size(), kMaxPreparedArgs});
  for (size_t slot = 0; slot < limit; ++slot) {
    const FakeArg& arg = m_args[slot];
    m_preparedArgs[slot] = PreparedArg{KindCode(arg.kind), arg.truth, arg.number};
  }
  m_preparedArgCount = static_cast<unsigned>(limit);
  m_resultCount = 0;
  m_resultCapacity = std::min(m_prepareResults, kMaxResults);
}

// Results stored in the prepared room come before any pushed through the
// virtual functions, which are used only once the room is full.
void FakeHost::CollectPrepared() {
  std::vector<FakeResult> prepared;
  for (unsigned i = 0; i < m_resultCount; ++i) {
    const Result& result = m_results[i];
    switch (result.kind) {
      case Result::kNumber:
        prepared.push_back(FakeResult{FakeResult::kNumber, result.number, false});
        break;
      case Result::kTrue:
      case Result::kFalse:
        prepared.push_back(FakeResult{FakeResult::kBoolean, 0.0f, result.kind == Result::kTrue});
        break;
      case Result::kNil:
        prepared.push_back(FakeResult{FakeResult::kNil, 0.0f, false});
        break;
    }
  }
  m_resultsPushed.insert(m_resultsPushed.begin(), prepared.begin(), prepared.end());
  m_preparedArgCount = 0;
  m_resultCount = 0;
  m_resultCapacity = 0;
}

std::vector<double> FakeHost::Numbers() const {
  std::vector<double> numbers;
  for (const FakeResult& result : m_resultsPushed) {
    if (result.kind == FakeResult::kNumber) numbers.push_back(result.number);
  }
  return numbers;
}

const FakeArg& FakeHost::Arg(int index) const {
  static const FakeArg none;
  if (index < 1 || static_cast<size_t>(index) > m_args.size()) return none;
  return m_args[static_cast<size_t>(index) - 1];
}

ScriptInterface& FakeHost::ResolveUnbound(ScriptState* resolved) {
  m_log.push_back(resolved == state() ? "Resolve" : "Resolve(other state)");
  return *this;
}

void FakeHost::OnCheckArgType(int index, int type) {
  m_log.push_back(Format("CheckArgType", index, type));
  if (!m_permissive && KindCode(Arg(index).kind) != type) throw RefusedArgument{index};
}

double FakeHost::OnArgAsNumber(int index) {
  m_log.push_back(Format("ArgAsNumber", index));
  return Arg(index).number;
}

bool FakeHost::OnArgAsBool(int index) {
  m_log.push_back(Format("ArgAsBool", index));
  return Arg(index).truth;
}

void FakeHost::OnReturnNumber(float value) {
  m_log.push_back(Format("ReturnNumber", value));
  m_resultsPushed.push_back(FakeResult{FakeResult::kNumber, value, false});
}

void FakeHost::OnReturnBool(bool value) {
  m_log.push_back(value ? "ReturnBool(true)" : "ReturnBool(false)");
  m_resultsPushed.push_back(FakeResult{FakeResult::kBoolean, 0.0f, value});
}

void FakeHost::OnReturnNil() {
  m_log.push_back("ReturnNil");
  m_resultsPushed.push_back(FakeResult{FakeResult::kNil, 0.0f, false});
}

void FakeHost::ScriptError(const char* text) {
  m_log.push_back("ScriptError");
  m_errors.push_back(text);
}

void FakeHost::ConsoleMessage(const char* text) {
  m_log.push_back(std::string("ConsoleMessage(") + text + ")");
  m_console.push_back(text);
}

void FakeHost::CreateGlobalTable(const char* name) {
  m_log.push_back(std::string("CreateGlobalTable(") + name + ")");
  m_global = NewTable();
}

TableHandle* FakeHost::LookupGlobalTable(const char* name) {
  m_log.push_back(std::string("LookupGlobalTable(") + name + ")");
  return m_failLookup ? nullptr : m_global;
}

TableHandle* FakeHost::CreateTable() {
  const int ordinal = ++m_createCount;
  m_log.push_back("CreateTable");
  if (std::find(m_failCreate.begin(), m_failCreate.end(), ordinal) != m_failCreate.end()) {
    return nullptr;
  }
  return NewTable();
}

FakeTable* FakeHost::NewTable() {
  m_tables.push_back(std::make_unique<FakeTable>(static_cast<int>(m_tables.size()), &m_log));
  return m_tables.back().get();
}

void FakeTable::StoreFunction(const char* key, ScriptFunction function) {
  m_log->push_back(Format("StoreFunction", m_id) + " " + key);
  m_entries.push_back(Entry{key, Entry::kFunction, function, 0.0f, nullptr});
}

void FakeTable::StoreNumber(const char* key, float value) {
  m_log->push_back(Format("StoreNumber", m_id) + " " + key);
  m_entries.push_back(Entry{key, Entry::kNumber, nullptr, value, nullptr});
}

void FakeTable::StoreTable(const char* key, TableHandle* table) {
  auto* fake = static_cast<FakeTable*>(table);
  m_log->push_back(Format("StoreTable", m_id, fake->id()) + " " + key);
  m_entries.push_back(Entry{key, Entry::kTable, nullptr, 0.0f, fake});
}

std::vector<std::string> FakeTable::Keys() const {
  std::vector<std::string> keys;
  for (const Entry& entry : m_entries) keys.push_back(entry.key);
  return keys;
}

const FakeTable::Entry* FakeTable::Find(const std::string& key) const {
  for (const Entry& entry : m_entries) {
    if (entry.key == key) return &entry;
  }
  return nullptr;
}

ScriptFunction FakeTable::Function(const std::string& key) const {
  const Entry* entry = Find(key);
  return entry != nullptr && entry->kind == Entry::kFunction ? entry->function : nullptr;
}

FakeTable* FakeTable::SubTable(const std::string& key) const {
  const Entry* entry = Find(key);
  return entry != nullptr && entry->kind == Entry::kTable ? entry->table : nullptr;
}

}  // namespace noisebind::testing
