#include "FuzzCheck.h"
#include "model/ProgramJson.h"

// Any text is refused as a program's JSON, or read into a program whose export reads back to the very
// same program and the very same text.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 1 << 20) // as much as velkor-tool reads
        return 0;
    ByteArray image;
    try
    {
        image = ProgramJson::fromBytes(reinterpret_cast<const char*>(data), size);
    }
    catch (const ProgramJson::Error&)
    {
        return 0;
    }
    const juce::String text = ProgramJson::toText(image);
    try
    {
        const ByteArray again = ProgramJson::fromText(text);
        if (again != image || ProgramJson::toText(again) != text)
            std::abort();
    }
    catch (const ProgramJson::Error&)
    {
        std::abort();
    }
    return 0;
}
