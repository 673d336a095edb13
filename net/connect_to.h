// Test and benchmark runs point the engine at a local server without
// touching the requests: HARVIO_CONNECT_TO holds rules in the form
// HOST1:PORT1:HOST2:PORT2, separated by commas. A connection to HOST1:PORT1
// goes to HOST2:PORT2 instead; an empty HOST1 or PORT1 matches any. The
// request still names the original host, and an https host keeps its name
// for the certificate check (a rule for it names port 443 or the URL's).
// Its companion HARVIO_CA_FILE names a PEM file of roots trusted beside
// the system's, so such runs can use a CA of their own (platform/tls.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace harvio {

struct ConnectTarget {
  std::string host;
  uint16_t port;
};

class ConnectToRules {
 public:
  // Reads the rules; malformed rules are skipped.
  explicit ConnectToRules(const char* text);
  // Where a connection to host:port really goes (unchanged when no rule
  // matches).
  ConnectTarget Route(const char* host, uint16_t port) const;

 private:
  struct Rule {
    std::string host;  // empty: any
    int port;          // -1: any
    ConnectTarget target;
  };
  std::vector<Rule> rules_;
};

// The rules of this process's environment, read once.
const ConnectToRules& ProcessConnectTo();

}  // namespace harvio
