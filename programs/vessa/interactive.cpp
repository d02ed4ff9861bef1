#include "programs/vessa/interactive.h"

#include <string>

#include "host/script_host.h"

namespace vessa {
namespace {

constexpr char kChunkName[] = "=stdin";
// How the parser says that the code ended before the statement did.
constexpr char kIncomplete[] = "'<eof>'";

// Appends the next line of `in`, its newline included; false at the end.
bool ReadLine(std::FILE* in, std::string* text) {
  const std::size_t before = text->size();
  for (int c = std::getc(in); c != EOF; c = std::getc(in)) {
    text->push_back(static_cast<char>(c));
    if (c == '\n') return true;
  }
  return text->size() > before;
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Runs the code as an expression whose values are printed, else as
// statements, as Lua 5.3's prompt does.
RunOutcome Evaluate(ScriptHost& host, const std::string& code) {
  const std::string body = !code.empty() && code[0] == '=' ? code.substr(1) : code;
  RunOutcome outcome = host.Run(Chunk{"return " + body, kChunkName, nullptr, true});
  if (outcome.kind != RunOutcome::kSyntaxError) return outcome;
  return host.Run(Chunk{body, kChunkName});
}

}  // namespace

void RunInteractive(ScriptHost& host, std::FILE* in, bool prompt) {
  std::string pending;
  for (;;) {
    if (prompt) std::fputs(pending.empty() ? "> " : ">> ", stderr);
    if (!ReadLine(in, &pending)) break;
    const RunOutcome outcome = Evaluate(host, pending);
    if (outcome.kind == RunOutcome::kSyntaxError && EndsWith(outcome.message, kIncomplete)) {
      continue;
    }
    pending.clear();
    if (outcome.kind == RunOutcome::kFinished) continue;
    std::fflush(stdout);
    std::fprintf(stderr, "%s\n", outcome.message.c_str());
  }
  if (prompt) std::fputs("\n", stderr);
}

}  // namespace vessa
