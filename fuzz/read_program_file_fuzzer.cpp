#include "FuzzCheck.h"
#include "model/ProgramFile.h"
#include "model/fileFormatException.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const juce::File file =
        juce::File::getSpecialLocation(juce::File::tempDirectory)
            .getChildFile("velkor-fuzz-" + juce::String(juce::Time::currentTimeMillis()))
            .withFileExtension(".vkr");
    if (size > 1 << 16)
        return 0;
    if (!file.replaceWithData(data, size) && size > 0)
        return 0;
    try
    {
        const ProgramValues values = readProgramFile(file);
        if (size != 117)
            std::abort();
        fuzzcheck::expectExactDecode(values, data + ProgramSysEx::firstValueOffset);
    }
    catch (const fileFormatException&)
    {
    }
    return 0;
}
