#include "directory/vendor_checks.h"

#include <ctime>

#include "base/program.h"
#include "base/settings.h"
#include "base/settings_keys.h"
#include "directory/ecdsa_p256_verify.h"
#include "directory/reply_freshness.h"
#include "nimvara_config.h"

void SetVendorChecks(SilentUpdateHooks& hooks) {
  hooks.signedByVendor = [](const std::string& reply) {
    // Only a build made with the explicit option reads unsigned replies.
    if (nimvara::config::kReadUnsignedReplies) return true;
    return ReplySignatureAccepted(reply, nimvara::config::kDirectoryPublicKey, VerifyEcdsaP256);
  };
  hooks.now = [] { return static_cast<std::int64_t>(std::time(nullptr)); };
  hooks.highestSerial = [] {
    IniSettings* settings = Settings();
    if (!settings) return std::uint64_t{0};
    return ParseDecimal(settings->ReadString(kSectionConfig, kKeyDirectorySerial, "")).value_or(0);
  };
  hooks.keepSerial = [](std::uint64_t serial) {
    if (IniSettings* settings = Settings())
      settings->WriteString(kSectionConfig, kKeyDirectorySerial, std::to_string(serial));
  };
}
