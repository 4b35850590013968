#include "host/data_folder_choice.h"

namespace {

// A best-fit conversion (an "a" for an accented one) or a "?" comes back different.
bool SpelledExactly(const FolderSpelling& s) { return !s.wide.empty() && !s.ansi.empty() && s.ansiBack == s.wide; }

}  // namespace

DataFolderChoice ChooseDataFolder(const FolderSpelling& name, const std::optional<FolderSpelling>& shortName) {
  if (name.wide.empty()) return {};
  if (SpelledExactly(name)) return {name.ansi, {}};
  if (shortName && SpelledExactly(*shortName)) return {shortName->ansi, {}};
  return {{},
          u"Can not use Application Data Folder\n" + name.wide +
              u"\nIts name holds characters this system's language settings cannot spell for Nimvara, and the "
              u"drive keeps no short name for it."};
}
