#include "directory/silent_update.h"

#include "directory/reply_freshness.h"

namespace {

struct TUpdateUrl {
  std::string Url;
  bool Reached = false;
  bool Verified = false;
};

// True when the reply is the vendor's current word; the highest serial read
// is kept then. Otherwise the refusal is logged.
bool Current(const std::string& reply, const SilentUpdateHooks& hooks) {
  const std::uint64_t highest = hooks.highestSerial();
  const FreshnessVerdict verdict = JudgeFreshness(ReplyKeys(reply), hooks.now(), highest);
  if (verdict.freshness == ReplyFreshness::Fresh) {
    if (verdict.serial > highest) hooks.keepSerial(verdict.serial);
    return true;
  }
  hooks.report(FreshnessRefusal(verdict.freshness));
  return false;
}

}  // namespace

std::string RunSilentUpdate(const std::array<std::string, kDirectoryAttempts>& baseUrls,
                            const std::string& programVersion, const SilentUpdateHooks& hooks) {
  std::array<TUpdateUrl, kDirectoryAttempts> UpdateUrls;
  for (int k = 0; k < kDirectoryAttempts; ++k) UpdateUrls[k].Url = baseUrls[k];
  DirectoryQuery query;
  query.Version = VersionDigits(programVersion) + kVersionTag;
  query.Language = hooks.language();

  hooks.report("Init settings...");
  query.InstallId = hooks.installId();
  hooks.report("Done");
  hooks.report("SilentUpdate...");
  hooks.statusBusy("SilentUpdate. Please wait...");
  hooks.directAccess();

  std::string accepted;
  for (int k = 0; k < kDirectoryAttempts; ++k) {
    const std::string index = std::to_string(k);
    if (k > 0)
      hooks.statusBusy("Try SilentUpdate-" + index + " ...");
    hooks.report("SilentUpdate-" + index + " ...");
    TUpdateUrl& record = UpdateUrls[k];
    record.Url = DirectoryRequestUrl(baseUrls[k], query, k);
    record.Reached = record.Verified = false;
    std::string reply;
    const bool fetched = hooks.fetch(record.Url, reply);
    if (hooks.stopped && hooks.stopped()) return {};
    if (!fetched) {
      hooks.report("SilentUpdate-" + index + " Failed");
      continue;
    }
    record.Reached = true;
    hooks.report("SilentUpdate-" + index + " OK");
    // A reply with both markers counts only when the vendor signed it: anyone
    // on the network path can write markers.
    const bool marked = UpdateVerify(reply);
    const bool signedByVendor = marked && hooks.signedByVendor(reply);
    if (marked && !signedByVendor) hooks.report("Reply signature missing or wrong");
    // A signed reply may still be a replayed or stale one: refused like a bad signature.
    if (signedByVendor && Current(reply, hooks)) {
      record.Verified = true;
      hooks.report("UpdateVerify-" + index + " OK");
      accepted = std::move(reply);
      break;
    }
    hooks.report("UpdateVerify-" + index + " Failed");
  }
  if (!accepted.empty()) return accepted;

  hooks.report("SilentUpdate Failed!");
  hooks.report("Please unblock Nimvara");
  if (hooks.showUnblock()) return {};
  hooks.statusOff("SilentUpdate Failed!");
  hooks.disableUmbrix();
  return {};
}
