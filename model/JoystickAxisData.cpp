#include "model/JoystickAxisData.h"

int JoystickAxisData::messageTypeIdFromCode(int code)
{
    switch (code)
    {
    case 0:
        return 2;
    case 1:
        return 3;
    default:
        return 1;
    }
}

int JoystickAxisData::messageTypeCodeFromId(int id)
{
    switch (id)
    {
    case 1:
        return 2;
    case 2:
        return 0;
    case 3:
        return 1;
    default:
        return -1;
    }
}

int JoystickAxisData::getValue(int field) const
{
    switch (field)
    {
    case firstCcField:
        return firstCc;
    case secondCcField:
        return secondCc;
    case messageTypeField:
        return messageTypeIdFromCode(messageType);
    default:
        return 0;
    }
}

void JoystickAxisData::setValue(int field, int value)
{
    switch (field)
    {
    case firstCcField:
        firstCc = value & 0xff;
        break;
    case secondCcField:
        secondCc = value & 0xff;
        break;
    case messageTypeField:
        if (const int code = messageTypeCodeFromId(value); code >= 0)
            messageType = code;
        break;
    default:
        break;
    }
}

ByteArray JoystickAxisData::toBytes() const
{
    return {static_cast<std::uint8_t>(getValue(messageTypeField) - 1), static_cast<std::uint8_t>(firstCc),
            static_cast<std::uint8_t>(secondCc)};
}

// An axis is only ever set through setValue; its bytes are dropped.
void JoystickAxisData::fromBytes(ByteArray)
{
}
