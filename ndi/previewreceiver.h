#pragma once

#include "ndi/ndilib.h"

// A receiver as the camera panels open it for their preview: BGRX frames at the lowest
// bandwidth. The source is named as the program shows it, "MACHINE(STREAM)", or as the
// network does. The runtime connects to the source of the name it is given and looks at the URL
// address only when that name is empty, so a discovered source is opened with its own name and
// URL address; any other with "MACHINE (STREAM)" and the URL address given (null: none).
NdiReceiverHandle openPreviewReceiver(const char *sourceName, const char *urlAddress);
