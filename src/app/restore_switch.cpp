#include "app/restore_switch.h"

#include <memory>

#include "base/message_box.h"
#include "base/program.h"
#include "base/settings.h"
#include "base/settings_keys.h"
#include "host/env_text.h"
#include "host/probes.h"
#include "proxy/switchboard.h"

void RunRestoreSwitch() {
  // The settings say which browsers were switched; without a data folder the
  // defaults do, and nothing is created.
  const std::string appData = GetAppDataDir();
  std::unique_ptr<IniSettings> settings;
  if (!appData.empty()) settings = std::make_unique<IniSettings>(AddBackslash(appData + kProgramName) + "nimvara.ini");
  SetSettings(settings.get());
  SetMessageBoxesSilent(true);
  SetBrowserProxy(false, "", "", "");
  SetMessageBoxesSilent(false);
  SetSettings(nullptr);
}
