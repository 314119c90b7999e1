// The vendor host comes from the build (VENDOR_HOST).
#include "online/vendor.h"

#ifndef VENDOR_HOST
#define VENDOR_HOST "127.0.0.1:8731"
#endif

std::string VendorHost() { return VENDOR_HOST; }

std::string VendorUrl(const char* scheme, const char* path) {
    return std::string(scheme) + "://" + VendorHost() + path;
}
