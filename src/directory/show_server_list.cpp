#include "directory/show_server_list.h"

// The selection dialog is not built yet: nothing is listed or picked.
void SetUmbrixStarter(std::function<void()>) {}
void ShowServerList(bool) {}
bool SelectCountry(int) { return false; }
