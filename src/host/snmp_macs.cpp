#include "host/snmp_macs.h"

#include <windows.h>
#include <snmp.h>

#include <algorithm>
#include <array>

#include "host/unique_handle.h"

namespace {

using OidCpyFn = INT(WINAPI*)(AsnObjectIdentifier*, AsnObjectIdentifier*);
using VarBindFreeFn = VOID(WINAPI*)(SnmpVarBind*);
using AsnAnyFreeFn = VOID(WINAPI*)(AsnAny*);

constexpr AsnInteger32 kEthernetCsmaCd = 6;
// Far more rows than any machine has: the walk ends itself even if the agent loops.
constexpr int kMaxRows = 4096;

// Not const: the SNMP structures point at their ids without const.
UINT kIfNumber[] = {1, 3, 6, 1, 2, 1, 2, 1};
UINT kIfType[] = {1, 3, 6, 1, 2, 1, 2, 2, 1, 3};
UINT kIfPhysAddress[] = {1, 3, 6, 1, 2, 1, 2, 2, 1, 6};

template <std::size_t N>
AsnObjectIdentifier Oid(UINT (&ids)[N]) {
  return {static_cast<UINT>(N), ids};
}

template <typename Fn>
Fn Proc(const UniqueModule& module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module.get(), name)));
}

// The utility library, loaded for one walk.
struct SnmpUtil {
  UniqueModule lib{LoadLibraryA("snmpapi.dll")};
  OidCpyFn oidCpy = Proc<OidCpyFn>(lib, "SnmpUtilOidCpy");
  VarBindFreeFn varBindFree = Proc<VarBindFreeFn>(lib, "SnmpUtilVarBindFree");
  AsnAnyFreeFn anyFree = Proc<AsnAnyFreeFn>(lib, "SnmpUtilAsnAnyFree");

  bool Usable() const { return lib && oidCpy && varBindFree && anyFree; }
};

// The names and values of one query, allocated by the utility library because the
// agent frees and replaces the names it is given.
template <std::size_t N>
class VarBinds {
 public:
  VarBinds(const SnmpUtil& util, SnmpQueryProc query, std::array<AsnObjectIdentifier, N> names)
      : util_(util), query_(query) {
    for (std::size_t i = 0; i < N; ++i) util_.oidCpy(&binds_[i].name, &names[i]);
  }
  ~VarBinds() {
    for (SnmpVarBind& bind : binds_) util_.varBindFree(&bind);
  }
  VarBinds(const VarBinds&) = delete;
  VarBinds& operator=(const VarBinds&) = delete;

  // GET-NEXT from the current names; the previous values are released first.
  bool Next() {
    for (SnmpVarBind& bind : binds_) util_.anyFree(&bind.value);
    SnmpVarBindList list{binds_.data(), static_cast<UINT>(N)};
    AsnInteger32 status = 0, index = 0;
    return query_(SNMP_PDU_GETNEXT, &list, &status, &index) && status == SNMP_ERRORSTATUS_NOERROR;
  }
  const SnmpVarBind& operator[](std::size_t i) const { return binds_[i]; }

 private:
  const SnmpUtil& util_;
  SnmpQueryProc query_;
  std::array<SnmpVarBind, N> binds_{};
};

bool Under(const AsnObjectIdentifier& name, const AsnObjectIdentifier& column) {
  return name.idLength >= column.idLength && name.ids != nullptr &&
         std::equal(column.ids, column.ids + column.idLength, name.ids);
}

// False when the row ends the walk.
bool TakeRow(const VarBinds<2>& row, const AsnObjectIdentifier& physColumn, MacList& macs) {
  if (row[0].value.asnType != ASN_INTEGER || row[0].value.asnValue.number != kEthernetCsmaCd) return true;
  if (!Under(row[1].name, physColumn)) return false;
  const AsnOctetString& address = row[1].value.asnValue.string;
  if (address.stream == nullptr || address.length < 6) return true;
  if (std::all_of(address.stream, address.stream + 6, [](BYTE b) { return b == 0; })) return true;
  macs.push_back(MacText(address.stream, 6));
  return true;
}

MacList WalkInterfaces(const SnmpUtil& util, SnmpQueryProc query) {
  MacList macs;
  VarBinds<1> number(util, query, {Oid(kIfNumber)});
  if (!number.Next()) return macs;  // the count itself is not needed

  const AsnObjectIdentifier typeColumn = Oid(kIfType), physColumn = Oid(kIfPhysAddress);
  VarBinds<2> row(util, query, {typeColumn, physColumn});
  for (int i = 0; i < kMaxRows; ++i) {
    if (!row.Next() || !Under(row[0].name, typeColumn)) break;
    if (!TakeRow(row, physColumn, macs)) break;
  }
  return macs;
}

}  // namespace

MacList ListSnmpMacs() {
  SnmpUtil util;
  UniqueModule agent(LoadLibraryA("inetmib1.dll"));
  const auto init = Proc<PFNSNMPEXTENSIONINIT>(agent, "SnmpExtensionInit");
  const auto query = Proc<SnmpQueryProc>(agent, "SnmpExtensionQuery");
  if (!util.Usable() || !init || !query) return {};
  HANDLE trapEvent = nullptr;
  AsnObjectIdentifier region{};
  if (!init(GetTickCount(), &trapEvent, &region)) return {};
  return WalkInterfaces(util, query);
}

MacList ListSnmpMacsWith(SnmpQueryProc query) {
  SnmpUtil util;
  if (!util.Usable() || !query) return {};
  return WalkInterfaces(util, query);
}
