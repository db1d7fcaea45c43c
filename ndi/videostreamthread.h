#pragma once

#include "ndi/ndilib.h"

#include <QMetaType>
#include <QThread>

#include <atomic>
#include <cstdint>

// Pulls video frames from one NDI receiver, at most one per 10 ms, and emits each as a private
// copy of its pixels. (0, 0, nullptr) follows the last frame.
class VideoStreamThread : public QThread
{
    Q_OBJECT

public:
    VideoStreamThread(NdiReceiverHandle source, QObject *parent = nullptr);

    // Cleared by the owner to stop the thread; it leaves after the capture in progress returns.
    std::atomic<bool> running{true};

signals:
    // pData: nWidth * nHeight * 4 bytes (B, G, R, X) allocated with new[]; the receiver of the
    // signal owns it.
    void ResultReady(int nWidth, int nHeight, uint8_t *pData);

protected:
    void run() override;

private:
    void copyAndEmit(const NdiVideoFrame &frame);

    NdiReceiverHandle receiver;
};

Q_DECLARE_METATYPE(uint8_t *)
