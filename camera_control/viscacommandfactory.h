#pragma once

#include "camera_control/viscacommand.h"

#include <vector>

// Creates command objects by type id. Stateless, so both threads may use it at once.
class VISCACommandFactory
{
public:
    struct Result
    {
        int32_t type = -1;
        std::unique_ptr<VISCACommand> command; // empty for an unknown id
    };

    static VISCACommandFactory &instance();

    // Sets isInquiry for the inquiry ids; the caller sets the parameters it uses.
    Result create(int32_t type) const;
    // Creates, sets the parameters and encodes in one go; empty for an unknown id.
    std::vector<uint8_t> encode(int32_t type, int32_t param1, int32_t param2, int32_t param3,
                                uint32_t sequence) const;

private:
    VISCACommandFactory() = default;
};
