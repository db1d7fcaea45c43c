#pragma once

#include "ndi/ndilib.h"

// A receiver as the camera panels open it for their preview: BGRX frames at the lowest
// bandwidth. A null URL address lets the runtime find the source by its NDI name.
NdiReceiverHandle openPreviewReceiver(const char *ndiName, const char *urlAddress);
