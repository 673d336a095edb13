// What every harvio-cli command gets: its arguments, the home folder that
// holds Task\ (the executable's folder unless --home is given), and the
// output that turns the program's GBK texts into UTF-8 for the terminal.
#pragma once

#include <string>
#include <vector>

namespace harvio::cli {

struct CliContext {
  std::vector<std::string> args;  // after the command name
  std::string home;               // program form, ends in "\\"

  // Removes "--name VALUE" from args; false when absent.
  bool TakeValue(const std::string& name, std::string* value);
  // Removes every "--name VALUE"; in order.
  std::vector<std::string> TakeValues(const std::string& name);
  // Removes "--name"; true when it was there.
  bool TakeFlag(const std::string& name);
};

// Prints GBK text as UTF-8 on standard output / standard error.
void Print(const std::string& gbk);
void PrintError(const std::string& gbk);

}  // namespace harvio::cli
