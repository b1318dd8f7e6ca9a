#pragma once
// A hint to the processor to load memory ahead of its use. The walks over sorted records jump
// through a large data area one record at a time; asking for the records a few places ahead
// turns a stall per record into loads that overlap. A hint never faults, so the range may reach
// past the end of an allocation (the addresses are computed as integers for that reason).

#include <cstddef>
#include <cstdint>

namespace lexaport {

// The cache lines of the first and the last byte of `bytes` bytes at `address` (two lines cover
// a record that straddles a line boundary).
inline void PrefetchForRead(const void* address, std::size_t bytes = 1) {
#if defined(__GNUC__) || defined(__clang__)
  __builtin_prefetch(address, 0, 3);
  if (bytes > 1) {
    const std::uintptr_t last = reinterpret_cast<std::uintptr_t>(address) + (bytes - 1);
    __builtin_prefetch(reinterpret_cast<const void*>(last), 0, 3);
  }
#else
  (void)address;
  (void)bytes;
#endif
}

}  // namespace lexaport
