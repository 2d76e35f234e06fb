#pragma once
// The codec object's calls in the forms the core's editors take them.
//
// StageCodecCallsOf: the Kosinski calls of the Sonic 3 stage block.
// Decompression keeps the bytes decoded before a fault (a 0.0.2 plug-in,
// which cannot, gives all or nothing); a failed compression leaves its output
// empty. Without a codec the calls are left empty, which the block code
// reports as no codec being available.
//
// CodecCallsOf: every format the plug-in offers through its generic calls
// (interface 0.0.4). A format the plug-in does not offer, or every format of
// an older plug-in, stays empty, and unavailableReason says why.
#include "codec/CodecCalls.h"
#include "template/StageBlock.h"

class OstrelLink;

namespace zorp::ui {

StageCodecCalls StageCodecCallsOf(const OstrelLink& codec);

CodecCalls CodecCallsOf(const OstrelLink& codec);

} // namespace zorp::ui
