// Addresses on the vendor's web server, all formed from the one configured host.
#pragma once
#include <string>

std::string VendorHost();
std::string VendorUrl(const char* scheme, const char* path);  // e.g. ("http", "/ads.txt")
