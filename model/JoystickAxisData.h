#pragma once

#include "model/Control.h"

// One joystick axis. The message type is stored as an internal code and exchanged as an id:
// 1 "Pitchbend" (code 2), 2 "CC 1" (code 0), 3 "CC 2" (code 1).
class JoystickAxisData : public Control
{
public:
    enum Field
    {
        firstCcField = 0,
        secondCcField = 1,
        messageTypeField = 2
    };

    int getValue(int field) const;
    void setValue(int field, int value);

    ByteArray toBytes() const override;
    void fromBytes(ByteArray bytes) override;

    static int messageTypeIdFromCode(int code);
    static int messageTypeCodeFromId(int id); // -1 for an id that names no message type

    std::int32_t messageType = 0;
    std::int32_t firstCc = 0;
    std::int32_t secondCc = 0;
};
