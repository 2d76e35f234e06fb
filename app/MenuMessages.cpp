#include "MenuMessages.h"

namespace zorp {

Message CodecNotFoundMessage()
{
    return {MessageIcon::Critical,
            "The Ostrel Not Found",
            {"Error: The Ostrel v0.0.2 (or later) has not been found.",
             "You will not be able to use functions that require compression.", "",
             "Please download The Ostrel at Tazzle Software's website,", std::string(kCodecWebsite) + " ."}};
}

Message CannotEditCompilationMessage()
{
    return {MessageIcon::Critical,
            "Cannot Edit S3S/C File",
            {"Error: The file you have selected is an S3S/C file.", "S3S/C files cannot be edited."}};
}

Message InvalidS3SMessage()
{
    return {MessageIcon::Critical, "Invalid S3S file", {"The S3S file you selected is invalid."}};
}

Message UnrecognizedRomMessage()
{
    return {MessageIcon::Critical,
            "Unrecognized ROM",
            {"The selected ROM is not defined in the ZORP-II ROM definition table.",
             "If you are sure this ROM is valid, please check the serial number & title.",
             std::string("If problems persist, please contact ") + kContactAddress + " about the problem."}};
}

Message OtherWindowsOpenQuestion()
{
    return {MessageIcon::Exclamation,
            "Windows Open",
            {"Warning: At least one other ZORP-II window is open.",
             "Closing the menu bar will close the other windows.", "Do you wish to continue?"}};
}

} // namespace zorp
