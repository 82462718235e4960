#include "model/ProgramImage.h"

#include "model/ProgramField.h"
#include "model/ProgramFile.h"
#include "model/ProgramModel.h"

namespace ProgramImage
{
std::optional<ByteArray> readFile(const juce::File& file, juce::String& problem, int* badBytes)
{
    auto image = ProgramFile::readImage(file, problem);
    if (!image)
        return std::nullopt;
    problem = findProblem(*image, badBytes);
    if (problem.isNotEmpty())
        return std::nullopt;
    return image;
}

juce::String findProblem(const ByteArray& image, int* badBytes)
{
    juce::String first;
    int count = 0;
    for (int offset = ProgramSysEx::firstValueOffset; offset <= ProgramSysEx::lastValueOffset; ++offset)
    {
        const int byte = image.at(static_cast<std::size_t>(offset));
        const auto& field = ProgramField::atOffset(offset);
        const auto bytes = field.byteRange(offset);
        if (bytes.contains(byte))
            continue;
        if (count++ == 0)
            first = "offset " + juce::String(offset) + ": byte 0x" +
                    juce::String::toHexString(byte).paddedLeft('0', 2).toUpperCase() + " is outside " +
                    juce::String(bytes.getStart()) + " to " + juce::String(bytes.getEnd() - 1) + " for " +
                    field.label + " (" + field.describeRange() + ")";
    }
    if (badBytes != nullptr)
        *badBytes = count;
    return first;
}

ByteArray normalised(ByteArray image)
{
    image.resize(ProgramFile::fileSize);
    image.front() = 0xf0;
    ProgramSysEx::writeHeader(image.data() + 1, ProgramSysEx::programWriteCommand, 0);
    image.back() = 0xf7;
    return image;
}

ByteArray fromData(const ByteArray& data)
{
    return normalised(ProgramFile::makeImage(data));
}

ByteArray toData(const ByteArray& image)
{
    const ByteArray file = normalised(image);
    return ByteArray(file.begin() + 1, file.end() - 1);
}

ByteArray makeDefault()
{
    return ProgramFile::makeImage(ProgramModel::makeDefault().toSysExData());
}
} // namespace ProgramImage
