#pragma once

#include <QWidget>

#include <cstdint>

class VideoWidgetSurface;

// Shows preview frames: scales each one to the player's size and hands it to the surface of its
// one VideoWidget.
class VideoPlayer : public QWidget
{
    Q_OBJECT

public:
    explicit VideoPlayer(QWidget *parent = nullptr);
    ~VideoPlayer() override;

    // Takes ownership of data (width * height * 4 bytes, B, G, R, X); (0, 0, nullptr) ends the
    // stream and shows the placeholder.
    void presentFrame(int width, int height, uint8_t *pixels);

private:
    void presentPlaceholder();
    void presentImage(const QImage &image);

    VideoWidgetSurface *surface = nullptr;
};
