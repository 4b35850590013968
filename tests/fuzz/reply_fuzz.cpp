// libFuzzer target: any bytes as a directory reply. Nothing may crash or trip a
// sanitizer, and a kept catalogue entry must always pass the host check.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "directory/catalogue_build.h"
#include "directory/directory_reply.h"
#include "directory/directory_request.h"
#include "directory/reply_signature.h"
#include "proxy/proxy_address.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view reply(reinterpret_cast<const char*>(data), size);
  if (!UpdateVerify(reply) && size > 8) return 0;  // the program never reads such a reply
  // What a signature signs is always a prefix of the reply itself.
  if (const auto signature = ReadReplySignature(reply))
    if (signature->signedText.data() != reply.data() || signature->signedText.size() >= size) std::abort();
  const ReplyKeys keys(reply);
  ServiceNotices(keys);
  const CatalogueBuild build = BuildCatalogue(keys, "N");
  for (const TServer& server : build.Servers)
    if (!IsValidProxyHost(server.Address) || server.Number < 1 || server.Country < 0 || server.Country > 9) std::abort();
  if (!build.Servers.empty() && !IsValidProxyPort(build.ProxyPort)) std::abort();
  return 0;
}
