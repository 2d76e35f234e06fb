#pragma once
// The stage block's codec calls bound straight to the Kosinski library, for
// the callers that link the codec (zorptool, the tests, the fuzz targets);
// the program reaches the same functions through its plug-in instead.
#include "template/StageBlock.h"

namespace zorp {

StageCodecCalls LinkedStageCodec();

} // namespace zorp
