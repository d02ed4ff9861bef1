// What `vessa --sandbox` leaves out of a LuaJIT state: every way found for a
// script to crash or corrupt the host process. Files and the clock stay;
// this is no jail for what a script may read or write.
#ifndef VESSA_HOST_SANDBOX_H
#define VESSA_HOST_SANDBOX_H

struct lua_State;

namespace vessa {

// A lua_CFunction: removes ffi, debug, string.buffer and jit.util (raw
// memory or the VM's insides), package.loadlib and the C module searchers
// of require (native code), os.execute and io.popen (a child process can
// signal or trace the host), makes load, loadstring, loadfile, dofile and
// require take text chunks only (bytecode is not checked), and makes
// io.open and io.output refuse to write to devices or under /proc (where
// the host's own memory is a file). Run it protected, after the standard
// libraries are open; the host then loads only text chunks itself.
int OpenSandbox(lua_State* L);

}  // namespace vessa

#endif  // VESSA_HOST_SANDBOX_H
