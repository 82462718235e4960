#include "model/SlotFolder.h"

#include "model/ProgramImage.h"
#include "model/ProgramFile.h"

#include <cstring>
#include <vector>

#if JUCE_WINDOWS
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#endif

// A backup replaces all four slot files or none, whenever it is stopped (a signal, SIGKILL, a power
// cut). Where it can, it builds the new set in a folder beside the backup and swaps the two folders
// in one step. Where it cannot (Windows, a folder that holds other files, a file system without the
// swap), the new files wait beside the old ones until a commit file makes them the backup; whoever next
// opens the folder, a backup or a restore, puts committed files in place or deletes uncommitted ones.
namespace
{
using SlotFolder::numSlots;
using SlotFolder::slotFile;
using Images = std::array<ByteArray, numSlots>;

constexpr const char* commitName = ".velkor-backup-commit";
constexpr const char* commitText =
    "The .slot-N.vkr.new files here are a finished backup; the next backup or restore of this folder "
    "puts them in place of slot-N.vkr.\n";

juce::File waitingFile(const juce::File& folder, int slot)
{
    return folder.getChildFile("." + slotFile(folder, slot).getFileName() + ".new");
}
juce::File commitFile(const juce::File& folder)
{
    return folder.getChildFile(commitName);
}
juce::File commitTemp(const juce::File& folder)
{
    return folder.getChildFile(juce::String(commitName) + ".tmp");
}

// Folders in which a backup is built beside the folder it goes to: ".NAME.velkor-XXXXXXXX".
juce::String stagingPrefix(const juce::File& folder)
{
    return "." + folder.getFileName() + ".velkor-";
}

bool isSlotFileName(const juce::String& name)
{
    for (int slot = 1; slot <= numSlots; ++slot)
        if (name == "slot-" + juce::String(slot) + ProgramFile::extension)
            return true;
    return false;
}

// Why the file now in a slot's place must not be replaced by a backup, if so. Only a program file
// of its own is replaced: a link would carry the backup elsewhere, and anything else is no backup.
juce::String oldFileProblem(const juce::File& file)
{
#if JUCE_WINDOWS
    if (file.isSymbolicLink())
        return "is a link, not a slot file of its own";
    if (!file.exists())
        return {};
    if (file.isDirectory())
        return "is not a regular file"; // as on Linux
    const juce::int64 size = file.getSize();
    const bool readOnly = !file.hasWriteAccess();
#else
    struct stat info;
    if (::lstat(file.getFullPathName().toRawUTF8(), &info) != 0)
        return errno == ENOENT ? juce::String() : "cannot be examined: " + ProgramFile::systemError();
    if (S_ISLNK(info.st_mode))
        return "is a symbolic link, not a slot file of its own";
    if (!S_ISREG(info.st_mode))
        return "is not a regular file";
    const juce::int64 size = info.st_size;
    const bool readOnly = (::access(file.getFullPathName().toRawUTF8(), W_OK) != 0 && errno == EACCES) ||
                          (info.st_mode & 0222) == 0;
#endif
    if (size != ProgramFile::fileSize)
        return "holds " + juce::String(size) + " bytes, so it is no program file (" +
               juce::String(ProgramFile::fileSize) + " bytes) and is not replaced";
    if (readOnly)
        return "is read-only";
    return {};
}

// Holds a folder against other backups and restores of it while in scope (not on Windows).
class FolderLock
{
public:
    FolderLock() = default;
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    ~FolderLock() { release(); }

#if JUCE_WINDOWS
    bool take(const juce::File&, bool = true)
    {
        return true;
    }
    void release()
    {
    }
#else
    // The folder the path names once the lock is held: one that another backup swapped away while
    // this waited is let go and the new one taken.
    bool take(const juce::File& folder, bool wait = true)
    {
        const auto path = folder.getFullPathName().toStdString();
        for (int attempt = 0; attempt < 64; ++attempt)
        {
            release();
            fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (fd < 0)
                return false;
            if (::flock(fd, wait ? LOCK_EX : LOCK_EX | LOCK_NB) != 0)
            {
                if (errno == EINTR)
                    continue;
                return false;
            }
            struct stat held, named;
            if (::fstat(fd, &held) == 0 && ::stat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
                held.st_ino == named.st_ino)
                return true;
        }
        return false;
    }
    void release()
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }

private:
    int fd = -1;
#endif
};

// The program file images as written: a program file's header whatever header the image had.
Images fileImages(const Images& images)
{
    Images files;
    for (std::size_t i = 0; i < files.size(); ++i)
        files[i] = ProgramFile::makeImage(ProgramImage::toData(images[i]));
    return files;
}

// Puts committed waiting files in place, one sync for all four renames so that they follow each other
// closely, and drops the commit; false and why if a rename fails, and then the commit stays for the next
// try.
bool finishCommitted(const juce::File& folder, juce::String& why)
{
    for (int slot = 1; slot <= numSlots; ++slot)
        if (waitingFile(folder, slot).existsAsFile() &&
            !ProgramFile::moveOver(waitingFile(folder, slot), slotFile(folder, slot), why, false))
            return false;
    ProgramFile::syncFolder(folder);
    if (!commitFile(folder).deleteFile())
    {
        why = "the commit file could not be deleted";
        return false;
    }
    ProgramFile::syncFolder(folder);
    return true;
}

void dropWaiting(const juce::File& folder)
{
    for (int slot = 1; slot <= numSlots; ++slot)
        waitingFile(folder, slot).deleteFile();
    commitTemp(folder).deleteFile();
}

// What an interrupted backup left in the folder, finished or taken away. The caller holds the lock.
bool recover(const juce::File& folder, juce::String& reason)
{
    juce::String why;
    if (commitFile(folder).existsAsFile())
    {
        if (finishCommitted(folder, why))
            return true;
        reason = folder.getFullPathName() + ": an interrupted backup here could not be put in place: " + why;
        return false;
    }
    dropWaiting(folder);
    return true;
}

// A staging folder and every slot file in it, unless it holds anything else.
void removeStaging(const juce::File& staging)
{
    for (const auto& child : staging.findChildFiles(juce::File::findFilesAndDirectories, false, "*",
                                                    juce::File::FollowSymlinks::no))
        if (!isSlotFileName(child.getFileName()) || child.isSymbolicLink() || child.isDirectory())
            return;
    for (int slot = 1; slot <= numSlots; ++slot)
        slotFile(staging, slot).deleteFile();
    staging.deleteFile();
}

// Staging folders that no running backup holds.
void removeLeftoverStaging(const juce::File& folder)
{
    const juce::String prefix = stagingPrefix(folder);
    for (const auto& child : folder.getParentDirectory().findChildFiles(juce::File::findDirectories, false,
                                                                        "*", juce::File::FollowSymlinks::no))
    {
        FolderLock held;
        if (child.getFileName().startsWith(prefix) && !child.isSymbolicLink() && held.take(child, false))
            removeStaging(child);
    }
}

// A new folder beside the backup's folder, locked, with the mode and owner of the folder it stands in
// for (Unix), holding the new slot files.
class Staging
{
public:
    ~Staging() { discard(); }

    void discard()
    {
        if (dir != juce::File())
            removeStaging(dir);
        dir = juce::File();
    }

    bool make(const juce::File& folder, juce::String& why)
    {
        for (int attempt = 0; attempt < 16; ++attempt)
        {
            const juce::File candidate = folder.getSiblingFile(
                stagingPrefix(folder) + juce::String::toHexString(juce::Random::getSystemRandom().nextInt()));
#if JUCE_WINDOWS
            if (candidate.exists())
                continue;
            const auto made = candidate.createDirectory();
            if (made.failed())
            {
                why = made.getErrorMessage();
                return false;
            }
#else
            if (::mkdir(candidate.getFullPathName().toRawUTF8(), 0777) != 0)
            {
                if (errno == EEXIST)
                    continue;
                why = ProgramFile::systemError();
                return false;
            }
            struct stat model;
            if (::stat(folder.getFullPathName().toRawUTF8(), &model) == 0)
            {
                [[maybe_unused]] const int owned =
                    ::chown(candidate.getFullPathName().toRawUTF8(), model.st_uid, model.st_gid);
                [[maybe_unused]] const int moded =
                    ::chmod(candidate.getFullPathName().toRawUTF8(), model.st_mode & 07777);
            }
#endif
            dir = candidate;
            lock.take(dir);
            return true;
        }
        why = "no free name for a folder beside it";
        return false;
    }

    // Each file with the mode of the one it replaces; false and the file and why when one fails.
    bool fill(const Images& files, const juce::File& folder, juce::String& reason)
    {
        for (int slot = 1; slot <= numSlots; ++slot)
        {
            juce::String why;
            if (!ProgramFile::createSynced(slotFile(dir, slot), files[static_cast<std::size_t>(slot - 1)],
                                           slotFile(folder, slot), why))
            {
                reason = slotFile(folder, slot).getFullPathName() + ": could not be written: " + why;
                return false;
            }
        }
        ProgramFile::syncFolder(dir);
        return true;
    }

    // Moved into place: no longer ours to remove.
    void handOver()
    {
        dir = juce::File();
    }

    juce::File dir;

private:
    FolderLock lock;
};

bool moveFolder(const juce::File& from, const juce::File& to, juce::String& why)
{
#if JUCE_WINDOWS
    if (MoveFileExW(from.getFullPathName().toWideCharPointer(), to.getFullPathName().toWideCharPointer(),
                    MOVEFILE_WRITE_THROUGH) != 0)
        return true;
#else
    if (::rename(from.getFullPathName().toRawUTF8(), to.getFullPathName().toRawUTF8()) == 0)
    {
        ProgramFile::syncFolder(to.getParentDirectory());
        return true;
    }
#endif
    why = ProgramFile::systemError();
    return false;
}

// Whether the folder can be swapped whole: it holds only slot files, and is not where this process
// stands (a shell started in it would be left in the old folder).
bool swappable(const juce::File& folder)
{
#if defined(__linux__)
    if (folder.isSymbolicLink())
        return false;
    char resolved[PATH_MAX];
    const juce::String cwd = juce::File::getCurrentWorkingDirectory().getFullPathName();
    if (::realpath(folder.getFullPathName().toRawUTF8(), resolved) == nullptr ||
        cwd == juce::String::fromUTF8(resolved) || cwd.startsWith(juce::String::fromUTF8(resolved) + "/"))
        return false;
    for (const auto& child : folder.findChildFiles(juce::File::findFilesAndDirectories, false, "*",
                                                   juce::File::FollowSymlinks::no))
        if (!isSlotFileName(child.getFileName()))
            return false;
    return true;
#else
    juce::ignoreUnused(folder);
    return false;
#endif
}

// The new set in a staging folder, then the two folders swapped in one step. False when that failed,
// and nothing has changed: with final set when a file could not be written (reason says why), else
// because the system cannot make or swap the folders there.
bool swapIn(const juce::File& folder, const Images& files, juce::String& reason, bool& final)
{
#if defined(__linux__)
    Staging staging;
    juce::String why;
    if (!staging.make(folder, why))
        return false;
    if (!staging.fill(files, folder, reason))
    {
        final = true;
        return false;
    }
    if (::renameat2(AT_FDCWD, staging.dir.getFullPathName().toRawUTF8(), AT_FDCWD,
                    folder.getFullPathName().toRawUTF8(), RENAME_EXCHANGE) != 0)
        return false;
    ProgramFile::syncFolder(folder.getParentDirectory());
    // The staging folder now holds the old set; a backup stopped before it is gone removes it next time.
    return true;
#else
    juce::ignoreUnused(folder, files, reason, final);
    return false;
#endif
}

// The new files beside the old ones, then the commit file, then the renames.
bool journalIn(const juce::File& folder, const Images& files, juce::String& reason)
{
    juce::String why;
    for (int slot = 1; slot <= numSlots; ++slot)
        if (!ProgramFile::createSynced(waitingFile(folder, slot), files[static_cast<std::size_t>(slot - 1)],
                                       slotFile(folder, slot), why))
        {
            dropWaiting(folder);
            reason = slotFile(folder, slot).getFullPathName() + ": could not be written: " + why +
                     "; no slot file was changed";
            return false;
        }
    ProgramFile::syncFolder(folder);
    const juce::MemoryBlock text(commitText, std::strlen(commitText));
    const auto* begin = static_cast<const std::uint8_t*>(text.getData());
    if (!ProgramFile::createSynced(commitTemp(folder), ByteArray(begin, begin + text.getSize()), {}, why) ||
        !ProgramFile::moveOver(commitTemp(folder), commitFile(folder), why))
    {
        dropWaiting(folder);
        reason = folder.getFullPathName() + ": could not be written: " + why + "; no slot file was changed";
        return false;
    }
    if (!finishCommitted(folder, why))
    {
        reason = folder.getFullPathName() +
                 ": the new backup is written but could not be put in place: " + why +
                 "; the next backup or restore of this folder puts it in place";
        return false;
    }
    return true;
}

bool writeNewFolder(const juce::File& folder, const Images& files, juce::String& reason)
{
    // Deepest first, so that each is empty when it is taken away again.
    std::vector<juce::File> madeFolders;
    for (auto f = folder.getParentDirectory(); !f.exists() && f != f.getParentDirectory();
         f = f.getParentDirectory())
        madeFolders.push_back(f);
    const auto fail = [&](const juce::String& why)
    {
        for (const auto& made : madeFolders)
            made.deleteFile();
        reason = why;
        return false;
    };
    if (!madeFolders.empty())
        if (const auto made = folder.getParentDirectory().createDirectory(); made.failed())
            return fail(folder.getFullPathName() +
                        ": the folder could not be made: " + made.getErrorMessage());

    Staging staging;
    juce::String why;
    if (!staging.make(folder, why))
        return fail(folder.getFullPathName() + ": the folder could not be made: " + why);
    if (!staging.fill(files, folder, reason))
    {
        staging.discard();
        return fail(reason);
    }
    if (!moveFolder(staging.dir, folder, why))
    {
        staging.discard();
        return fail(folder.getFullPathName() + ": the folder could not be made: " + why);
    }
    staging.handOver();
    return true;
}
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
    const Images files = fileImages(images);
    if (!folder.exists() && !folder.isSymbolicLink())
        return writeNewFolder(folder, files, reason);

    FolderLock lock;
    if (!lock.take(folder))
    {
        reason = folder.getFullPathName() + ": could not be opened: " + ProgramFile::systemError();
        return false;
    }
    if (!recover(folder, reason))
        return false;
    // Checked before anything is written: a huge file in a slot's place is never copied, and a link
    // never turns "saved" into a write somewhere else.
    for (int slot = 1; slot <= numSlots; ++slot)
        if (const auto problem = oldFileProblem(slotFile(folder, slot)); problem.isNotEmpty())
        {
            reason = slotFile(folder, slot).getFullPathName() + ": " + problem + "; no slot file was changed";
            return false;
        }
    removeLeftoverStaging(folder);

    bool final = false;
    if (swappable(folder))
    {
        if (swapIn(folder, files, reason, final))
            return true;
        if (final)
        {
            reason += "; no slot file was changed";
            return false;
        }
    }
    return journalIn(folder, files, reason);
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
    // Waits for a backup being written there, and finishes or removes one that was stopped.
    FolderLock lock;
    lock.take(folder);
    if (!recover(folder, reason))
        return std::nullopt;
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
