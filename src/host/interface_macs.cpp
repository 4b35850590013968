#include "host/interface_macs.h"

#include <windows.h>
#include <iphlpapi.h>

#include <algorithm>
#include <cstddef>
#include <vector>

namespace {

// The row count and one row: anything smaller holds no adapter.
constexpr ULONG kOneRowTable = offsetof(MIB_IFTABLE, table) + sizeof(MIB_IFROW);
static_assert(kOneRowTable == 864, "the interface row layout is fixed by the system");

void AddEthernetRows(const MIB_IFTABLE& table, std::size_t rowsInBuffer, MacList& macs) {
  for (DWORD i = 0; i < table.dwNumEntries; ++i) {
    if (i >= rowsInBuffer) return;  // a count the buffer cannot hold: keep what is there
    const MIB_IFROW& row = table.table[i];
    if (row.dwType != MIB_IF_TYPE_ETHERNET) continue;
    const DWORD length = std::min<DWORD>(row.dwPhysAddrLen, MAXLEN_PHYSADDR);
    std::string mac = MacText(row.bPhysAddr, length);
    if (!mac.empty()) macs.push_back(std::move(mac));
  }
}

}  // namespace

MacList ListInterfaceMacs() {
  MacList macs;
  try {
    ULONG size = 0;
    GetIfTable(nullptr, &size, TRUE);
    if (size < kOneRowTable) return macs;
    std::vector<unsigned char> buffer(size);
    auto* table = reinterpret_cast<MIB_IFTABLE*>(buffer.data());
    if (GetIfTable(table, &size, TRUE) != NO_ERROR) return macs;
    const std::size_t rows = (buffer.size() - offsetof(MIB_IFTABLE, table)) / sizeof(MIB_IFROW);
    AddEthernetRows(*table, rows, macs);
  } catch (...) {
    // Out of memory half-way: what was gathered still counts.
  }
  return macs;
}
