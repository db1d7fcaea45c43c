#include "camera_control/viscacommandfactory.h"

namespace {

template<typename Command>
std::unique_ptr<VISCACommand> make()
{
    return std::make_unique<Command>();
}

using Maker = std::unique_ptr<VISCACommand> (*)();

// Indexed by type id.
constexpr Maker makers[] = {
    make<BlockInquiry>,  make<Preset>,      make<Zoom>,          make<PanTilt>,
    make<Focus>,         make<FocusMode>,   make<PanTiltAbsCmd>, make<PanTiltRelCmd>,
    make<PanTiltInq>,    make<FocusInq>,    make<ZoomInq>,       make<FocusDirectCmd>,
    make<ZoomDirectCmd>, make<PanTiltStop>,
};
constexpr int32_t typeCount = int32_t(sizeof(makers) / sizeof(makers[0]));

bool isInquiryType(int32_t type)
{
    return type == VISCACommandType::BlockInquiry || type == VISCACommandType::PanTiltInq ||
           type == VISCACommandType::FocusInq || type == VISCACommandType::ZoomInq;
}

} // namespace

VISCACommandFactory &VISCACommandFactory::instance()
{
    static VISCACommandFactory factory;
    return factory;
}

VISCACommandFactory::Result VISCACommandFactory::create(int32_t type) const
{
    Result result;
    result.type = type;
    if (type < 0 || type >= typeCount)
        return result;
    result.command = makers[type]();
    result.command->isInquiry = isInquiryType(type);
    return result;
}

std::vector<uint8_t> VISCACommandFactory::encode(int32_t type, int32_t param1, int32_t param2,
                                                 int32_t param3, uint32_t sequence) const
{
    Result created = create(type);
    if (!created.command)
        return {};
    created.command->param1 = param1;
    created.command->param2 = param2;
    created.command->param3 = param3;
    std::vector<uint8_t> datagram(VISCACommand::MaxDatagramSize);
    uint32_t length = 0;
    if (!created.command->encode(datagram.data(), &length, &sequence))
        return {};
    datagram.resize(length);
    return datagram;
}
