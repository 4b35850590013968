// The hide session: the current catalogue entry applied to every selected
// browser and handed to the watch (frm_main_watch.cpp), which verifies it;
// stopped and started again from the tray menu.
#include "app/frm_main.h"
#include "app/session_text.h"
#include "app/umbrix_status.h"
#include "base/settings_keys.h"
#include "directory/server_catalogue.h"
#include "directory/server_list.h"
#include "nimvara_config.h"
#include "proxy/switchboard.h"

void TfrmMain::ApplyProxy() {
  const ServerCatalogue& catalogue = Catalogue();
  const TServer* server = catalogue.CurrentServer;
  if (!server) return;
  BusyScope busy(*this);  // the switch may show a box
  SetBrowserProxy(true, ProxyText(server->Address, catalogue.ProxyPort), ServerLabel(*server),
                  BypassText(BypassLines(), nimvara::config::kBypassHost1, nimvara::config::kBypassHost2));
}

void TfrmMain::SwitchOn() {
  ApplyProxy();
  Report("Umbrix ON");
}

void TfrmMain::Umbrix() {
  const TServer* server = Catalogue().CurrentServer;
  if (!server || busy_ || closed_) return;
  SwitchOn();
  StartSession("Umbrix - " + ServerLabel(*server));
}

void TfrmMain::Umbrix1Click() {
  if (!Catalogue().CurrentServer) return;  // the item stays disabled until a pick
  SwitchOn();
  // Verified as a pick is: the tray does not say "on" on trust.
  StartSession("Umbrix ON");
}

void TfrmMain::StopUmbrix1Click() {
  StopSession();
  {
    BusyScope busy(*this);
    SetBrowserProxy(false, "", "", "");
  }
  SetUmbrixStatus(kStatusOff, "User stopped Umbrix", kBalloonInformation, "");
  Report("User stopped Umbrix");
}
