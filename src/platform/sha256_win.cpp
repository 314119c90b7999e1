// SHA-256 through CNG (bcrypt), available since Windows Vista.
#include "platform/sha256.h"

#include <windows.h>
#include <bcrypt.h>

#include <algorithm>
#include <climits>

namespace {
// Empty when the provider cannot be had: a hash that never matches a stored one.
std::string Digest(const std::string& bytes) {
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0))) return {};
    BCRYPT_HASH_HANDLE hash = nullptr;
    unsigned char digest[32];
    bool ok = BCRYPT_SUCCESS(BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0));
    for (size_t done = 0; ok && done < bytes.size();) {
        const ULONG part = static_cast<ULONG>(std::min<size_t>(bytes.size() - done, ULONG_MAX));
        ok = BCRYPT_SUCCESS(BCryptHashData(
            hash, reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data() + done)), part, 0));
        done += part;
    }
    ok = ok && BCRYPT_SUCCESS(BCryptFinishHash(hash, digest, sizeof digest, 0));
    if (hash) BCryptDestroyHash(hash);
    BCryptCloseAlgorithmProvider(algorithm, 0);
    return ok ? std::string(reinterpret_cast<const char*>(digest), sizeof digest) : std::string();
}
}  // namespace

std::string Sha256Hex(const std::string& bytes) {
    static const char kHex[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char c : Digest(bytes)) {
        hex += kHex[c >> 4];
        hex += kHex[c & 15];
    }
    return hex;
}
