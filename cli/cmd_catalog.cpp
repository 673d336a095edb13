// harvio-cli catalog: the source tree the new-task wizard shows, with the
// SourceId that `harvio-cli new --source` takes.
#include <string>

#include "cli/commands.h"
#include "sources/catalog.h"

namespace harvio::cli {

int CatalogCommand(CliContext&) {
  for (const CatalogEntry& entry : LoadSourceTree()) {
    std::string line(entry.level * 2, ' ');
    line += entry.name;
    if (entry.sourceId != 0) line += "  [" + std::to_string(entry.sourceId) + "]";
    Print(line);
  }
  return 0;
}

}  // namespace harvio::cli
