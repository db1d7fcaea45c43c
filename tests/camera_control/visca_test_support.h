#pragma once

#include "camera_control/viscacommandfactory.h"

#include <QByteArray>
#include <QMetaType>

#include <cstdint>
#include <vector>

// Encodes one command as a caller would: create by id, set parameters, encode.
inline std::vector<uint8_t> encodeCommand(int32_t type, int32_t p1 = 0, int32_t p2 = 0,
                                          int32_t p3 = 0, uint32_t counter = 0)
{
    VISCACommandFactory::Result created = VISCACommandFactory::instance().create(type);
    if (!created.command)
        return {};
    created.command->param1 = p1;
    created.command->param2 = p2;
    created.command->param3 = p3;
    std::vector<uint8_t> buffer(VISCACommand::MaxDatagramSize, 0xAA);
    uint32_t length = 0;
    if (!created.command->encode(buffer.data(), &length, &counter))
        return {};
    buffer.resize(length);
    return buffer;
}

inline QByteArray toBytes(const std::vector<uint8_t> &bytes)
{
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), int(bytes.size()));
}

inline std::vector<uint8_t> fromHex(const char *hex)
{
    const QByteArray bytes = QByteArray::fromHex(hex);
    return {bytes.begin(), bytes.end()};
}
