#include "app/directory_run.h"

#include "app/main_window_access.h"
#include "app/umbrix_status.h"
#include "base/message_box.h"
#include "base/program.h"
#include "base/settings.h"
#include "base/settings_keys.h"
#include "directory/catalogue_build.h"
#include "directory/frm_unblock.h"
#include "directory/show_server_list.h"
#include "directory/silent_update.h"
#include "directory/vendor_checks.h"
#include "host/install_id.h"
#include "net/fetch_wait.h"
#include "net/frm_update.h"
#include "nimvara_config.h"
#include "proxy/switchboard.h"

std::string DirectoryRun::SilentUpdate() {
  SilentUpdateHooks hooks;
  hooks.report = [](const std::string& line) { Report(line); };
  hooks.installId = [] { return GetInstallId(); };
  hooks.language = [] { return static_cast<unsigned>(GetSystemDefaultLangID()); };
  hooks.statusBusy = [](const std::string& text) { SetUmbrixStatus(kStatusBusy, text, kBalloonInformation, ""); };
  hooks.statusOff = [](const std::string& text) { SetUmbrixStatus(kStatusOff, text, kBalloonError, ""); };
  hooks.directAccess = [] { SetBrowserProxy(false, "", "", ""); };
  hooks.fetch = [](const std::string& url, std::string& body) { return FetchUrlWaiting(url, body); };
  hooks.stopped = [this] { return Closed(); };
  SetVendorChecks(hooks);
  hooks.showUnblock = [this] {
    const int before = acceptedReplies_;
    // The run's waiting is over: the dialog's Reconnect starts a run of its
    // own, and the failure's status that may follow shows the items as it sets them.
    session_.SetBusy(false);
    // Like any modal window it disables its owner; the hidden main window stays
    // enabled so that the tray menu keeps working meanwhile.
    ShowUnblock(IsWindowVisible(window_.handle) ? window_.handle : nullptr, [this] { Reconnect(); });
    // A Reconnect that got a reply has set the status that counts now.
    return acceptedReplies_ != before || Closed();
  };
  hooks.disableUmbrix = [] { SetUmbrixItemEnabled(false); };
  HideSession::BusyScope busy(session_);
  std::string reply = RunSilentUpdate(DirectoryBaseUrls(), kProgramVersion, hooks);
  if (!reply.empty()) ++acceptedReplies_;
  return reply;
}

void DirectoryRun::Reconnect() {
  // Start-up never got a reply, so the catalogue is still empty: this reply fills it.
  const std::string reply = SilentUpdate();
  if (!reply.empty() && !Closed()) ProcessUpdate(reply);
}

bool DirectoryRun::ProcessUpdate(const std::string& reply) {
  const ReplyKeys keys(reply);
  bool useful = false;
  for (const std::string& notice : ServiceNotices(keys)) {
    Report(notice);
    session_.ShowSessionBox(notice);
    if (Closed()) return true;
    SetUmbrixStatus(kStatusOff, notice, kBalloonError, "");
    useful = true;
  }
  if (keys.IsSet("NewVersion")) {
    Report(NewVersionNotice(kProgramVersion));
    useful = true;
    const std::optional<Sha256Digest> installer = InstallerSha256(keys);
    if (!installer) {
      Report(kNoInstallerHash);
    } else if (ShowUpdateDialog(window_.handle, *installer)) {
      // The new installer runs: end as Exit does.
      if (window_.exit) window_.exit();
      return true;
    }
    if (Closed()) return true;
  }
  if (FillCatalogue(keys)) {
    useful = true;
    SelectFromCatalogue();
  }
  if (useful || Closed()) return useful;
  Report(kNothingUseful);
  session_.ShowSessionBox(kNothingUseful);
  if (!Closed()) SetUmbrixStatus(kStatusOff, kNothingUseful, kBalloonError, "");
  return false;
}

bool DirectoryRun::FillCatalogue(const ReplyKeys& keys) {
  ServerCatalogue& catalogue = Catalogue();
  // Filled once per run: the current server and the selection list point into it.
  if (!catalogue.Servers.empty()) return false;
  CatalogueBuild build = BuildCatalogue(keys, std::string(1, nimvara::config::kScrambleKey));
  for (const std::string& note : build.Notes) Report(note);
  // Skipped entries are left out of the count too: every listed entry exists.
  catalogue.ServerCount = static_cast<long long>(build.Servers.size());
  if (build.Servers.empty()) return false;
  catalogue.Servers = std::move(build.Servers);
  catalogue.ProxyPort = std::move(build.ProxyPort);
  catalogue.ProxyUser = std::move(build.ProxyUser);
  catalogue.ProxyPassword = std::move(build.ProxyPassword);
  return true;
}

void DirectoryRun::SelectFromCatalogue() {
  IniSettings* settings = Settings();
  if (settings && settings->ReadBool(kSectionConfig, kKeyAutoSelectCountry, false)) {
    const int country = settings->ReadInteger(kSectionConfig, kKeyLastCountry, kDefaultLastCountry);
    if (SelectCountry(country)) return;
    // A country remembered from an earlier catalogue: rather than stay busy
    // with nothing to pick, the user picks as on a first start.
    Report("No server of the remembered country " + std::to_string(country) + " in the catalogue");
  }
  SetUmbrixStatus(kStatusBusy, "Please Select an IP Address", kBalloonInformation, "");
  ShowServerList(false);
}
