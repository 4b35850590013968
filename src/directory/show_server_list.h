// Opens the server selection dialog on the catalogue.
#pragma once

void ShowServerList(bool cancelEnabled);
