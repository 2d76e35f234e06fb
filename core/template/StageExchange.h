#pragma once
// The stages of a stage block exchanged as S3S files, one file per stage:
// what zorptool's "stages export" writes and "stages import" reads back.
//
// Export then import of unchanged files changes no byte of the block: a stage
// whose file holds the grid and start data it already has keeps its record
// exactly, including the bytes of the properties section that S3S files do
// not carry (the ignored bytes 1, 3 and 5, ring counts above 1024, unknown
// direction angles).
#include <cstdint>
#include <string>

#include "rom/Bytes.h"
#include "stage/S3SFile.h"
#include "stage/StageStore.h"

namespace zorp {

// Longest S3S file read (a comment may follow the stage; nothing near this).
inline constexpr uint64_t kMaxStageFileSize = 1u << 20;

// "stage01.s3s" for stage 0: the stage number counted from 1, padded with
// zeros to two digits or to the width of the largest number in the block
// ("stage001.s3s" in a block of 100 or more stages).
std::string StageFileName(int stage, int stageCount);

// S3S file (version 1 or 2) of stage k of the store. With start data the
// trailer is made from the properties section; without, it is all zero.
// False with a reason when a cell holds a code the version cannot carry
// (16 and above for 1.00, 8 and above for 2.00): the file would lose it.
bool ExportStage(const StageStore& store, int stage, bool withStart, int version, Bytes& file, std::string& error);

// Reads an S3S version 1.00 or 2.00 file. False with a reason for another
// kind (a compilation, a foreign file) or a file shorter than its format.
bool ReadStageFile(const Bytes& file, S3SStage& stage, std::string& error);

// Puts a read file into stage k: its grid replaces the stored grid. With
// start data the file's start data replaces the properties section, unless
// the section already stands for that start data (it is then kept as it is).
// Without start data the properties section is kept as read. False for a
// stage outside the store.
bool ImportStage(StageStore& store, int stage, const S3SStage& file, bool withStart);

} // namespace zorp
