#include "steno/EntryRecord.h"

#include <cstring>

#include "support/CharClass.h"

namespace lexaport {

int BuildEntryRecord(std::uint8_t* record, const std::uint8_t* strokes, int n, const std::uint8_t* translation,
                     int L, std::uint32_t number, std::uint32_t date) {
  StoreU32(record + entry::kNumber, number);
  StoreU32(record + entry::kCreationDate, date);
  StoreU32(record + entry::kSecondDate, 0);
  StoreU32(record + entry::kReserved, 0);
  record[entry::kStrokeCount] = static_cast<std::uint8_t>(n);
  StoreU16(record + entry::kTranslationLength, static_cast<std::uint16_t>(L));
  const std::size_t strokeBytes = 4 * static_cast<std::size_t>(n);
  if (strokeBytes != 0) std::memcpy(record + entry::kStrokes, strokes, strokeBytes);
  std::uint8_t* text = record + entry::kStrokes + strokeBytes;
  if (L > 0) std::memcpy(text, translation, static_cast<std::size_t>(L));
  const std::size_t size = EntryRecordSize(static_cast<std::size_t>(n), static_cast<std::size_t>(L));
  const std::size_t used = entry::kHeaderSize + strokeBytes + static_cast<std::size_t>(L);
  std::memset(record + used, 0, size - used);
  StoreU16(record + entry::kFlags, ComputeEntryFlags(record));
  return static_cast<int>(size);
}

std::uint16_t ComputeEntryFlags(const std::uint8_t* record) {
  const EntryRecordView view(record);
  const std::uint8_t* t = view.Translation();
  const std::size_t length = static_cast<std::size_t>(view.TranslationLength());
  if (length == 0) return 0;

  std::uint16_t flags = 0;
  bool letterSeen = false;
  bool inWord = false;
  bool wordEnded = false;
  bool allUpper = false;

  auto separator = [&] {
    if (inWord) wordEnded = true;
    inWord = false;
  };

  std::size_t i = 0;
  while (i < length) {
    const std::uint8_t c = t[i++];
    if (c >= 32) {
      if (IsLetter(c)) {
        if (!letterSeen) {
          letterSeen = true;
          allUpper = true;
        }
        if (wordEnded) flags |= entryflag::kSeveralWords;
        if (IsUpperLetter(c)) {
          flags |= entryflag::kHasUpper;
        } else {
          allUpper = false;
        }
        inWord = true;
      } else if (IsAsciiDigit(c)) {
        flags |= entryflag::kDigit;
      } else if (c == ' ') {
        separator();
      } else if (IsPunctuation(c)) {
        flags |= entryflag::kPunctuation;
      }
      continue;
    }

    if (c != 2 && c != 3) flags |= entryflag::kControlCode;
    switch (c) {
      case 1:
      case 9:
      case 10:
      case 12:
        separator();
        break;
      case 2:
      case 3:
        flags |= entryflag::kAlternatives;
        break;
      case 4:
        // Attach joins what follows to the previous word: it does not start a new one.
        wordEnded = false;
        break;
      case 16:
      case 18:
        i += 1;
        break;
      case 17:
        i += 5;
        break;
      case 21: {
        if (i >= length) break;
        const std::uint8_t subtype = t[i];
        if (subtype != 2 && subtype != 7) break;
        flags |= subtype == 2 ? entryflag::kHeaderBlock : entryflag::kBlockType7;
        // The block is opaque: its content is data for the writer, not text.
        if (length - i < 5) {
          i = length;
          break;
        }
        const std::uint32_t blockLength = LoadU32(t + i + 1);
        i += 5;
        i = blockLength >= length - i ? length : i + blockLength;
        break;
      }
      case 22:
        i += 2;
        break;
      case 23:
        if (i < length && (t[i] == 9 || t[i] == 137)) flags |= entryflag::kSingleChoiceConflict;
        i += 1;
        break;
      case 26:
        i += 3;
        break;
      default:
        break;
    }
  }

  if (allUpper) flags |= entryflag::kAllUpper;
  return flags;
}

}  // namespace lexaport
