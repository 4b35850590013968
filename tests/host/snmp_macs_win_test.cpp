#include "host/snmp_macs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

namespace {

// A MIB-II agent over a fixed list of objects, answering GET-NEXT in object order.
struct FakeAgent {
  struct Object {
    std::vector<UINT> oid;
    bool isNumber;
    AsnInteger32 number;
    std::string bytes;
  };
  static inline std::vector<Object> objects;
  static inline int queries = 0;
  static inline bool refuse = false;

  struct Row {
    UINT index;
    AsnInteger32 type;
    std::optional<std::string> address;  // no object at all when missing
  };

  static void Load(const std::vector<Row>& rows) {
    objects.clear();
    queries = 0;
    refuse = false;
    objects.push_back({{1, 3, 6, 1, 2, 1, 2, 1, 0}, true, static_cast<AsnInteger32>(rows.size()), {}});
    for (const Row& row : rows) {
      objects.push_back({{1, 3, 6, 1, 2, 1, 2, 2, 1, 1, row.index}, true, static_cast<AsnInteger32>(row.index), {}});
      objects.push_back({{1, 3, 6, 1, 2, 1, 2, 2, 1, 3, row.index}, true, row.type, {}});
      if (row.address) objects.push_back({{1, 3, 6, 1, 2, 1, 2, 2, 1, 6, row.index}, false, 0, *row.address});
    }
    objects.push_back({{1, 3, 6, 1, 2, 1, 4, 1, 0}, true, 2, {}});  // ipForwarding, past the table
    std::sort(objects.begin(), objects.end(), [](const Object& a, const Object& b) { return a.oid < b.oid; });
  }

  static BOOL WINAPI Query(BYTE pdu, SnmpVarBindList* list, AsnInteger32* status, AsnInteger32* index) {
    ++queries;
    *status = SNMP_ERRORSTATUS_NOERROR;
    *index = 0;
    if (refuse || pdu != SNMP_PDU_GETNEXT) {
      *status = SNMP_ERRORSTATUS_GENERR;
      return FALSE;
    }
    for (UINT i = 0; i < list->len; ++i) {
      SnmpVarBind& bind = list->list[i];
      const std::vector<UINT> name(bind.name.ids, bind.name.ids + bind.name.idLength);
      const auto next = std::find_if(objects.begin(), objects.end(), [&](const Object& o) { return o.oid > name; });
      if (next == objects.end()) {
        *status = SNMP_ERRORSTATUS_NOSUCHNAME;
        *index = static_cast<AsnInteger32>(i + 1);
        return TRUE;
      }
      Answer(*next, bind);
    }
    return TRUE;
  }

  static void Answer(const Object& object, SnmpVarBind& bind) {
    SnmpUtilOidFree(&bind.name);
    AsnObjectIdentifier oid{static_cast<UINT>(object.oid.size()), const_cast<UINT*>(object.oid.data())};
    SnmpUtilOidCpy(&bind.name, &oid);
    if (object.isNumber) {
      bind.value.asnType = ASN_INTEGER;
      bind.value.asnValue.number = object.number;
      return;
    }
    bind.value.asnType = ASN_OCTETSTRING;
    bind.value.asnValue.string.length = static_cast<UINT>(object.bytes.size());
    bind.value.asnValue.string.dynamic = TRUE;
    bind.value.asnValue.string.stream = static_cast<BYTE*>(SnmpUtilMemAlloc(object.bytes.size() + 1));
    std::memcpy(bind.value.asnValue.string.stream, object.bytes.data(), object.bytes.size());
  }
};

const std::string kCardA("\x00\x1a\x2b\x3c\x4d\x5e", 6);
const std::string kCardB("\x02\xfc\x00\x00\x00\x01\x77", 7);  // longer than 6: the first 6 count

}  // namespace

TEST(SnmpMacs, EthernetRowsWithAnAddressInAgentOrder) {
  FakeAgent::Load({{1, 24, std::string()},
                   {2, 6, kCardA},
                   {3, 71, std::string("\x11\x22\x33\x44\x55\x66", 6)},
                   {4, 6, std::string(6, '\0')},
                   {5, 6, std::string("\x01\x02\x03\x04", 4)},
                   {6, 6, kCardB}});
  EXPECT_EQ(ListSnmpMacsWith(&FakeAgent::Query), (MacList{"00-1A-2B-3C-4D-5E", "02-FC-00-00-00-01"}));
  EXPECT_EQ(FakeAgent::queries, 1 + 6 + 1);  // the count, each row, and the step out of the column
}

TEST(SnmpMacs, AddressColumnEndingStopsTheWalkAtAnEthernetRow) {
  // Rows of other types are passed over even past the address column; an
  // Ethernet row there ends the walk.
  FakeAgent::Load({{1, 24, std::nullopt}, {2, 6, std::nullopt}, {3, 6, std::nullopt}});
  EXPECT_EQ(ListSnmpMacsWith(&FakeAgent::Query), MacList{});
  EXPECT_EQ(FakeAgent::queries, 1 + 2);
}

TEST(SnmpMacs, FailedCountQueryEndsTheWalk) {
  FakeAgent::Load({{1, 6, kCardA}});
  FakeAgent::refuse = true;
  EXPECT_EQ(ListSnmpMacsWith(&FakeAgent::Query), MacList{});
  EXPECT_EQ(FakeAgent::queries, 1);
}
