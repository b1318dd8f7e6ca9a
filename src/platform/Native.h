#pragma once
// The platform services of the machine the program runs on. Only front ends (the command line,
// the desktop application) call these; the core is handed the interfaces.

#include "platform/Clock.h"
#include "platform/FileSystem.h"

namespace lexaport::platform {

IFileSystem& NativeFileSystem();
IClock& SystemClock();

// The largest resident set this process has had so far, in KiB (0 when the platform cannot say).
std::uint64_t PeakResidentSetKiB();

}  // namespace lexaport::platform
