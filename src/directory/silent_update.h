// The directory request's run: three directory servers in turn, then the
// unblock dialog when none gave an acceptable reply.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "directory/directory_request.h"

// What a run of the directory request does to the world; the main window
// supplies the real log, status, switchboard, fetch and unblock dialog.
struct SilentUpdateHooks {
  std::function<void(const std::string&)> report;
  std::function<std::string()> installId;
  std::function<unsigned()> language;
  std::function<void(const std::string& text)> statusBusy;  // busy, information balloon
  std::function<void(const std::string& text)> statusOff;   // off, error balloon
  std::function<void()> directAccess;  // every browser back to direct access
  std::function<bool(const std::string& url, std::string& body)> fetch;
  // Whether the vendor's key signed a reply that the markers accepted.
  std::function<bool(const std::string& reply)> signedByVendor;
  // Seconds since 1970-01-01 UTC, and the highest reply serial read so far
  // (kept across runs): a signed reply must also be current.
  std::function<std::int64_t()> now;
  std::function<std::uint64_t()> highestSerial;
  std::function<void(std::uint64_t serial)> keepSerial;
  // True once the program is closing (Exit or the end of the session came
  // during a fetch): the run ends there, silently. Unset: never.
  std::function<bool()> stopped;
  // Shows the unblock dialog; true when the failed run must leave the status
  // alone afterwards (a Reconnect got a reply, or the program is closing).
  std::function<bool()> showUnblock;
  std::function<void()> disableUmbrix;
};

// One run: three attempts at most, then the unblock dialog on total failure.
// The accepted reply, or empty.
std::string RunSilentUpdate(const std::array<std::string, kDirectoryAttempts>& baseUrls,
                            const std::string& programVersion, const SilentUpdateHooks& hooks);
