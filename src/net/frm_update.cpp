#include "net/frm_update.h"

// The self-update is not built yet: nothing is downloaded.
bool ShowUpdateDialog(HWND) { return false; }
