#include "programs/studio/launch.h"

#include <pthread.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <thread>

extern char** environ;

namespace noisebind::studio {
namespace {

bool IsDirectory(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string ProgramFolder(const char* programPath) {
  char resolved[4096];
  const ssize_t length = readlink("/proc/self/exe", resolved, sizeof resolved - 1);
  std::string path = length > 0 ? std::string(resolved, static_cast<std::size_t>(length))
                                : std::string(programPath != nullptr ? programPath : "");
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

// Opens `url` with xdg-open, without a shell and without waiting for it.
void OpenBrowser(const std::string& url, std::FILE* err) {
  const char* display = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  if ((display == nullptr || *display == '\0') && (wayland == nullptr || *wayland == '\0')) return;
  std::string program = "xdg-open";
  char* argv[] = {program.data(), const_cast<char*>(url.c_str()), nullptr};
  pid_t child = 0;
  if (posix_spawnp(&child, "xdg-open", nullptr, nullptr, argv, environ) != 0) {
    std::fprintf(err, "noisebind studio: cannot start xdg-open; open the url yourself\n");
    return;
  }
  // Reaped in the background: xdg-open returns once the browser has it.
  std::thread([child] { waitpid(child, nullptr, 0); }).detach();
}

}  // namespace

std::string FindPageDir(const char* programPath) {
  const std::string folder = ProgramFolder(programPath);
  for (const char* relative : {"/page", "/programs/studio/page", "/../studio/page",
                               "/../programs/studio/page", "/../share/noisebind/studio"}) {
    const std::string candidate = folder + relative;
    if (IsDirectory(candidate)) return candidate;
  }
  return {};
}

int RunStudio(const LaunchOptions& options, const GraphCodec& codec, std::FILE* out,
              std::FILE* err) {
  // The signals go to a thread that stops the server, not to a handler:
  // stopping is not safe in a handler. Threads started below inherit the mask.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  sigset_t previous;
  pthread_sigmask(SIG_BLOCK, &stopSignals, &previous);

  StudioServer server(options.server, codec);
  std::string error;
  if (!server.Bind(&error)) {
    std::fprintf(err, "noisebind studio: %s\n", error.c_str());
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return 1;
  }
  if (options.server.pageDir.empty()) {
    std::fprintf(err, "noisebind studio: the page is not built (make studio-page): API only\n");
  }
  std::fprintf(out, "noisebind studio: editing %s\nopen %s\nCtrl-C stops it.\n",
               options.server.graphPath.c_str(), server.Url().c_str());
  std::fflush(out);
  if (options.openBrowser) OpenBrowser(server.Url(), err);

  std::atomic<bool> signalled{false};
  std::thread stopper([&server, &signalled, stopSignals] {
    int signal = 0;
    sigwait(&stopSignals, &signal);
    signalled = true;
    server.Stop();
  });
  server.Run();
  // Run also ends when the server fails; wake the stopper then.
  if (!signalled) pthread_kill(stopper.native_handle(), SIGTERM);
  stopper.join();
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  std::fprintf(out, "noisebind studio: stopped\n");
  return 0;
}

}  // namespace noisebind::studio
