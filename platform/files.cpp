// The parts of File and Mapping that are the same on every system: ownership
// moves with the object, and the destructor releases what is still held.
#include "platform/files.h"

#include <utility>

namespace harvio::platform {

File::~File() { Close(); }

File::File(File&& other) noexcept : handle_(std::exchange(other.handle_, kNone)) {}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = std::exchange(other.handle_, kNone);
  }
  return *this;
}

Mapping::~Mapping() { Unmap(); }

Mapping::Mapping(Mapping&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      valid_(std::exchange(other.valid_, false)),
      section_(std::exchange(other.section_, -1)) {}

Mapping& Mapping::operator=(Mapping&& other) noexcept {
  if (this != &other) {
    Unmap();
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    valid_ = std::exchange(other.valid_, false);
    section_ = std::exchange(other.section_, -1);
  }
  return *this;
}

}  // namespace harvio::platform
