#include "directory/show_server_list.h"

// The selection dialog is not built yet: choosing "Select I&P" does nothing.
void ShowServerList(bool) {}
