#include "automation/engine/camerastopper.h"

#include "camera_control/viscacommand.h"
#include "camera_control/viscalink.h"

void CameraStopper::stopAll(const std::set<std::string> &addresses)
{
    for (const std::string &ip : addresses) {
        senders.emplace_back([this, ip] {
            ViscaLink link(counter);
            link.send(VISCACommandType::PanTiltStop, ip, 0);
            link.send(VISCACommandType::Focus, ip, 0);
            link.send(VISCACommandType::Zoom, ip, 0);
        });
    }
}

void CameraStopper::wait()
{
    for (std::thread &sender : senders)
        sender.join();
    senders.clear();
}
