#pragma once
// The workspace's calls into the codec object for the special stage block.
// Each returns false with a reason when the codec is missing or the call
// failed, so a codec fault never ends the program.
#include <string>

#include "rom/Bytes.h"

class clsOstrel;

namespace zorp::ui {

bool DecompressStages(clsOstrel* codec, const Bytes& packed, Bytes& out, std::string& reason);
bool CompressStages(clsOstrel* codec, const Bytes& block, Bytes& out, std::string& reason);
bool CompressStagesOptimal(clsOstrel* codec, const Bytes& block, Bytes& out, std::string& reason);

} // namespace zorp::ui
