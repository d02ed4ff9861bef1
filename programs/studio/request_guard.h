// Who may talk to the studio: requests that carry its random token, name it
// by an address (no DNS rebinding through a name that resolves to this
// machine) and come from its own page (no request from another site).
#ifndef NOISEBIND_STUDIO_REQUEST_GUARD_H
#define NOISEBIND_STUDIO_REQUEST_GUARD_H

#include <string>

namespace noisebind::studio {

// What a request says about itself; empty when it does not say.
struct RequestOrigin {
  std::string host;       // the Host header
  std::string origin;     // the Origin header
  std::string fetchSite;  // the Sec-Fetch-Site header
  std::string token;      // from the header, the query or the cookie
};

// Why the request is refused (a lowercase sentence for the reply), or empty
// when it may proceed. `port` is the one the server listens on.
std::string RefuseRequest(const RequestOrigin& request, const std::string& token, int port);

// A new token: 32 hexadecimal digits from the system's random source.
// Throws std::runtime_error when that source fails.
std::string NewToken();

// The cookie that carries the token of the server on `port`; cookies do
// not tell ports apart, so each server names its own.
std::string TokenCookieName(int port);

// The value of cookie `name` in a Cookie header, or empty.
std::string CookieValue(const std::string& header, const std::string& name);

}  // namespace noisebind::studio

#endif  // NOISEBIND_STUDIO_REQUEST_GUARD_H
