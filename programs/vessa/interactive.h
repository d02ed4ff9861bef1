// vessa's prompt: statements and expressions read line by line.
#ifndef VESSA_HOST_INTERACTIVE_H
#define VESSA_HOST_INTERACTIVE_H

#include <cstdio>

namespace vessa {

class ScriptHost;

// Reads from `in` to its end and runs what it reads in `host`, as the
// standalone interpreters do: an expression's values are printed (a line
// may start with '=' as in Lua 5.1), an incomplete statement waits for more
// lines, and an error is reported on standard error without ending the
// session. With `prompt`, prompts go to standard error.
void RunInteractive(ScriptHost& host, std::FILE* in, bool prompt);

}  // namespace vessa

#endif  // VESSA_HOST_INTERACTIVE_H
