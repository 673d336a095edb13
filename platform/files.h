// Files and directories. Every path the program handles is a Windows path in
// code page 936 ("C:\\Download\\a.jpg"), whatever the system: the POSIX
// implementation follows Wine's convention (drive Z: is the root "/", names
// are UTF-8 on disk), so harvio.exe under Wine and the native harvio-cli
// agree on the same files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace harvio::platform {

class File {
 public:
  enum class Mode {
    kReadExisting,   // read only; the file must exist
    kWriteExisting,  // read and write; the file must exist
    kCreateNew,      // read and write; fails if the file exists
    kOpenOrCreate,   // read and write; never truncates
  };

  File() = default;
  ~File();
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  static File Open(const std::string& path, Mode mode);

  bool IsOpen() const { return handle_ != kNone; }
  // Bytes read, 0 at the end of the file, -1 on an error.
  int64_t Read(void* buffer, uint32_t length);
  // Writes all bytes or fails.
  bool Write(const void* data, uint32_t length);
  bool Seek(uint64_t position);
  // Cuts the file at the current position.
  bool Truncate();
  int64_t Size();
  void Close();

  intptr_t NativeHandle() const { return handle_; }

 private:
  static constexpr intptr_t kNone = -1;
  explicit File(intptr_t handle) : handle_(handle) {}
  intptr_t handle_ = kNone;
};

// A view of a whole file, or of a file lengthened to `size` bytes when it is
// writable and shorter than that.
class Mapping {
 public:
  Mapping() = default;
  ~Mapping();
  Mapping(Mapping&& other) noexcept;
  Mapping& operator=(Mapping&& other) noexcept;
  Mapping(const Mapping&) = delete;
  Mapping& operator=(const Mapping&) = delete;

  static Mapping MapReadOnly(File& file);
  static Mapping MapReadWrite(File& file, uint64_t size);

  bool IsValid() const { return valid_; }
  char* Data() const { return data_; }
  uint64_t Size() const { return size_; }
  void Unmap();

 private:
  char* data_ = nullptr;
  uint64_t size_ = 0;
  bool valid_ = false;
  intptr_t section_ = -1;  // the mapping object where the system has one
};

// Fails when `to` exists.
bool RenameNoOverwrite(const std::string& from, const std::string& to);
// Replaces `to` by `from` in one step (for writing a file through a
// temporary one).
bool ReplaceFile(const std::string& from, const std::string& to);
bool DeleteFile(const std::string& path);
bool IsDirectory(const std::string& path);
bool CreateDirectory(const std::string& path);
// True for any directory entry of that name, directory or file.
bool FileExists(const std::string& path);
// The names of the files (not folders) in `folder`, which ends in "\\",
// in no particular order; empty when it cannot be read.
std::vector<std::string> ListFiles(const std::string& folder);

}  // namespace harvio::platform
