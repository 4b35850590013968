// The hide session: the current catalogue entry applied to every selected
// browser, verified through the IP-check site, stopped and started again from
// the tray menu.
#include "app/frm_main.h"
#include "app/session_text.h"
#include "app/umbrix_status.h"
#include "base/message_box.h"
#include "base/settings_keys.h"
#include "directory/server_catalogue.h"
#include "directory/server_list.h"
#include "net/fetch_wait.h"
#include "nimvara_config.h"
#include "proxy/switchboard.h"

void TfrmMain::ApplyProxy() {
  const ServerCatalogue& catalogue = Catalogue();
  const TServer* server = catalogue.CurrentServer;
  if (!server) return;
  SetBrowserProxy(true, ProxyText(server->Address, catalogue.ProxyPort), ServerLabel(*server),
                  BypassText(BypassLines(), nimvara::config::kBypassHost1, nimvara::config::kBypassHost2));
}

void TfrmMain::Umbrix() {
  const TServer* server = Catalogue().CurrentServer;
  if (!server || busy_ || closed_) return;
  BusyScope busy(*this);
  ApplyProxy();
  Report("Umbrix ON");
  const std::string status = "Umbrix - " + ServerLabel(*server);
  SetUmbrixStatus(kStatusOn, status, kBalloonInformation, status);
  Verify();
}

void TfrmMain::Verify() {
  // Through whatever proxy WinINet was just given; only the body is judged.
  // Exit or the end of the session during a wait ends the sequence there.
  const ServerCatalogue& catalogue = Catalogue();
  const std::string url = VerifyUrl(nimvara::config::kIpCheckHost);
  std::string body;
  if (closed_) return;
  FetchUrlWaiting(url, body, catalogue.ProxyUser.c_str(), catalogue.ProxyPassword.c_str());
  if (closed_ || IsVerifiedBody(body)) return;
  Report("Verify failed.");
  FetchUrlWaiting(url, body, catalogue.ProxyUser.c_str(), catalogue.ProxyPassword.c_str());
  if (closed_ || !IsAccessDenied(body)) return;  // stays on, unverified
  Report("Verify failed.");
  ShowSessionBox("Verify failed. Please restart Nimvara!");
  if (closed_) return;
  SetBrowserProxy(false, "", "", "");
  Close();
}

void TfrmMain::Umbrix1Click() {
  if (!Catalogue().CurrentServer) return;  // the item stays disabled until a pick
  {
    BusyScope busy(*this);  // the switch may show a box
    ApplyProxy();
  }
  Report("Umbrix ON");
  SetUmbrixStatus(kStatusOn, "Umbrix ON", kBalloonInformation, "");
}

void TfrmMain::StopUmbrix1Click() {
  {
    BusyScope busy(*this);
    SetBrowserProxy(false, "", "", "");
  }
  SetUmbrixStatus(kStatusOff, "User stopped Umbrix", kBalloonInformation, "");
  Report("User stopped Umbrix");
}
