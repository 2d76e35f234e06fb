#pragma once
// The codec object's Kosinski calls in the form the special stage block code
// takes them. Decompression keeps the bytes decoded before a fault; a failed
// compression leaves its output empty. Without a codec the calls are left empty, which the
// block code reports as no codec being available.
#include "template/StageBlock.h"

class clsOstrel;

namespace zorp::ui {

StageCodecCalls StageCodecCallsOf(clsOstrel* codec);

} // namespace zorp::ui
