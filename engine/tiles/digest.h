// SHA-256 digests (OpenSSL's libcrypto), as lowercase hexadecimal.
#ifndef NOISEBIND_TILES_DIGEST_H
#define NOISEBIND_TILES_DIGEST_H

#include <string>

namespace noisebind::tiles {

// 64 hexadecimal digits; empty when libcrypto fails (out of memory).
std::string Sha256Hex(const std::string& bytes);

}  // namespace noisebind::tiles

#endif  // NOISEBIND_TILES_DIGEST_H
