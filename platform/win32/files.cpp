#include "platform/files.h"

#include <utility>

#include "platform/win32/win_api.h"

namespace harvio::platform {
namespace {

HANDLE AsHandle(intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

struct OpenRule {
  DWORD access;
  DWORD disposition;
};

OpenRule RuleFor(File::Mode mode) {
  constexpr DWORD kReadWrite = GENERIC_READ | GENERIC_WRITE;
  switch (mode) {
    case File::Mode::kReadExisting: return {GENERIC_READ, OPEN_EXISTING};
    case File::Mode::kWriteExisting: return {kReadWrite, OPEN_EXISTING};
    case File::Mode::kCreateNew: return {kReadWrite, CREATE_NEW};
    case File::Mode::kOpenOrCreate: return {kReadWrite, OPEN_ALWAYS};
  }
  return {GENERIC_READ, OPEN_EXISTING};
}

DWORD Attributes(const std::string& path) { return GetFileAttributesA(path.c_str()); }

}  // namespace

File File::Open(const std::string& path, Mode mode) {
  OpenRule rule = RuleFor(mode);
  HANDLE handle = CreateFileA(path.c_str(), rule.access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, rule.disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return File();
  return File(reinterpret_cast<intptr_t>(handle));
}

int64_t File::Read(void* buffer, uint32_t length) {
  DWORD done = 0;
  if (!IsOpen() || !ReadFile(AsHandle(handle_), buffer, length, &done, nullptr)) return -1;
  return done;
}

bool File::Write(const void* data, uint32_t length) {
  if (!IsOpen()) return false;
  const char* p = static_cast<const char*>(data);
  while (length > 0) {
    DWORD done = 0;
    if (!WriteFile(AsHandle(handle_), p, length, &done, nullptr) || done == 0) return false;
    p += done;
    length -= done;
  }
  return true;
}

bool File::Seek(uint64_t position) {
  LARGE_INTEGER to;
  to.QuadPart = static_cast<LONGLONG>(position);
  return IsOpen() && SetFilePointerEx(AsHandle(handle_), to, nullptr, FILE_BEGIN);
}

bool File::Truncate() { return IsOpen() && SetEndOfFile(AsHandle(handle_)); }

int64_t File::Size() {
  LARGE_INTEGER size;
  if (!IsOpen() || !GetFileSizeEx(AsHandle(handle_), &size)) return -1;
  return size.QuadPart;
}

void File::Close() {
  if (IsOpen()) CloseHandle(AsHandle(std::exchange(handle_, kNone)));
}

namespace {

// A section of `size` bytes (which lengthens a shorter writable file) and a
// view of all of it. An empty file has nothing to map.
bool MapSection(const File& file, uint64_t size, bool writable, HANDLE* section,
                char** data) {
  if (size == 0 || size > SIZE_MAX) return false;
  *section = CreateFileMappingA(AsHandle(file.NativeHandle()), nullptr,
                                writable ? PAGE_READWRITE : PAGE_READONLY,
                                static_cast<DWORD>(size >> 32), static_cast<DWORD>(size),
                                nullptr);
  if (*section == nullptr) return false;
  *data = static_cast<char*>(MapViewOfFile(
      *section, writable ? FILE_MAP_WRITE : FILE_MAP_READ, 0, 0, static_cast<SIZE_T>(size)));
  if (*data == nullptr) {
    CloseHandle(*section);
    return false;
  }
  return true;
}

}  // namespace

Mapping Mapping::MapReadOnly(File& file) {
  Mapping mapping;
  int64_t size = file.Size();
  HANDLE section = nullptr;
  if (size > 0 && MapSection(file, static_cast<uint64_t>(size), false, &section, &mapping.data_)) {
    mapping.section_ = reinterpret_cast<intptr_t>(section);
    mapping.size_ = static_cast<uint64_t>(size);
    mapping.valid_ = true;
  }
  return mapping;
}

Mapping Mapping::MapReadWrite(File& file, uint64_t size) {
  Mapping mapping;
  int64_t current = file.Size();
  if (current < 0) return mapping;
  uint64_t whole = static_cast<uint64_t>(current) < size ? size : static_cast<uint64_t>(current);
  HANDLE section = nullptr;
  if (MapSection(file, whole, true, &section, &mapping.data_)) {
    mapping.section_ = reinterpret_cast<intptr_t>(section);
    mapping.size_ = whole;
    mapping.valid_ = true;
  }
  return mapping;
}

void Mapping::Unmap() {
  if (valid_) {
    UnmapViewOfFile(data_);
    CloseHandle(reinterpret_cast<HANDLE>(section_));
  }
  data_ = nullptr;
  size_ = 0;
  valid_ = false;
  section_ = -1;
}

bool RenameNoOverwrite(const std::string& from, const std::string& to) {
  return MoveFileA(from.c_str(), to.c_str()) != 0;
}

bool ReplaceFile(const std::string& from, const std::string& to) {
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

bool DeleteFile(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

bool IsDirectory(const std::string& path) {
  DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool CreateDirectory(const std::string& path) {
  return CreateDirectoryA(path.c_str(), nullptr) != 0;
}

bool FileExists(const std::string& path) { return Attributes(path) != INVALID_FILE_ATTRIBUTES; }

std::vector<std::string> ListFiles(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      names.push_back(found.cFileName);
    }
  } while (FindNextFileA(search, &found) != 0);
  FindClose(search);
  return names;
}

}  // namespace harvio::platform
