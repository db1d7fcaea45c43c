#include "tools/camsim/common/cameraview.h"

#include "tools/camsim/common/coursepanorama.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

void renderCameraView(const QImage &panorama, const CamSim::ViewState &view, uint8_t *out,
                      int width, int height, int stride)
{
    if (panorama.isNull() || width <= 0 || height <= 0)
        return;
    const double horizontal = view.fieldOfViewDegrees;
    const double vertical = horizontal * height / width;
    // Columns wrap round the full circle; rows stop at the top and bottom of the picture.
    std::vector<int> columns(size_t(width), 0);
    for (int x = 0; x < width; ++x) {
        const double pan = view.panDegrees + ((x + 0.5) / width - 0.5) * horizontal;
        const int column = int(std::floor(CoursePanorama::columnOfPan(pan)));
        columns[size_t(x)] = ((column % panorama.width()) + panorama.width()) % panorama.width();
    }
    for (int y = 0; y < height; ++y) {
        const double tilt = view.tiltDegrees + (0.5 - (y + 0.5) / height) * vertical;
        const int row =
            std::clamp(int(std::floor(CoursePanorama::rowOfTilt(tilt))), 0, panorama.height() - 1);
        const auto *source = reinterpret_cast<const uint32_t *>(panorama.constScanLine(row));
        auto *target = reinterpret_cast<uint32_t *>(out + size_t(y) * size_t(stride));
        for (int x = 0; x < width; ++x)
            target[x] = source[columns[size_t(x)]];
    }
}
