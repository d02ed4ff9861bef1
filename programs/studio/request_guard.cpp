#include "programs/studio/request_guard.h"

#include <arpa/inet.h>

#include <cstdio>
#include <random>
#include <stdexcept>

namespace noisebind::studio {
namespace {

// Equal strings, in a time that does not tell how much of them matched.
bool SameSecret(const std::string& a, const std::string& b) {
  unsigned char difference = a.size() == b.size() ? 0 : 1;
  for (std::size_t i = 0; i < a.size(); ++i) {
    difference |= static_cast<unsigned char>(a[i] ^ b[i % (b.empty() ? 1 : b.size())]);
  }
  return difference == 0 && !b.empty();
}

bool IsAddress(const std::string& name) {
  unsigned char buffer[16];
  if (name.size() > 2 && name.front() == '[' && name.back() == ']') {
    return inet_pton(AF_INET6, name.substr(1, name.size() - 2).c_str(), buffer) == 1;
  }
  return inet_pton(AF_INET, name.c_str(), buffer) == 1;
}

// "name:port" with `port`, where name is localhost or an address.
bool HostNamesUs(const std::string& host, int port) {
  const std::string suffix = ":" + std::to_string(port);
  if (host.size() <= suffix.size() ||
      host.compare(host.size() - suffix.size(), suffix.size(), suffix) != 0) {
    return false;
  }
  const std::string name = host.substr(0, host.size() - suffix.size());
  return name == "localhost" || IsAddress(name);
}

}  // namespace

std::string RefuseRequest(const RequestOrigin& request, const std::string& token, int port) {
  if (!HostNamesUs(request.host, port)) {
    return "host '" + request.host + "' is not this server: open it by its address and port";
  }
  if (!request.origin.empty() && request.origin != "http://" + request.host) {
    return "requests from '" + request.origin + "' are not accepted";
  }
  // Another port of this machine is the same site but not this server.
  if (!request.fetchSite.empty() && request.fetchSite != "same-origin" &&
      request.fetchSite != "none") {
    return "requests from other sites are not accepted";
  }
  if (request.token.empty()) return "the studio's token is missing: open the url it printed";
  if (!SameSecret(request.token, token))
    return "the studio's token is wrong: open the url it printed";
  return {};
}

std::string NewToken() {
  std::random_device device;  // the system's source (getrandom) on Linux
  std::string token;
  for (int i = 0; i < 4; ++i) {
    char digits[9];
    std::snprintf(digits, sizeof digits, "%08x", static_cast<unsigned>(device()));
    token += digits;
  }
  return token;
}

std::string TokenCookieName(int port) {
  return "noisebind_studio_" + std::to_string(port);
}

std::string CookieValue(const std::string& header, const std::string& name) {
  std::size_t at = 0;
  while (at < header.size()) {
    while (at < header.size() && (header[at] == ' ' || header[at] == ';')) ++at;
    const std::size_t end = header.find(';', at);
    const std::string pair = header.substr(at, end == std::string::npos ? end : end - at);
    if (pair.size() > name.size() && pair.compare(0, name.size(), name) == 0 &&
        pair[name.size()] == '=') {
      return pair.substr(name.size() + 1);
    }
    if (end == std::string::npos) break;
    at = end + 1;
  }
  return {};
}

}  // namespace noisebind::studio
