// The vessa command line, as the standalone Lua interpreters read theirs.
#ifndef VESSA_HOST_VESSA_OPTIONS_H
#define VESSA_HOST_VESSA_OPTIONS_H

#include <cstddef>
#include <string>
#include <vector>

namespace vessa {

// Something to run before the script, in command-line order.
struct Step {
  enum Kind { kBeforeFile, kChunk };
  Kind kind;
  std::string text;  // the file of --before, the code of -e
};

struct Options {
  enum Action { kRun, kHelp, kVersion };
  Action action = kRun;
  std::string extension;  // empty for the one beside vessa
  std::vector<Step> steps;
  std::size_t scriptIndex = 0;  // in the words; 0 when no script is given
  bool scriptIsStdin = false;   // the script is "-", or standard input when none is named
  bool interactive = false;
  bool quiet = false;
  bool sandbox = false;
};

// The most arguments a script can receive in its `...`.
extern const std::size_t kMaxScriptArguments;

extern const char kUsage[];

// Reads the words of the command line (the program's name first). False,
// with a one-line message in `error`, for a usage error.
bool ParseOptions(const std::vector<std::string>& words, Options* options, std::string* error);

}  // namespace vessa

#endif  // VESSA_HOST_VESSA_OPTIONS_H
