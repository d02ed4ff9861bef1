// A host that records every operation the extension asks of it, in order,
// and answers from scripted arguments.
#ifndef NOISEBIND_TESTS_FAKE_HOST_H
#define NOISEBIND_TESTS_FAKE_HOST_H

#include <memory>
#include <string>
#include <vector>

#include "entry/host_interface.h"

namespace noisebind::testing {

struct FakeArg {
  enum Kind { kNone, kNil, kNumber, kBoolean, kString, kTable };
  Kind kind = kNone;
  double number = 0.0;
  bool truth = false;
};
FakeArg Num(double value);
FakeArg Bool(bool value);
FakeArg Nil();
FakeArg Str();
FakeArg Table();

struct FakeResult {
  enum Kind { kNumber, kBoolean, kNil };
  Kind kind;
  float number;
  bool truth;
};

struct CallOutcome {
  enum Kind { kReturned, kArgumentRefused, kInvalidParam, kOtherException };
  Kind kind;
  int count;  // what the function returned
  int refusedIndex;
};

class FakeTable;

class FakeHost final : public ScriptInterface, public InterfaceResolver {
 public:
  FakeHost();
  ~FakeHost();

  // Makes this host the extension's, as the load entry point would.
  void Install();

  // Calls `function` with `args`, after clearing the log, the results and the
  // errors. A refused argument check stops the function, as in a real host.
  CallOutcome Call(ScriptFunction function, std::vector<FakeArg> args);

  // Every check passes and reads answer from the scripted arguments, whatever
  // their kind: for watching the order of operations alone.
  void SetPermissive(bool permissive) { m_permissive = permissive; }

  // Before each call, prepares up to `argCount` arguments and room for up to
  // `resultCapacity` results, as a real host does; what lies beyond goes
  // through the virtual functions. Either way the results end up in
  // results(), in order. 0 and 0, the default, prepare nothing.
  void SetPrepared(unsigned argCount, unsigned resultCapacity) {
    m_prepareArgs = argCount;
    m_prepareResults = resultCapacity;
  }

  // Registration failures to simulate.
  void FailLookup(bool fail) { m_failLookup = fail; }
  // The CreateTable calls (counted from 1) that give null.
  void FailCreateTable(std::vector<int> which) { m_failCreate = std::move(which); }

  ScriptState* state() { return reinterpret_cast<ScriptState*>(this); }
  const std::vector<std::string>& log() const { return m_log; }
  void ClearLog() { m_log.clear(); }
  const std::vector<FakeResult>& results() const { return m_resultsPushed; }
  std::vector<double> Numbers() const;
  const std::vector<std::string>& errors() const { return m_errors; }
  const std::vector<std::string>& console() const { return m_console; }
  FakeTable* global() const { return m_global; }

  // ScriptInterface.
  void ScriptError(const char* text) override;
  void ConsoleMessage(const char* text) override;
  void CreateGlobalTable(const char* name) override;
  TableHandle* LookupGlobalTable(const char* name) override;
  TableHandle* CreateTable() override;

 private:
  void OnCheckArgType(int index, int type) override;
  double OnArgAsNumber(int index) override;
  bool OnArgAsBool(int index) override;
  void OnReturnNumber(float value) override;
  void OnReturnBool(bool value) override;
  void OnReturnNil() override;
  ScriptInterface& ResolveUnbound(ScriptState* state) override;
  const FakeArg& Arg(int index) const;
  FakeTable* NewTable();
  void Prepare();
  void CollectPrepared();

  std::vector<FakeArg> m_args;
  std::vector<std::string> m_log;
  std::vector<FakeResult> m_resultsPushed;
  std::vector<std::string> m_errors;
  std::vector<std::string> m_console;
  std::vector<std::unique_ptr<FakeTable>> m_tables;
  FakeTable* m_global = nullptr;
  bool m_permissive = false;
  unsigned m_prepareArgs = 0;
  unsigned m_prepareResults = 0;
  bool m_failLookup = false;
  std::vector<int> m_failCreate;
  int m_createCount = 0;
};

// A table as the fake host keeps it: its entries in the order stored.
class FakeTable final : public TableHandle {
 public:
  struct Entry {
    std::string key;
    enum Kind { kFunction, kNumber, kTable } kind;
    ScriptFunction function;
    float number;
    FakeTable* table;
  };
  FakeTable(int id, std::vector<std::string>* log) : m_id(id), m_log(log) {}
  void StoreFunction(const char* key, ScriptFunction function) override;
  void StoreNumber(const char* key, float value) override;
  void StoreTable(const char* key, TableHandle* table) override;

  int id() const { return m_id; }
  const std::vector<Entry>& entries() const { return m_entries; }
  std::vector<std::string> Keys() const;
  // Null when absent.
  const Entry* Find(const std::string& key) const;
  ScriptFunction Function(const std::string& key) const;
  FakeTable* SubTable(const std::string& key) const;

 private:
  int m_id;
  std::vector<std::string>* m_log;
  std::vector<Entry> m_entries;
};

}  // namespace noisebind::testing

#endif  // NOISEBIND_TESTS_FAKE_HOST_H
