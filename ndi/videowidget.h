#pragma once

#include <QWidget>

class VideoWidgetSurface;

// Black area that shows the frames presented to its surface. The surface is created here but
// owned by the enclosing VideoPlayer.
class VideoWidget : public QWidget
{
    Q_OBJECT

public:
    explicit VideoWidget(QWidget *parent = nullptr);

    VideoWidgetSurface *videoSurface() const { return surface; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    VideoWidgetSurface *surface;
};
