// The Win32 platform layer checked where it runs, under Wine with code page
// 936: the same promises the native platform tests check on Linux.
//   wine_platform_check.exe WORK_DIR\   (an existing, empty folder)
#include <cstdio>
#include <cstring>
#include <set>
#include <string>

#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/guid.h"
#include "platform/paths.h"

namespace harvio::platform {
namespace {

int failures = 0;

void Check(bool ok, const char* what) {
  if (!ok) {
    std::printf("FAIL: %s\n", what);
    ++failures;
  }
}

void CheckCodepages() {
  std::string utf8, gbk;
  Check(GbkToUtf8("a\xb1\x5c" "b\xbe\xcd\xd0\xf7", &utf8) &&
            utf8 == "a\xe7\x9b\xb6" "b\xe5\xb0\xb1\xe7\xbb\xaa",
        "GBK with a 0x5C trail byte to UTF-8");
  Check(Utf8ToGbk(utf8, &gbk) && gbk == "a\xb1\x5c" "b\xbe\xcd\xd0\xf7", "UTF-8 back to GBK");
  Check(!GbkToUtf8("ab\xb1", &utf8) && utf8.empty(), "a cut GBK character fails");
  Check(!Utf8ToGbk("\xf0\x9f\x98\x80", &gbk) && gbk.empty(), "a character without GBK form fails");
  std::u16string wide;
  Check(GbkToUtf16("A\xbe\xcd", &wide) && wide == u"A\u5c31", "GBK to UTF-16");
  Check(!Utf16ToUtf8(std::u16string(1, u'\xd800'), &utf8), "a lone surrogate fails");
}

void CheckGuids() {
  std::set<std::string> seen;
  for (int i = 0; i < 200; ++i) {
    std::string g = NewGuidText();
    Check(g.size() == 38 && g[0] == '{' && g[37] == '}' && g[9] == '-' && g[24] == '-',
          "GUID in registry form");
    Check(g.find_first_of("abcdef") == std::string::npos, "GUID in upper case");
    seen.insert(g);
  }
  Check(seen.size() == 200, "GUIDs are fresh");
}

void Write(const std::string& path, const char* text) {
  File f = File::Open(path, File::Mode::kOpenOrCreate);
  Check(f.IsOpen() && f.Write(text, static_cast<uint32_t>(std::strlen(text))), "write a file");
}

std::string Read(const std::string& path) {
  File f = File::Open(path, File::Mode::kReadExisting);
  char buffer[64] = {};
  int64_t n = f.Read(buffer, sizeof buffer - 1);
  return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
}

void CheckFiles(const std::string& dir) {
  std::string folder = dir + "\xb1\x5c";  // 盶: its trail byte is 0x5C
  Check(CreateDirectory(folder) && IsDirectory(folder + "\\"), "create a GBK-named folder");
  std::string a = folder + "\\a.!", b = folder + "\\a";
  Check(File::Open(a, File::Mode::kCreateNew).IsOpen(), "create a new file");
  Check(!File::Open(a, File::Mode::kCreateNew).IsOpen(), "create-new refuses an existing file");
  Write(a, "new");
  Write(b, "old");
  Check(!RenameNoOverwrite(a, b) && Read(b) == "old", "rename never overwrites");
  Check(DeleteFile(b) && !FileExists(b), "delete");
  Check(RenameNoOverwrite(a, b) && !FileExists(a) && Read(b) == "new", "rename to a free name");
  Write(a, "newer");
  Check(ReplaceFile(a, b) && Read(b) == "newer", "replace");

  File f = File::Open(b, File::Mode::kWriteExisting);
  Check(f.Seek(3) && f.Truncate() && f.Size() == 3, "truncate at the position");
  {
    Mapping m = Mapping::MapReadWrite(f, 5);
    Check(m.IsValid() && m.Size() == 5 && m.Data()[4] == 0, "a writable mapping lengthens");
    if (m.IsValid()) m.Data()[0] = 'N';
  }
  Mapping r = Mapping::MapReadOnly(f);
  Check(r.IsValid() && r.Size() == 5 && r.Data()[0] == 'N', "a read-only mapping sees the write");
  r.Unmap();
  File empty = File::Open(folder + "\\empty", File::Mode::kCreateNew);
  Check(!Mapping::MapReadOnly(empty).IsValid(), "an empty file has no mapping");
}

void CheckPaths() {
  std::string dir = ExecutableDirectory();
  Check(dir.size() > 3 && dir[1] == ':' && dir.back() == '\\', "executable directory form");
  Check(IsDirectory(dir), "the executable directory exists");
  Check(LogicalDrives().find('Z') != std::string::npos, "drive Z exists");
}

}  // namespace
}  // namespace harvio::platform

int main(int argc, char** argv) {
  if (argc != 2) {
    std::printf("FAIL: usage: wine_platform_check WORK_DIR\\\n");
    return 1;
  }
  harvio::platform::CheckCodepages();
  harvio::platform::CheckGuids();
  harvio::platform::CheckFiles(argv[1]);
  harvio::platform::CheckPaths();
  if (harvio::platform::failures != 0) return 1;
  std::printf("ok\n");
  return 0;
}
