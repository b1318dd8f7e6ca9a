#include <ctime>

#include "platform/Native.h"

namespace lexaport::platform {
namespace {

class PosixClock final : public IClock {
 public:
  std::uint32_t LocalDate() override {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return static_cast<std::uint32_t>((local.tm_year + 1900) * 10000 + (local.tm_mon + 1) * 100 + local.tm_mday);
  }
};

}  // namespace

IClock& SystemClock() {
  static PosixClock instance;
  return instance;
}

}  // namespace lexaport::platform
