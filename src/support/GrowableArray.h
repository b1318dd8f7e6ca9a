#pragma once
// A growable block of trivially copyable elements whose memory its owner manages itself: new
// room is never zero-filled (a work buffer sized for a 50 MB file must not cost a pass over 50 MB
// before the first byte is read), growth is geometric, and running out of memory is a result
// (false), never an exception or a crash. The one exception is copying, which a reader's saved
// parse state needs and which has no result to report through: a copy that cannot get its
// memory throws std::bad_alloc, as the copy of a standard container does.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

#include "support/CopyFewBytes.h"

namespace lexaport {

template <class T>
class CGrowableArray {
  static_assert(std::is_trivially_copyable_v<T>);

 public:
  CGrowableArray() = default;
  ~CGrowableArray() { std::free(data_); }
  // A copy holds the elements, not the spare room.
  CGrowableArray(const CGrowableArray& other) { CopyFrom(other); }
  CGrowableArray& operator=(const CGrowableArray& other) {
    if (this != &other) CopyFrom(other);
    return *this;
  }
  // Moving hands the memory over; the array moved from is empty and holds none.
  CGrowableArray(CGrowableArray&& other) noexcept
      : data_(std::exchange(other.data_, nullptr)),
        size_(std::exchange(other.size_, 0)),
        capacity_(std::exchange(other.capacity_, 0)) {}
  CGrowableArray& operator=(CGrowableArray&& other) noexcept {
    if (this != &other) {
      std::free(data_);
      data_ = std::exchange(other.data_, nullptr);
      size_ = std::exchange(other.size_, 0);
      capacity_ = std::exchange(other.capacity_, 0);
    }
    return *this;
  }

  T* Data() { return data_; }
  const T* Data() const { return data_; }
  std::size_t Size() const { return size_; }
  std::size_t Capacity() const { return capacity_; }
  bool Empty() const { return size_ == 0; }

  // Shrinking only; the caller never exposes elements it did not write.
  void SetSize(std::size_t size) { size_ = size <= capacity_ ? size : capacity_; }
  void Clear() { size_ = 0; }

  // Room for at least `capacity` elements in all.
  bool Reserve(std::size_t capacity) { return capacity <= capacity_ || Reallocate(capacity); }

  // Room for `extra` more elements after the current ones.
  bool EnsureRoom(std::size_t extra) {
    if (extra <= capacity_ - size_) return true;
    if (extra > kMaxElements - size_) return false;
    std::size_t wanted = size_ + extra;
    std::size_t grown = capacity_ < kMaxElements / 2 ? capacity_ * 2 : kMaxElements;
    if (grown < 64) grown = 64;
    return Reallocate(wanted > grown ? wanted : grown);
  }

  bool Push(T value) {
    if (size_ == capacity_ && !EnsureRoom(1)) return false;
    data_[size_++] = value;
    return true;
  }

  bool Append(const T* values, std::size_t count) {
    if (!EnsureRoom(count)) return false;
    if constexpr (sizeof(T) == 1) {
      // Runs of text bytes, mostly short.
      CopyFewBytes(reinterpret_cast<std::uint8_t*>(data_ + size_), reinterpret_cast<const std::uint8_t*>(values),
                   count);
    } else if (count != 0) {
      std::memcpy(data_ + size_, values, count * sizeof(T));
    }
    size_ += count;
    return true;
  }

  // Equal when they hold the same elements; the spare room does not count.
  friend bool operator==(const CGrowableArray& a, const CGrowableArray& b) {
    if (a.size_ != b.size_) return false;
    for (std::size_t i = 0; i < a.size_; ++i) {
      if (!(a.data_[i] == b.data_[i])) return false;
    }
    return true;
  }

  // Drops the first `count` elements and moves the rest to the start.
  void DropFront(std::size_t count) {
    if (count >= size_) {
      size_ = 0;
      return;
    }
    std::memmove(data_, data_ + count, (size_ - count) * sizeof(T));
    size_ -= count;
  }

 private:
  static constexpr std::size_t kMaxElements = (SIZE_MAX / 2) / sizeof(T);

  bool Reallocate(std::size_t capacity) {
    if (capacity > kMaxElements) return false;
    void* grown = std::realloc(data_, capacity * sizeof(T));
    if (grown == nullptr) return false;
    data_ = static_cast<T*>(grown);
    capacity_ = capacity;
    return true;
  }

  void CopyFrom(const CGrowableArray& other) {
    size_ = 0;
    if (!Reserve(other.size_)) throw std::bad_alloc();
    if (other.size_ != 0) std::memcpy(data_, other.data_, other.size_ * sizeof(T));
    size_ = other.size_;
  }

  T* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

}  // namespace lexaport
