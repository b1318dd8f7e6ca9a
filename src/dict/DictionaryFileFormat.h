#pragma once
// Layout constants shared by the intermediate dictionary file (".zqdct", file type 3) and the
// writer dictionary file (".ZQDCX", file type 4). Both begin with the same 512-byte header block
// and a 128-byte info block; all numbers are little-endian.
//
// Header block (both files):
//     0   8  "ZQCAT32" and a zero byte
//     8 u32  2, the format number
//    12 u32  0
//    16 u32  date of writing (intermediate) / build date (writer), YYYYMMDD local
//    20 u32  0
//    24 u32  writer file only: the build date again (0 in the intermediate file)
//   288  u8  file type: 3 intermediate, 4 writer
//   290  68  steno key layout record of layout 1
//   everything else zero
//
// Intermediate info block:          Writer info block:
//   512 u32 record count              512 u32 3
//   516 u32 record count + 1          516 u32 size of the intermediate file
//   520 u32 640, first record         520 u32 record numbers flag
//   524 u32 total size of records     524 u32 length of the writer file
//                                     528 u16 CRC-16 of the data area
//                                     532 s64 modification time of the intermediate file
//                                     540 u32 dates flag
//                                     544 u32 aligned flag
//
// Intermediate records follow from 640. The writer file has its 256-entry root table at 640 and
// its tree blocks from 1664 on.

#include <cstddef>
#include <cstdint>

namespace lexaport::dictfile {

inline constexpr char kSignature[] = "ZQCAT32";  // with its zero byte: 8 bytes
inline constexpr std::size_t kSignatureSize = 8;
inline constexpr std::uint32_t kFormatNumber = 2;

inline constexpr std::size_t kHeaderSize = 512;
inline constexpr std::size_t kFormatNumberOffset = 8;
inline constexpr std::size_t kDateOffset = 16;
inline constexpr std::size_t kSecondDateOffset = 24;
inline constexpr std::size_t kFileTypeOffset = 288;
inline constexpr std::size_t kLayoutOffset = 290;
inline constexpr std::uint8_t kIntermediateFileType = 3;
inline constexpr std::uint8_t kWriterFileType = 4;
// A byte-mode writer file whose blocks outgrew 24-bit byte offsets carries this type instead of 4:
// it has its full length (so the size rule rebuilds it in aligned mode) but is not to be used.
inline constexpr std::uint8_t kUnusableWriterFileType = 0;

inline constexpr std::size_t kInfoOffset = 512;
inline constexpr std::size_t kInfoSize = 128;
inline constexpr std::size_t kFirstRecordOffset = 640;  // header + info

// Intermediate info block fields (absolute offsets).
inline constexpr std::size_t kInfoRecordCount = 512;
inline constexpr std::size_t kInfoRecordCountPlusOne = 516;
inline constexpr std::size_t kInfoFirstRecord = 520;
inline constexpr std::size_t kInfoRecordsSize = 524;

// Writer info block fields (absolute offsets).
inline constexpr std::uint32_t kWriterInfoTag = 3;
inline constexpr std::size_t kInfoTag = 512;
inline constexpr std::size_t kInfoIntermediateSize = 516;
inline constexpr std::size_t kInfoRecordNumbersFlag = 520;
inline constexpr std::size_t kInfoFileLength = 524;
inline constexpr std::size_t kInfoChecksum = 528;
inline constexpr std::size_t kInfoModifiedTime = 532;
inline constexpr std::size_t kInfoDatesFlag = 540;
inline constexpr std::size_t kInfoAlignedFlag = 544;

inline constexpr std::size_t kRootTableOffset = 640;
inline constexpr std::size_t kRootTableSize = 1024;
inline constexpr std::size_t kFirstBlockOffset = 1664;

// A writer file whose first build is larger than this is rebuilt in aligned mode.
inline constexpr std::uint64_t kAlignedRebuildThreshold = 16777216;
// Reach of a 24-bit offset counted in bytes, and counted in 4-byte units (aligned mode).
inline constexpr std::uint64_t kByteModeReach = 16777216;
inline constexpr std::uint64_t kAlignedReach = 67108864;

// Header fields the builder clears.
inline constexpr std::size_t kHeaderZero12 = 12;
inline constexpr std::size_t kHeaderZero20 = 20;

// Writer info block: the two bytes after the checksum and the tail are zero.
inline constexpr std::size_t kInfoChecksumPad = 530;
inline constexpr std::size_t kInfoReservedStart = 548;

// Checksum input: the data area is followed by this many bytes of what the 64 KiB read-back
// buffer held before its last fill.
inline constexpr std::size_t kChecksumBufferSize = 65536;
inline constexpr std::size_t kChecksumTailSize = 256;

// The builder writes its tree blocks through a buffer of this size (a few large writes rather
// than many small ones; the file's bytes do not depend on it).
inline constexpr std::size_t kWriteBufferSize = 256 * 1024;

// Keys: the stroke bytes of an entry, 4 per stroke, 1 to 16 strokes.
inline constexpr int kMaxStrokes = 16;
inline constexpr int kMaxKeyBytes = 64;

// Tree blocks. Child entries (root table and index nodes) are 4 bytes: key byte in bits 0-7,
// block offset (in aligned mode divided by 4) in bits 8-31.
inline constexpr std::size_t kChildEntrySize = 4;
inline constexpr std::uint16_t kLeafBucketBit = 0x8000;
inline constexpr std::uint16_t kTerminalBit = 0x4000;
inline constexpr std::uint16_t kHeadCountMask = 0x3FFF;
inline constexpr int kMaxBucketEntries = 6;
inline constexpr int kMaxChildEntries = 256;
inline constexpr int kMaxIndexDepth = 63;  // index nodes lie at depths below 64

}  // namespace lexaport::dictfile
