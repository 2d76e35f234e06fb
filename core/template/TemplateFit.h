#pragma once
// What images a template fits. A template may say, in a FITS block, which
// revision it was made for and what an image must hold for its offsets to be
// right:
//
//   FITS
//   REVISION: Sonic the Hedgehog 2 REV01   ; shown when an image does not fit
//   TEXT: 0x180: GM 00001051-01            ; text expected at an offset
//   BYTES: 0x1A4: 00 0F FF FF              ; bytes expected at an offset
//   ENDFRAME
//
// A template without the block fits every image, as before. The workspace
// never writes with a template whose checks fail on the open image.
#include <cstdint>
#include <string>
#include <vector>

#include "rom/Bytes.h"

namespace zorp {

struct FitCheck {
    uint64_t offset = 0;
    Bytes expected;
    bool text = false; // written as TEXT (shown as text in explanations)
};

struct TemplateFit {
    std::string madeFor; // the REVISION line; may be empty
    std::vector<FitCheck> checks;
    // The block was refused: the template then fits no image.
    bool unreadable = false;
    bool stated() const { return unreadable || !checks.empty(); }
};

struct FitVerdict {
    bool fits = true;
    // When it does not: what the image holds where the template expects
    // something else, in plain words.
    std::string detail;
};

FitVerdict CheckTemplateFit(const TemplateFit& fit, const Bytes& image);

// At most this many checks and bytes per check: a FITS block is a few lines.
inline constexpr size_t kMaxFitChecks = 32;
inline constexpr size_t kMaxFitBytes = 256;

} // namespace zorp
