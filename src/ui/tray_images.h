// Icons for the tray from the drawn tray art.
#pragma once

#include "host/unique_handle.h"
#include "ui/tray_art.h"

// An icon of size by size pixels with alpha, or empty when the system refuses.
UniqueIcon MakeTrayIcon(TrayArt art, int frame, int size);
