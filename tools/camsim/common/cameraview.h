#pragma once

#include <cstdint>

#include <QImage>

#include "tools/camsim/common/camsimprotocol.h"

// Cuts what a camera sees out of the panorama: centred on its pan and tilt, as wide as its
// field of view, scaled to the frame. Pixels are B, G, R, X; out has stride bytes per line.
void renderCameraView(const QImage &panorama, const CamSim::ViewState &view, uint8_t *out,
                      int width, int height, int stride);
