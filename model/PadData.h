#pragma once

#include "model/Control.h"

// One pad. The trigger type is stored as isToggle and exchanged as an id: 1 "Momentary", 2 "Toggle".
class PadData : public Control
{
public:
    enum Field
    {
        noteField = 0,
        ccField = 1,
        programChangeField = 2,
        triggerTypeField = 3
    };

    static constexpr int momentaryId = 1;
    static constexpr int toggleId = 2;

    int getValue(int field) const;

    // The image carries program change before CC, unlike the field numbering.
    ByteArray toBytes() const override;
    void fromBytes(ByteArray bytes) override;

    std::int32_t noteValue = 0;
    std::int32_t ccValue = 0;
    std::int32_t programChangeValue = 0;
    bool isToggle = false;
};
