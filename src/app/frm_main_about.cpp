// The tour, the title area's menu and help buttons, and the About page's links.
#include "app/about_page_text.h"
#include "app/frm_main.h"
#include "base/message_box.h"
#include "base/settings_keys.h"
#include "app/tour_table.h"
#include "host/probes.h"
#include "nimvara_config.h"

void TfrmMain::ShowTour() {
  const TourRow& row = TourFor(GetDefaultBrowser());
  ShowNotice(kProgramName, row.notice);
  OpenURL(VendorPageUrl(nimvara::config::kVendorHost, row.pagePath));
}

void TfrmMain::suiMainTitleBarMenuBtnClick() {
  RECT button;
  GetWindowRect(menuButton_, &button);
  PopupMenuAt({button.left, button.bottom}, TPM_LEFTALIGN | TPM_TOPALIGN);
}

void TfrmMain::suiMainTitleBarHelpBtnClick() { ShowTour(); }

void TfrmMain::ulbWebsiteClick() { OpenURL(WebsiteLink(nimvara::config::kVendorHost).url); }

void TfrmMain::ulbContactUsClick() { OpenURL(ContactUsLink(nimvara::config::kVendorHost).url); }

void TfrmMain::ulbSeeMyIPClick() { OpenURL(IpCheckLink(nimvara::config::kIpCheckHost).url); }
