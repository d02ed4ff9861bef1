#include "programs/vessa/vessa_options.h"

#include <lua.hpp>

namespace vessa {

// Room for the arguments, the chunk and its error handler within what a C
// function may push.
const std::size_t kMaxScriptArguments = LUAI_MAXCSTACK - 8;

const char kUsage[] =
    "usage: vessa [options] [SCRIPT [ARGS...]]\n"
    "\n"
    "Runs SCRIPT with LuaJIT, with the noise extension loaded and its LibNoise table\n"
    "published; SCRIPT '-' is standard input, as is no SCRIPT and no -e when standard\n"
    "input is not a terminal. The global 'arg' and the script's '...'\n"
    "hold ARGS. Each --before FILE runs in a fresh Lua state of its own; -e chunks,\n"
    "the script and -i share one state. All run in the order given, and all states\n"
    "share the one loaded extension.\n"
    "\n"
    "  -e CHUNK          run the Lua code CHUNK (may be repeated)\n"
    "  --before FILE     run FILE in a state of its own (may be repeated)\n"
    "  -i                read statements and expressions after the script\n"
    "                    (the default with no script on a terminal)\n"
    "  -q, --quiet       leave out the extension's console messages\n"
    "  --sandbox         leave out what lets a script crash the host: ffi, debug,\n"
    "                    string.buffer, jit.util, C modules and package.loadlib,\n"
    "                    binary chunks, os.execute, io.popen, and writing to\n"
    "                    devices or /proc\n"
    "  --extension PATH  load the extension from PATH (default: the one beside vessa)\n"
    "  -h, --help        show this help and exit\n"
    "  -v, --version     show the version and exit\n"
    "  --                end the options\n"
    "\n"
    "The console (the extension's messages) goes to standard error; standard output\n"
    "carries only what scripts print, line by line.\n"
    "\n"
    "Exit status: 0 when everything ran, 1 when a script raised an error or the\n"
    "extension failed to open, 2 for a usage error.\n";

namespace {

// One option: its names, what its value is called (null when it takes
// none), whether an empty value is refused, and what it sets.
struct OptionRule {
  const char* name;
  const char* alias;
  const char* value;
  bool nonEmpty;
  void (*apply)(Options& options, const std::string& value);
};

const OptionRule kOptions[] = {
    {"-e", nullptr, "a chunk", false,
     [](Options& o, const std::string& v) {
       o.steps.push_back({Step::kChunk, v});
     }},
    {"--before", nullptr, "a file", true,
     [](Options& o, const std::string& v) {
       o.steps.push_back({Step::kBeforeFile, v});
     }},
    {"-i", nullptr, nullptr, false, [](Options& o, const std::string&) { o.interactive = true; }},
    {"-q", "--quiet", nullptr, false, [](Options& o, const std::string&) { o.quiet = true; }},
    {"--sandbox", nullptr, nullptr, false,
     [](Options& o, const std::string&) { o.sandbox = true; }},
    {"--extension", nullptr, "a file", true,
     [](Options& o, const std::string& v) { o.extension = v; }},
    {"-h", "--help", nullptr, false,
     [](Options& o, const std::string&) { o.action = Options::kHelp; }},
    {"-v", "--version", nullptr, false,
     [](Options& o, const std::string&) { o.action = Options::kVersion; }},
};

const OptionRule* FindRule(const std::string& word) {
  for (const OptionRule& rule : kOptions) {
    if (word == rule.name || (rule.alias != nullptr && word == rule.alias)) return &rule;
  }
  return nullptr;
}

bool TakeScript(const std::vector<std::string>& words, std::size_t index, bool stdinAllowed,
                Options* options, std::string* error) {
  options->scriptIndex = index;
  options->scriptIsStdin = stdinAllowed && words[index] == "-";
  const std::size_t arguments = words.size() - index - 1;
  if (arguments <= kMaxScriptArguments) return true;
  *error = "too many arguments for the script (" + std::to_string(arguments) + ", at most " +
           std::to_string(kMaxScriptArguments) + ")";
  return false;
}

}  // namespace

bool ParseOptions(const std::vector<std::string>& words, Options* options, std::string* error) {
  for (std::size_t i = 1; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (word == "--") {
      return i + 1 >= words.size() || TakeScript(words, i + 1, false, options, error);
    }
    if (word.size() < 2 || word[0] != '-') return TakeScript(words, i, true, options, error);
    // "-eCHUNK", as the standalone interpreters take it.
    if (word.compare(0, 2, "-e") == 0 && word.size() > 2) {
      options->steps.push_back({Step::kChunk, word.substr(2)});
      continue;
    }
    const OptionRule* rule = FindRule(word);
    if (rule == nullptr) {
      *error = "unknown option '" + word + "'";
      return false;
    }
    std::string value;
    if (rule->value != nullptr) {
      if (i + 1 >= words.size() || (rule->nonEmpty && words[i + 1].empty())) {
        *error = "option '" + word + "' needs " + rule->value;
        return false;
      }
      value = words[++i];
    }
    rule->apply(*options, value);
    if (options->action != Options::kRun) return true;
  }
  return true;
}

}  // namespace vessa
