#include "store/cameradatastore.h"

void CameraDataStore::clearAutomationLocked() {}
