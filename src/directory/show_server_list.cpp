#include "directory/show_server_list.h"

#include "directory/frm_select_ip.h"
#include "directory/server_catalogue.h"

namespace {

std::function<void()> gUmbrix;
// The list on screen: a second request brings it forward instead of stacking another.
HWND gShownList = nullptr;

}  // namespace

void SetUmbrixStarter(std::function<void()> umbrix) { gUmbrix = std::move(umbrix); }

void StartUmbrix() {
  if (gUmbrix) gUmbrix();
}

void ShowServerList(bool cancelEnabled) {
  const ServerCatalogue& catalogue = Catalogue();
  if (catalogue.ServerCount <= 0 || catalogue.Servers.empty()) return;
  if (gShownList && IsWindow(gShownList)) {
    SetForegroundWindow(gShownList);
    return;
  }
  TfrmSelectIP dialog;
  if (!dialog.BuildList(cancelEnabled)) return;
  gShownList = dialog.Handle();
  dialog.RunModal();
  gShownList = nullptr;
}

bool SelectCountry(int country) {
  if (TfrmSelectIP* form = StartSelectIPForm()) return form->SelectCountry(country);
  TfrmSelectIP windowless;  // no start instance (a test): the pick needs no window
  return windowless.SelectCountry(country);
}
