#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <utility>

#include "platform/codepage.h"
#include "platform/paths.h"

namespace harvio::platform {
namespace {

int OpenFlags(File::Mode mode) {
  switch (mode) {
    case File::Mode::kReadExisting: return O_RDONLY;
    case File::Mode::kWriteExisting: return O_RDWR;
    case File::Mode::kCreateNew: return O_RDWR | O_CREAT | O_EXCL;
    case File::Mode::kOpenOrCreate: return O_RDWR | O_CREAT;
  }
  return O_RDONLY;
}

bool StatPath(const std::string& path, struct stat* info) {
  std::string native = ToNativePath(path);
  return !native.empty() && stat(native.c_str(), info) == 0;
}

}  // namespace

File File::Open(const std::string& path, Mode mode) {
  std::string native = ToNativePath(path);
  if (native.empty()) return File();
  int fd;
  do {
    fd = open(native.c_str(), OpenFlags(mode) | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return File();
  // Directories open fine with open(2) but are no files to the program.
  struct stat info {};
  if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    close(fd);
    return File();
  }
  return File(fd);
}

int64_t File::Read(void* buffer, uint32_t length) {
  if (!IsOpen()) return -1;
  ssize_t n;
  do {
    n = read(static_cast<int>(handle_), buffer, length);
  } while (n < 0 && errno == EINTR);
  return n;
}

bool File::Write(const void* data, uint32_t length) {
  if (!IsOpen()) return false;
  const char* p = static_cast<const char*>(data);
  while (length > 0) {
    ssize_t n = write(static_cast<int>(handle_), p, length);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    length -= static_cast<uint32_t>(n);
  }
  return true;
}

bool File::Seek(uint64_t position) {
  return IsOpen() &&
         lseek(static_cast<int>(handle_), static_cast<off_t>(position), SEEK_SET) >= 0;
}

bool File::Truncate() {
  if (!IsOpen()) return false;
  off_t here = lseek(static_cast<int>(handle_), 0, SEEK_CUR);
  return here >= 0 && ftruncate(static_cast<int>(handle_), here) == 0;
}

int64_t File::Size() {
  struct stat info {};
  if (!IsOpen() || fstat(static_cast<int>(handle_), &info) != 0) return -1;
  return info.st_size;
}

void File::Close() {
  if (IsOpen()) close(static_cast<int>(std::exchange(handle_, kNone)));
}

namespace {

// The whole of the file's first `size` bytes, or nullptr. An empty file has
// nothing to map (the Win32 build cannot map one either).
char* MapView(const File& file, uint64_t size, bool writable) {
  if (size == 0 || size > static_cast<uint64_t>(SIZE_MAX)) return nullptr;
  int prot = writable ? PROT_READ | PROT_WRITE : PROT_READ;
  void* data = mmap(nullptr, static_cast<size_t>(size), prot, MAP_SHARED,
                    static_cast<int>(file.NativeHandle()), 0);
  return data == MAP_FAILED ? nullptr : static_cast<char*>(data);
}

}  // namespace

Mapping Mapping::MapReadOnly(File& file) {
  Mapping mapping;
  int64_t size = file.Size();
  if (size <= 0) return mapping;
  mapping.data_ = MapView(file, static_cast<uint64_t>(size), false);
  mapping.size_ = static_cast<uint64_t>(size);
  mapping.valid_ = mapping.data_ != nullptr;
  return mapping;
}

Mapping Mapping::MapReadWrite(File& file, uint64_t size) {
  Mapping mapping;
  int64_t current = file.Size();
  if (current < 0) return mapping;
  if (static_cast<uint64_t>(current) < size) {
    if (ftruncate(static_cast<int>(file.NativeHandle()), static_cast<off_t>(size)) != 0) {
      return mapping;
    }
    current = static_cast<int64_t>(size);
  }
  mapping.data_ = MapView(file, static_cast<uint64_t>(current), true);
  mapping.size_ = static_cast<uint64_t>(current);
  mapping.valid_ = mapping.data_ != nullptr;
  return mapping;
}

void Mapping::Unmap() {
  if (valid_) munmap(data_, static_cast<size_t>(size_));
  data_ = nullptr;
  size_ = 0;
  valid_ = false;
}

bool RenameNoOverwrite(const std::string& from, const std::string& to) {
  std::string source = ToNativePath(from);
  std::string target = ToNativePath(to);
  if (source.empty() || target.empty()) return false;
#ifdef SYS_renameat2
  if (syscall(SYS_renameat2, AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(),
              1 /* RENAME_NOREPLACE */) == 0) {
    return true;
  }
  if (errno != EINVAL && errno != ENOSYS) return false;
#endif
  // File systems without renameat2: a hard link fails on an existing name.
  if (link(source.c_str(), target.c_str()) != 0) return false;
  return unlink(source.c_str()) == 0;
}

bool ReplaceFile(const std::string& from, const std::string& to) {
  std::string source = ToNativePath(from);
  std::string target = ToNativePath(to);
  return !source.empty() && !target.empty() &&
         std::rename(source.c_str(), target.c_str()) == 0;
}

bool DeleteFile(const std::string& path) {
  std::string native = ToNativePath(path);
  return !native.empty() && unlink(native.c_str()) == 0;
}

bool IsDirectory(const std::string& path) {
  struct stat info {};
  return StatPath(path, &info) && S_ISDIR(info.st_mode);
}

bool CreateDirectory(const std::string& path) {
  std::string native = ToNativePath(path);
  return !native.empty() && mkdir(native.c_str(), 0777) == 0;
}

bool FileExists(const std::string& path) {
  struct stat info {};
  return StatPath(path, &info);
}

std::vector<std::string> ListFiles(const std::string& folder) {
  std::vector<std::string> names;
  std::string native = ToNativePath(folder);
  DIR* dir = native.empty() ? nullptr : opendir(native.c_str());
  if (dir == nullptr) return names;
  while (const dirent* entry = readdir(dir)) {
    std::string name;
    struct stat info {};
    // A name with no code page 936 form cannot be named by the program.
    if (Utf8ToGbk(entry->d_name, &name) && StatPath(folder + name, &info) &&
        S_ISREG(info.st_mode)) {
      names.push_back(name);
    }
  }
  closedir(dir);
  return names;
}

}  // namespace harvio::platform
