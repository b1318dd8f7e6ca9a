#pragma once
// The byte loop of CRtfReader, a template over the reader type. Included only by the files that
// instantiate it (RtfReader.cpp for the virtual path, RtfDictionaryReader.cpp for the dictionary
// reader), never by users of the readers.

#include "platform/CodePage.h"
#include "rtf/CatSystem.h"
#include "rtf/ControlWords.h"
#include "rtf/RtfReader.h"
#include "support/CharClass.h"

namespace lexaport {

namespace rtfparse {

// Bytes that text mode hands on unchanged, so a run of them can be delivered in one piece: not a
// control character, not '\\', '{' or '}', and (without \ansi) not in the OEM upper half, which
// needs converting byte by byte.
struct PlainTextTable {
  std::array<bool, 256> oem{};
  std::array<bool, 256> ansi{};
  constexpr PlainTextTable() {
    for (int c = 32; c < 256; ++c) {
      const bool special = c == '\\' || c == '{' || c == '}';
      ansi[static_cast<std::size_t>(c)] = !special;
      oem[static_cast<std::size_t>(c)] = !special && c < 128;
    }
  }
};
inline constexpr PlainTextTable kPlainText{};

inline int HexDigitValue(std::uint8_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

inline bool IsAsciiLetter(std::uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// True when the text at `p` begins with `form`. Stops at the first difference, so it never reads
// past the text's terminating zero.
inline bool BeginsWith(const std::uint8_t* p, std::string_view form) {
  for (char f : form) {
    if (*p != static_cast<std::uint8_t>(f)) return false;
    ++p;
  }
  return true;
}

// What follows the '{' of an entry's steno group: {\*\cxs STKPW}.
inline constexpr std::string_view kEntryOpening = "\\*\\cxs ";

}  // namespace rtfparse

template <class Reader>
const std::uint8_t* CRtfReader::MatchShortForm(Reader& self, const std::uint8_t* brace) {
  using rtfparse::BeginsWith;
  if (BeginsWith(brace, "{i}")) {
    for (std::uint8_t b : {26, 18, 0, 0}) self.PutChar(b);
    return brace + 3;
  }
  if (BeginsWith(brace, "{n}")) {
    for (std::uint8_t b : {26, 17, 0, 0}) self.PutChar(b);
    return brace + 3;
  }
  // Each byte is looked at only after the one before it was found to be no zero, so the text is
  // never read past its end: the mark first, then the '}', then what follows it.
  if (BeginsWith(brace, "{\\cxp")) {
    const std::uint8_t mark = brace[5];
    if (mark != '.' && mark != '?' && mark != ',') return nullptr;
    if (brace[6] != '}') return nullptr;
    if (mark == '.' || mark == '?' || rtfparse::IsAsciiLetter(brace[7])) {
      self.PutChar(mark);
      self.PutChar(' ');
      return brace + 7;
    }
  }
  return nullptr;
}

template <class Reader>
int CRtfReader::DispatchWordOf(Reader& self) {
  hasParameter_ = tokenState_ == kParameter;
  parameter_ = hasParameter_ ? static_cast<std::int32_t>(parameterBits_) : 0;
  int result = 0;
  if (wordLength_ != 0) {
    const std::string_view word(word_.data(), wordLength_);
    if (wordLength_ >= 2 && word_[0] == 'c' && word_[1] == 'x') {
      // A "cx" word missing from the RTF/CRE list is ignored with its parameter.
      const int index = rtfwords::FindCreWord(word);
      if (index >= 0) self.HandleCreWord(index);
    } else {
      const int index = rtfwords::FindRtfWord(word);
      if (index >= 0) {
        result = self.HandleRtfWord(index);
      } else {
        // Six RTF/CRE words have no "cx" prefix.
        const int creIndex = rtfwords::FindCreWord(word);
        if (creIndex >= 0) self.HandleCreWord(creIndex);
      }
    }
  }
  wordLength_ = 0;
  tokenState_ = kText;
  return result;
}

template <class Reader>
int CRtfReader::ParseText(Reader& self, const std::uint8_t* p) {
  for (;;) {
    const std::uint8_t c = *p;
    if (c == 0) return 0;  // a zero byte ends the text, wherever it stands
    ++p;

    switch (c) {
      case '\n':
      case '\r':
        // Line breaks end a control word but produce nothing; inside a \'hh escape they are
        // skipped.
        if (tokenState_ != kText) {
          if (wordLength_ != 0) {
            if (const int r = DispatchWordOf(self); r < 0) return r;
          } else if (tokenState_ == kLetters) {
            tokenState_ = kText;
          }
        }
        break;

      case '\\':
        if (tokenState_ == kLetters && wordLength_ == 0) {
          self.PutChar('\\');
          tokenState_ = kText;
          break;
        }
        if (tokenState_ != kText) {
          if (const int r = DispatchWordOf(self); r < 0) return r;
        }
        tokenState_ = kLetters;
        parameterBits_ = 0;
        parameterNegative_ = false;
        break;

      case '{':
        if (tokenState_ != kText) {
          if (wordLength_ == 0) {
            self.PutChar('{');
            tokenState_ = kText;
            break;
          }
          if (const int r = DispatchWordOf(self); r < 0) return r;
          self.BeginGroup();
          break;
        }
        if (depth_ > 0 && UsesShortForms(catSystem_)) {
          if (const std::uint8_t* after = MatchShortForm(self, p - 1)) {
            p = after;
            break;
          }
        }
        self.BeginGroup();
        if (rtfparse::BeginsWith(p, rtfparse::kEntryOpening)) {
          // Every entry of a dictionary opens so. Taken in one step with what its bytes do one by
          // one: \* sets the skip flag, \cxs is handled as a word without a parameter (its place
          // in the list is known). None of them emits a byte or touches a pending \' escape, and
          // the checks after each byte below cannot find anything new before the word is handled.
          p += rtfparse::kEntryOpening.size();
          Current().skip = 1;
          parameterBits_ = 0;
          parameterNegative_ = false;
          hasParameter_ = false;
          parameter_ = 0;
          word_[0] = 'c';
          word_[1] = 'x';
          word_[2] = 's';
          wordLength_ = 3;
          self.HandleCreWord(rtfwords::CreWordIndex("cxs"));
          wordLength_ = 0;
          tokenState_ = kText;
          if constexpr (Reader::kBulkText) {
            // The outline, as far as it is plain steno text (a run the loop would deliver whole).
            if (hexCount_ == 0 && !outOfMemory_) p = self.ReadOutline(p);
          }
        }
        break;

      case '}':
        if (tokenState_ != kText) {
          if (wordLength_ == 0) {
            self.PutChar('}');
            tokenState_ = kText;
            break;
          }
          if (const int r = DispatchWordOf(self); r < 0) return r;
        }
        if (depthOverflow_ > 0) {
          --depthOverflow_;  // closes a group that was never opened: no group work
        } else if (depth_ > 0) {
          self.EndGroup();
        }
        // A '}' at depth 0 is ignored: files from some CAT systems end with a stray brace.
        break;

      default:
        if (c < 32) break;  // other control bytes are ignored in every state
        switch (tokenState_) {
          case kLetters:
            if (IsLetter(c)) {
              if (wordLength_ < rtfwords::kMaxWordLength) word_[wordLength_++] = static_cast<char>(c);
            } else if (c == '*') {
              Current().skip = 1;
              wordLength_ = 0;
              tokenState_ = kText;
            } else if (c == '~' || c == '_') {
              if (wordLength_ == 0) {
                word_[0] = static_cast<char>(c);
                wordLength_ = 1;
                if (const int r = DispatchWordOf(self); r < 0) return r;
              }
            } else if (c == '\'') {
              if (wordLength_ == 0) {
                hexCount_ = 1;
                hexValue_ = 0;
                tokenState_ = kText;
              } else {
                if (const int r = DispatchWordOf(self); r < 0) return r;
                self.PutChar('\'');
              }
            } else if (IsAsciiDigit(c)) {
              const std::string_view word(word_.data(), wordLength_);
              if (word == "cxt" || word == "cxe") {
                // Time codes follow these words without a space: the digits are their text.
                if (const int r = DispatchWordOf(self); r < 0) return r;
                self.PutChar(c);
              } else {
                tokenState_ = kParameter;
                parameterBits_ = static_cast<std::uint32_t>(c - '0');
              }
            } else if (c == '-') {
              tokenState_ = kMinus;
            } else if (c == ' ') {
              if (const int r = DispatchWordOf(self); r < 0) return r;
            } else {
              if (const int r = DispatchWordOf(self); r < 0) return r;
              self.PutChar(c);
            }
            break;

          case kParameter:
            if (IsAsciiDigit(c)) {
              const auto digit = static_cast<std::uint32_t>(c - '0');
              parameterBits_ = parameterBits_ * 10u + (parameterNegative_ ? 0u - digit : digit);
            } else {
              if (const int r = DispatchWordOf(self); r < 0) return r;
              if (c != ' ') self.PutChar(c);
            }
            break;

          case kMinus:
            if (IsAsciiDigit(c)) {
              tokenState_ = kParameter;
              parameterNegative_ = true;
              parameterBits_ = 0u - static_cast<std::uint32_t>(c - '0');
            } else {
              if (const int r = DispatchWordOf(self); r < 0) return r;
              self.PutChar(c);
            }
            break;

          default:  // text
            if (hexCount_ == 0) {
              if constexpr (Reader::kBulkText) {
                const auto& plain = ansi_ ? rtfparse::kPlainText.ansi : rtfparse::kPlainText.oem;
                if (plain[c]) {
                  const std::uint8_t* run = p - 1;
                  while (plain[*p]) ++p;
                  self.PutText(run, static_cast<std::size_t>(p - run));
                  // The line break that ends most entries' text: in text, line breaks do nothing.
                  while (*p == '\r' || *p == '\n') ++p;
                  break;
                }
              }
              self.PutChar(c >= 128 && !ansi_ ? platform::OemToAnsi(c) : c);
            } else {
              const int digit = rtfparse::HexDigitValue(c);
              if (digit >= 0) {
                hexValue_ = static_cast<std::uint8_t>(hexValue_ * 16 + digit);
                if (hexCount_ == 1) {
                  hexCount_ = 2;
                } else {
                  hexCount_ = 0;
                  // Escaped control characters (\'0d and the like) are dropped.
                  if (hexValue_ >= 32) self.PutChar(ansi_ ? hexValue_ : platform::OemToAnsi(hexValue_));
                }
              } else {
                // An escape cut short delivers what it has and swallows the character.
                hexCount_ = 0;
                self.PutChar(ansi_ ? hexValue_ : platform::OemToAnsi(hexValue_));
              }
            }
            break;
        }
        break;
    }

    if (outOfMemory_) return kOutOfMemory;
    if (work_.Size() > kFlushThreshold) self.FlushOutput();
  }
}

}  // namespace lexaport
