#pragma once

#include "model/Control.h"

// One knob: the CC number it sends and the range of values it sweeps.
class KnobData : public Control
{
public:
    enum Field
    {
        ccNumberField = 0,
        minValueField = 1,
        maxValueField = 2
    };

    ByteArray toBytes() const override;
    void fromBytes(ByteArray bytes) override;

    std::int32_t ccNumber = 0;
    std::int32_t minValue = 0;
    std::int32_t maxValue = 0;
};
