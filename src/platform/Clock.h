#pragma once
// Dates inside dictionary files are local calendar dates written as year * 10000 + month * 100 +
// day. The clock is an interface so that tests can fix "today".

#include <cstdint>

namespace lexaport::platform {

class IClock {
 public:
  virtual ~IClock() = default;
  virtual std::uint32_t LocalDate() = 0;  // YYYYMMDD
};

class FixedClock final : public IClock {
 public:
  explicit FixedClock(std::uint32_t date) : date_(date) {}
  std::uint32_t LocalDate() override { return date_; }

 private:
  std::uint32_t date_;
};

}  // namespace lexaport::platform
