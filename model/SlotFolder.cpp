#include "model/SlotFolder.h"

#include "model/ProgramImage.h"
#include "model/ProgramFile.h"

#include <vector>

#if !JUCE_WINDOWS
#include <sys/stat.h>
#endif

namespace
{
// A slot file of a backup, and what it held before, so that a backup that fails part way can put
// back the files it already replaced.
struct SlotFile
{
    juce::File file;
    juce::File target;
    // A copy of the target beside it, mode and all; none when there was no file.
    juce::File kept;
    bool replaced = false;

    bool keep()
    {
        const auto copy = target.getSiblingFile(
            "." + target.getFileName() + "." +
            juce::String::toHexString(juce::Random::getSystemRandom().nextInt()) + ".old");
        if (copy.exists())
            return false;
        if (!target.copyFileTo(copy) || copy.getSize() != target.getSize())
        {
            copy.setReadOnly(false);
            copy.deleteFile();
            return false;
        }
#if JUCE_WINDOWS
        // The copy takes a read-only file's attribute, and Windows deletes no read-only file. A
        // read-only slot file is never replaced, so its copy is only ever deleted.
        copy.setReadOnly(false);
#else
        struct stat info;
        if (::stat(target.getFullPathName().toRawUTF8(), &info) != 0 ||
            ::chmod(copy.getFullPathName().toRawUTF8(), info.st_mode & 07777) != 0)
        {
            copy.deleteFile();
            return false;
        }
#endif
        kept = copy;
        return true;
    }

    // Back as it was if it was replaced; false if that failed, and then the copy stays.
    bool putBack() const
    {
        if (replaced)
            return kept == juce::File() ? target.deleteFile() : kept.replaceFileIn(target);
        kept.deleteFile();
        return true;
    }
};
} // namespace

namespace SlotFolder
{
juce::File slotFile(const juce::File& folder, int slot)
{
    return folder.getChildFile("slot-" + juce::String(slot) + ProgramFile::extension);
}

bool write(const juce::File& folder, const std::array<ByteArray, numSlots>& images, juce::String& reason)
{
    // A program that is not one would be written as a file the editor refuses.
    for (int slot = 1; slot <= numSlots; ++slot)
    {
        const auto& image = images[static_cast<std::size_t>(slot - 1)];
        const juce::String problem = image.size() != static_cast<std::size_t>(ProgramFile::fileSize)
                                         ? "the program holds " + juce::String(image.size()) +
                                               " bytes, not " + juce::String(ProgramFile::fileSize)
                                         : ProgramImage::findProblem(image);
        if (problem.isNotEmpty())
        {
            reason = slotFile(folder, slot).getFullPathName() + ": not written, " + problem +
                     "; no slot file was changed";
            return false;
        }
    }
    if (folder.existsAsFile())
    {
        reason = folder.getFullPathName() + ": is a file, not a folder";
        return false;
    }

    // Deepest first, so that each is empty when it is taken away again.
    std::vector<juce::File> madeFolders;
    for (auto f = folder; !f.exists() && f != f.getParentDirectory(); f = f.getParentDirectory())
        madeFolders.push_back(f);
    const auto removeMadeFolders = [&madeFolders]()
    {
        for (const auto& made : madeFolders)
            made.deleteFile();
    };
    if (!folder.isDirectory() && !folder.createDirectory().wasOk())
    {
        removeMadeFolders();
        reason = folder.getFullPathName() + ": the folder could not be made";
        return false;
    }

    // Each old file is kept aside until all four new ones are in place, and one that cannot be replaced
    // puts back those replaced before it: the folder never holds old and new files mixed.
    std::vector<SlotFile> slots;
    const auto giveUp = [&](const juce::File& file, const juce::String& why)
    {
        bool restored = true;
        for (const auto& slot : slots)
            restored = slot.putBack() && restored;
        removeMadeFolders();
        reason = file.getFullPathName() + ": " + why +
                 (restored ? "; no slot file was changed"
                           : "; not every slot file replaced before it could be put back: their old "
                             "contents are in .old files beside them");
        return false;
    };
    for (int slot = 1; slot <= numSlots; ++slot)
    {
        SlotFile slotFile;
        slotFile.file = SlotFolder::slotFile(folder, slot);
        juce::String problem;
        slotFile.target = ProgramFile::replaceableTarget(slotFile.file, problem);
        slots.push_back(slotFile);
        // Whatever the writer would refuse stops the backup before anything is written.
        if (problem.isNotEmpty())
            return giveUp(slotFile.file, problem);
        if (slotFile.target.exists() && !slots.back().keep())
            return giveUp(slotFile.file, "could not be written");
    }
    for (std::size_t i = 0; i < slots.size(); ++i)
    {
        juce::String why;
        if (!ProgramFile::write(slots[i].file, ProgramImage::toData(images[i]), &why))
            return giveUp(slots[i].file, why);
        slots[i].replaced = true;
    }

    for (const auto& slot : slots)
        slot.kept.deleteFile();
    return true;
}

std::optional<std::array<ByteArray, numSlots>> read(const juce::File& folder, juce::String& reason)
{
    if (folder.existsAsFile())
    {
        reason = folder.getFullPathName() + ": is a file, not a folder";
        return std::nullopt;
    }
    if (!folder.isDirectory())
    {
        reason = folder.getFullPathName() + ": no such folder";
        return std::nullopt;
    }
    std::array<ByteArray, numSlots> images;
    for (int slot = 1; slot <= numSlots; ++slot)
    {
        const juce::File file = slotFile(folder, slot);
        juce::String problem;
        const auto image = ProgramImage::readFile(file, problem);
        if (!image)
        {
            reason = file.getFullPathName() + ": " + problem;
            return std::nullopt;
        }
        images[static_cast<std::size_t>(slot - 1)] = ProgramImage::normalised(*image);
    }
    return images;
}
} // namespace SlotFolder
