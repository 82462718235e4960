#pragma once

#include <cstdint>
#include <vector>

using ByteArray = std::vector<std::uint8_t>;

// One parameter record of a program. Its bytes are in program image order.
class Control
{
public:
    virtual ~Control() = default;

    virtual ByteArray toBytes() const = 0;

    // Takes the bytes by value: the record owns them for the call and they are freed when it returns.
    virtual void fromBytes(ByteArray bytes) = 0;

protected:
    // Bytes past the end of a short array read as 0.
    static int byteAt(const ByteArray& bytes, std::size_t index)
    {
        return index < bytes.size() ? bytes[index] : 0;
    }
};
