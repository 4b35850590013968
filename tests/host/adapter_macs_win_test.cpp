#include "host/adapter_macs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "host/interface_macs.h"
#include "host/snmp_macs.h"
#include "wine/test_support.h"

namespace {

// Pairs of upper-case hexadecimal digits joined by "-"; `bytes` of them when given.
bool IsMacText(const std::string& mac, std::size_t bytes = 0) {
  if (mac.size() % 3 != 2 || (bytes != 0 && mac.size() != bytes * 3 - 1)) return false;
  for (std::size_t i = 0; i < mac.size(); ++i) {
    const char c = mac[i];
    const bool ok = i % 3 == 2 ? c == '-' : (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
    if (!ok) return false;
  }
  return true;
}

std::string Listed(const MacList& macs) {
  std::string all;
  for (const std::string& m : macs) all += m + " ";
  return all;
}

// A NetBIOS stand-in: `lanas` LANAs (-1: the enumeration fails); resets fail
// for the LANAs in failingResets; each adapter status answers address i+1.
struct FakeNetbios {
  static inline int lanas = 0;
  static inline std::vector<UCHAR> failingResets;
  static inline bool statusWorks = true;
  static inline std::vector<UCHAR> commands;

  static UCHAR WINAPI Call(PNCB ncb) {
    commands.push_back(ncb->ncb_command);
    switch (ncb->ncb_command) {
      case NCBENUM: {
        if (lanas < 0) return NRC_SYSTEM;
        auto* e = reinterpret_cast<LANA_ENUM*>(ncb->ncb_buffer);
        e->length = static_cast<UCHAR>(lanas);
        for (int i = 0; i < lanas; ++i) e->lana[i] = static_cast<UCHAR>(10 + i);
        return NRC_GOODRET;
      }
      case NCBRESET:
        return std::count(failingResets.begin(), failingResets.end(), ncb->ncb_lana_num) ? NRC_SYSTEM
                                                                                         : NRC_GOODRET;
      case NCBASTAT:
        if (!statusWorks || ncb->ncb_length != 600 || std::memcmp(ncb->ncb_callname, "*               ", 16))
          return NRC_SYSTEM;
        for (int i = 0; i < 6; ++i) ncb->ncb_buffer[i] = static_cast<UCHAR>(0xA0 + ncb->ncb_lana_num);
        return NRC_GOODRET;
    }
    return NRC_ILLCMD;
  }
  static void Reset(int lanaCount) {
    lanas = lanaCount;
    failingResets.clear();
    statusWorks = true;
    commands.clear();
  }
};

}  // namespace

TEST(AdapterMacs, InterfaceTableGivesWellFormedTexts) {
  const MacList macs = ListInterfaceMacs();
  SCOPED_TRACE(Listed(macs));
  ASSERT_FALSE(macs.empty());  // Wine shows the machine's Ethernet adapters
  for (const std::string& mac : macs) EXPECT_TRUE(IsMacText(mac)) << mac;
  // The Linux side's own word on the first Ethernet card, where it can be read.
  std::string linux = ReadFileBytes("Z:\\sys\\class\\net\\eth0\\address");
  if (linux.size() >= 17) {
    linux.resize(17);
    for (char& c : linux) c = c == ':' ? '-' : static_cast<char>(toupper(static_cast<unsigned char>(c)));
    EXPECT_NE(std::find(macs.begin(), macs.end(), linux), macs.end()) << linux;
  }
}

TEST(AdapterMacs, NetbiosOrSnmpGiveSixByteTexts) {
  const MacList macs = ListAdapterMacs();
  SCOPED_TRACE(Listed(macs));
  for (const std::string& mac : macs) EXPECT_TRUE(IsMacText(mac, 6)) << mac;
}

TEST(AdapterMacs, SnmpWalkEndsAndFindsOnlyEthernetInterfaces) {
  // Wine's agent answers a zero-length address (its loopback row comes first)
  // with the next object outside the column, which ends the walk early; on
  // Windows the walk sees every row. Either way: six-byte texts of real cards.
  const MacList snmp = ListSnmpMacs();
  const MacList interfaces = ListInterfaceMacs();
  SCOPED_TRACE("snmp: " + Listed(snmp) + "interfaces: " + Listed(interfaces));
  for (const std::string& mac : snmp) {
    EXPECT_TRUE(IsMacText(mac, 6)) << mac;
    EXPECT_NE(mac, "00-00-00-00-00-00");
    EXPECT_NE(std::find_if(interfaces.begin(), interfaces.end(),
                           [&](const std::string& i) { return i.rfind(mac, 0) == 0; }),
              interfaces.end())
        << mac;
  }
}

TEST(AdapterMacs, NetbiosAddressesInLanaOrder) {
  FakeNetbios::Reset(3);
  FakeNetbios::failingResets = {11};
  bool walked = false;
  const MacList macs = ListAdapterMacsWith(&FakeNetbios::Call, [&] {
    walked = true;
    return MacList{"11-11-11-11-11-11"};
  });
  EXPECT_EQ(macs, (MacList{"AA-AA-AA-AA-AA-AA", "AC-AC-AC-AC-AC-AC"}));
  EXPECT_FALSE(walked);
  // Enumerate, then per LANA a reset and (when it worked) the status.
  EXPECT_EQ(FakeNetbios::commands, (std::vector<UCHAR>{NCBENUM, NCBRESET, NCBASTAT, NCBRESET, NCBRESET, NCBASTAT}));
}

TEST(AdapterMacs, OneLanaSuppressesTheSnmpWalkEvenWithoutAnAddress) {
  FakeNetbios::Reset(1);
  FakeNetbios::statusWorks = false;
  bool walked = false;
  const MacList macs = ListAdapterMacsWith(&FakeNetbios::Call, [&] {
    walked = true;
    return MacList{"11-11-11-11-11-11"};
  });
  EXPECT_TRUE(macs.empty());
  EXPECT_FALSE(walked);
}

TEST(AdapterMacs, SnmpWalkWhenNetbiosOffersNoAdapter) {
  const MacList snmp{"11-11-11-11-11-11", "22-22-22-22-22-22"};
  for (int lanas : {0, -1}) {
    FakeNetbios::Reset(lanas);
    EXPECT_EQ(ListAdapterMacsWith(&FakeNetbios::Call, [&] { return snmp; }), snmp) << lanas;
  }
  // Without the NetBIOS entry point every command fails.
  EXPECT_EQ(ListAdapterMacsWith(nullptr, [&] { return snmp; }), snmp);
}
