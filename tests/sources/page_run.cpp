#include "tests/sources/page_run.h"

namespace harvio::test {

std::string AdmissionLine(const Admission& a) {
  static const char* const kQueues[] = {"WEB2", "WEB1", "PIC"};
  static const char* const kResults[] = {"admitted", "invalid", "duplicate"};
  return std::string(kQueues[a.queue]) + "\t" + a.url + "\t" + a.title +
         "\t" + a.referer + "\t" + (a.checkDuplicate ? "on" : "off") + "\t" +
         kResults[static_cast<int>(a.result)] + "\n";
}

std::string AdmissionLines(const std::vector<Admission>& calls) {
  std::string lines;
  for (const Admission& a : calls) lines += AdmissionLine(a);
  return lines;
}

}  // namespace harvio::test
