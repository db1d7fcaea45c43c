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
