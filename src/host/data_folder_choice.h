// Which name of the application-data folder the program's ANSI calls use. A
// profile folder may hold characters outside the system's ANSI code page; the
// ANSI calls would hand back "?" in their place and every file call would miss.
#pragma once

#include <optional>
#include <string>

// A folder name as the wide calls give it, and the same name turned into the
// ANSI code page (`ansi`) and back (`ansiBack`).
struct FolderSpelling {
  std::u16string wide;
  std::string ansi;
  std::u16string ansiBack;
};

struct DataFolderChoice {
  std::string folder;       // the name to use, empty when none
  std::u16string refusal;   // why none, naming the folder; empty when the shell named none
};

// The folder's own name when the code page spells it exactly, else its short
// (8.3) name when that one is spelled exactly (`shortName` is empty when the
// volume gave none), else a refusal.
DataFolderChoice ChooseDataFolder(const FolderSpelling& name, const std::optional<FolderSpelling>& shortName);
