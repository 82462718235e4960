#include "model/KnobData.h"

ByteArray KnobData::toBytes() const
{
    return {static_cast<std::uint8_t>(ccNumber), static_cast<std::uint8_t>(minValue),
            static_cast<std::uint8_t>(maxValue)};
}

void KnobData::fromBytes(ByteArray bytes)
{
    ccNumber = byteAt(bytes, 0);
    minValue = byteAt(bytes, 1);
    maxValue = byteAt(bytes, 2);
}
