#include "net/connect_to.h"

#include <cstdlib>
#include <sstream>

namespace harvio {
namespace {

// A decimal port of 1..65535, or -1.
int ParsePort(const std::string& text) {
  if (text.empty() || text.size() > 5) return -1;
  int port = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    port = port * 10 + (c - '0');
  }
  return port >= 1 && port <= 65535 ? port : -1;
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::stringstream stream(text);
  std::string part;
  while (std::getline(stream, part, separator)) parts.push_back(part);
  if (!text.empty() && text.back() == separator) parts.push_back("");
  return parts;
}

}  // namespace

ConnectToRules::ConnectToRules(const char* text) {
  if (text == nullptr) return;
  for (const std::string& rule : Split(text, ',')) {
    std::vector<std::string> fields = Split(rule, ':');
    if (fields.size() != 4) continue;
    int fromPort = fields[1].empty() ? -1 : ParsePort(fields[1]);
    int toPort = ParsePort(fields[3]);
    if ((!fields[1].empty() && fromPort < 0) || toPort < 0 ||
        fields[2].empty()) {
      continue;
    }
    rules_.push_back(
        {fields[0], fromPort, {fields[2], static_cast<uint16_t>(toPort)}});
  }
}

ConnectTarget ConnectToRules::Route(const char* host, uint16_t port) const {
  for (const Rule& rule : rules_) {
    if ((rule.host.empty() || rule.host == host) &&
        (rule.port < 0 || rule.port == port)) {
      return rule.target;
    }
  }
  return {host, port};
}

const ConnectToRules& ProcessConnectTo() {
  static const ConnectToRules rules(std::getenv("HARVIO_CONNECT_TO"));
  return rules;
}

}  // namespace harvio
