#pragma once
// The fixed messages of the main menu: start-up, opening a ROM and closing.
#include <string>

#include "rom/Message.h"

namespace zorp {

Message CodecNotFoundMessage();              // "The Ostrel Not Found"
Message CannotEditCompilationMessage();      // "Cannot Edit S3S/C File"
Message InvalidS3SMessage();                 // "Invalid S3S file"
Message UnrecognizedRomMessage();            // "Unrecognized ROM"
Message OtherWindowsOpenQuestion();          // "Windows Open" (Yes/No)

} // namespace zorp
