// The vendor host comes from the build (VENDOR_HOST).
#include "online/vendor.h"

#ifndef VENDOR_HOST
#define VENDOR_HOST "127.0.0.1:8731"
#endif

namespace {
// Read through a pointer the compiler may not look behind, so the host is one string in the program's
// data rather than constants spread over the code: the program names its server in one place of its
// bytes, which the tests' copies of it rewrite to a port of their own (tests/wine/retarget-host).
const char* volatile kVendorHost = VENDOR_HOST;
}  // namespace

std::string VendorHost() { return kVendorHost; }

std::string VendorUrl(const char* scheme, const char* path) {
    return std::string(scheme) + "://" + VendorHost() + path;
}
