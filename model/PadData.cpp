#include "model/PadData.h"

int PadData::getValue(int field) const
{
    switch (field)
    {
    case noteField:
        return noteValue;
    case ccField:
        return ccValue;
    case programChangeField:
        return programChangeValue;
    case triggerTypeField:
        return isToggle ? toggleId : momentaryId;
    default:
        return 0;
    }
}

ByteArray PadData::toBytes() const
{
    return {static_cast<std::uint8_t>(noteValue), static_cast<std::uint8_t>(programChangeValue),
            static_cast<std::uint8_t>(ccValue), static_cast<std::uint8_t>(isToggle ? 1 : 0)};
}

void PadData::fromBytes(ByteArray bytes)
{
    noteValue = byteAt(bytes, 0);
    programChangeValue = byteAt(bytes, 1);
    ccValue = byteAt(bytes, 2);
    isToggle = byteAt(bytes, 3) != 0;
}
