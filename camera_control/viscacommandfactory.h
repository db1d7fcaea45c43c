#pragma once

#include "camera_control/viscacommand.h"

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

private:
    VISCACommandFactory() = default;
};
