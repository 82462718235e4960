#include "model/ProgramFile.h"

#include "model/fileFormatException.h"

#include <stdexcept>

#if JUCE_WINDOWS
#include <windows.h>
#endif

namespace ProgramFile
{
ByteArray makeImage(const ByteArray& data)
{
    if (data.size() != static_cast<std::size_t>(ProgramSysEx::dataSize))
        throw std::invalid_argument("program image size");
    ByteArray image;
    image.reserve(fileSize);
    image.push_back(0xf0);
    image.insert(image.end(), data.begin(), data.end());
    image.push_back(0xf7);
    return image;
}

bool write(const juce::File& file, const ByteArray& data)
{
    const ByteArray image = makeImage(data);
    if (file == juce::File() || file.isDirectory() || !file.getParentDirectory().isDirectory())
        return false;

    // Written beside the target and checked before it replaces it, so a failed write never costs the old
    // file.
    const juce::TemporaryFile temp(file, juce::TemporaryFile::useHiddenFile);
    {
        juce::FileOutputStream out(temp.getFile());
        if (!out.openedOk() || !out.write(image.data(), image.size()))
            return false;
        out.flush();
        if (out.getStatus().failed())
            return false;
    }

    juce::MemoryBlock written;
    if (!temp.getFile().loadFileAsData(written) || written.getSize() != image.size() ||
        std::memcmp(written.getData(), image.data(), image.size()) != 0)
        return false;

#if JUCE_WINDOWS
    // The framework's ReplaceFile path leaves copies beside a target that another program holds
    // open; a rename over the target either replaces it whole or fails and leaves everything as it was.
    return MoveFileExW(temp.getFile().getFullPathName().toWideCharPointer(),
                       file.getFullPathName().toWideCharPointer(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    return temp.overwriteTargetFileWithTemporary();
#endif
}
} // namespace ProgramFile

ProgramValues readProgramFile(const juce::File& file)
{
    if (!file.existsAsFile() || file.getSize() != ProgramFile::fileSize)
        throw fileFormatException();

    juce::FileInputStream in(file);
    if (!in.openedOk())
        throw fileFormatException();

    // Read no more than one image, even if the file grew since its size was taken.
    std::uint8_t image[ProgramFile::fileSize];
    if (in.read(image, ProgramFile::fileSize) != ProgramFile::fileSize)
        throw fileFormatException();

    auto values = ProgramSysEx::decodeValueBytes(image + ProgramSysEx::firstValueOffset);
    if (!values)
        throw fileFormatException();
    return std::move(*values);
}
