#pragma once
// The codec object's Kosinski calls in the form the special stage block code
// takes them. A call that fails leaves its output empty: the plug-in's partial
// output is not trusted. Without a codec the calls are left empty, which the
// block code reports as no codec being available.
#include "template/StageBlock.h"

class clsOstrel;

namespace zorp::ui {

StageCodecCalls StageCodecCallsOf(clsOstrel* codec);

} // namespace zorp::ui
