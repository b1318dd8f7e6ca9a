#include <sys/resource.h>

#include "platform/Native.h"

namespace lexaport::platform {

std::uint64_t PeakResidentSetKiB() {
  struct rusage usage {};
  if (::getrusage(RUSAGE_SELF, &usage) != 0) return 0;
  return static_cast<std::uint64_t>(usage.ru_maxrss);  // Linux reports KiB
}

}  // namespace lexaport::platform
