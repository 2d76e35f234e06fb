#pragma once
// MD5 of a byte buffer as 32 lower-case hex digits: how the corpus manifests
// and the exported files name decoded data. Not for security.
#include <string>

#include "rom/Bytes.h"

namespace zorp {

std::string Md5Hex(const Bytes& data);

} // namespace zorp
