#pragma once
// Every compression format of the codec library as the core's CodecCalls,
// bound straight to the linked library: for zorptool, the tests, the fuzz
// targets and the plug-in itself. The program reaches the same functions
// through the plug-in instead (workspace/PluginCodecs).
#include "codec/CodecCalls.h"

namespace zorp {

CodecCalls LinkedCodecCalls();

} // namespace zorp
