#include "model/ProgramFile.h"

#include "model/fileFormatException.h"

#include <stdexcept>

#if JUCE_WINDOWS
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#endif

#include <cerrno>
#include <cstring>
#include <string>
#include <system_error>
#include <vector>

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

#if JUCE_WINDOWS
juce::File replaceableTarget(const juce::File& file, juce::String& problem)
{
    if (file == juce::File() || file.isDirectory())
        problem = "is not a regular file";
    else if (file.existsAsFile() && !file.hasWriteAccess())
        problem = "is read-only";
    return file;
}

juce::String systemError()
{
    const DWORD code = GetLastError();
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    const juce::String message = length > 0 ? juce::String(text, length).trim().trimCharactersAtEnd(".")
                                            : "error " + juce::String(static_cast<juce::int64>(code));
    LocalFree(text);
    return message;
}

bool createSynced(const juce::File& file, const ByteArray& bytes, const juce::File&, juce::String& reason)
{
    if (file.exists())
    {
        reason = "already exists";
        return false;
    }
    {
        juce::FileOutputStream out(file);
        if (out.openedOk() && out.write(bytes.data(), bytes.size()))
            out.flush();
        if (!out.openedOk() || out.getStatus().failed())
        {
            reason = out.getStatus().getErrorMessage();
            if (reason.isEmpty())
                reason = "the file could not be made";
        }
    }
    juce::MemoryBlock written;
    if (reason.isEmpty() && (!file.loadFileAsData(written) || written.getSize() != bytes.size() ||
                             std::memcmp(written.getData(), bytes.data(), bytes.size()) != 0))
        reason = "did not read back as written";
    if (reason.isEmpty())
        return true;
    file.deleteFile();
    return false;
}

bool moveOver(const juce::File& from, const juce::File& to, juce::String& reason, bool)
{
    if (MoveFileExW(from.getFullPathName().toWideCharPointer(), to.getFullPathName().toWideCharPointer(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0)
        return true;
    reason = systemError();
    return false;
}

// The renames are written through.
void syncFolder(const juce::File&)
{
}

bool writeBytes(const juce::File& file, const ByteArray& bytes, juce::String* reason)
{
    const auto fail = [reason](const juce::String& why)
    {
        if (reason != nullptr)
            *reason = why;
        return false;
    };
    juce::String problem;
    replaceableTarget(file, problem);
    if (problem.isNotEmpty())
        return fail(problem);
    // The same words as on Linux, where the system reports a missing folder.
    if (!file.getParentDirectory().isDirectory())
        return fail("could not be written: " + juce::String(std::generic_category().message(ENOENT)));

    // Written beside the target and checked before it replaces it, so a failed write never costs the old
    // file. The framework's ReplaceFile path leaves copies beside a target that another program holds
    // open; a rename over the target either replaces it whole or fails and leaves everything as it was.
    const juce::TemporaryFile temp(file, juce::TemporaryFile::useHiddenFile);
    juce::String why;
    if (!createSynced(temp.getFile(), bytes, file, why) || !moveOver(temp.getFile(), file, why))
        return fail("could not be written: " + why);
    return true;
}

std::optional<ByteArray> readStart(const juce::File& file, juce::int64 limit, const juce::String& what,
                                   juce::int64& size, juce::String& problem)
{
    if (file.isDirectory())
    {
        problem = "is a folder, not " + what;
        return std::nullopt;
    }
    juce::FileInputStream in(file);
    if (!file.existsAsFile())
    {
        problem = "no such file";
        return std::nullopt;
    }
    if (!in.openedOk())
    {
        problem = "cannot be read";
        return std::nullopt;
    }
    size = in.getTotalLength();
    // One byte more than the limit tells a file that is too long, whatever size it claimed.
    ByteArray bytes(static_cast<std::size_t>(limit + 1));
    const int got = in.read(bytes.data(), static_cast<int>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(juce::jmax(0, got)));
    return bytes;
}
#else
namespace
{
// Closes on every way out.
struct Descriptor
{
    int fd = -1;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

// The path a chain of symbolic links finally names; a dangling link names the file a save creates.
// Empty for a loop.
std::string resolveLinks(std::string path)
{
    for (int hops = 0; hops < 40; ++hops)
    {
        struct stat info;
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return path;
        std::vector<char> buffer(PATH_MAX + 1);
        const ssize_t length = ::readlink(path.c_str(), buffer.data(), PATH_MAX);
        if (length <= 0)
            return {};
        std::string target(buffer.data(), static_cast<std::size_t>(length));
        if (target.front() != '/')
            target = path.substr(0, path.rfind('/') + 1) + target;
        path = target;
    }
    return {};
}

bool writeAll(int fd, const ByteArray& image)
{
    std::size_t done = 0;
    while (done < image.size())
    {
        const ssize_t written = ::write(fd, image.data() + done, image.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written == 0)
            errno = EIO;
        if (written <= 0)
            return false;
        done += static_cast<std::size_t>(written);
    }
    return true;
}

// Reads up to size bytes from the start; the count read, or -1.
ssize_t readAt(int fd, std::uint8_t* buffer, std::size_t size)
{
    std::size_t done = 0;
    while (done < size)
    {
        const ssize_t got = ::pread(fd, buffer + done, size - done, static_cast<off_t>(done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    return static_cast<ssize_t>(done);
}
} // namespace

juce::File replaceableTarget(const juce::File& file, juce::String& problem)
{
    const std::string target = resolveLinks(file.getFullPathName().toStdString());
    if (target.empty())
    {
        problem = "is a loop of symbolic links";
        return {};
    }
    struct stat existing;
    if (::stat(target.c_str(), &existing) == 0)
    {
        const int writable = S_ISREG(existing.st_mode) ? ::access(target.c_str(), W_OK) : 0;
        if (!S_ISREG(existing.st_mode))
            problem = "is not a regular file";
        // A read-only mount, say, is named as the system names it.
        else if (writable != 0 && errno != EACCES)
            problem = "could not be written: " + systemError();
        // Even where the system lets the owner (or root) write anyway, a file without write
        // permission was made read-only on purpose.
        else if (writable != 0 || (existing.st_mode & 0222) == 0)
            problem = "is read-only";
    }
    return juce::File(juce::String::fromUTF8(target.c_str()));
}

juce::String systemError()
{
    return std::generic_category().message(errno);
}

bool createSynced(const juce::File& file, const ByteArray& bytes, const juce::File& like,
                  juce::String& reason)
{
    const std::string path = file.getFullPathName().toStdString();
    struct stat model;
    const bool copyMode = like != juce::File() && ::stat(like.getFullPathName().toRawUTF8(), &model) == 0 &&
                          S_ISREG(model.st_mode);
    Descriptor out;
    out.fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC,
                    copyMode ? static_cast<mode_t>(model.st_mode & 07777) : static_cast<mode_t>(0666));
    if (out.fd < 0)
    {
        // errno stays for a caller that tries another name.
        const int code = errno;
        reason = systemError();
        errno = code;
        return false;
    }
    const auto fail = [&](const juce::String& why)
    {
        reason = why;
        ::unlink(path.c_str());
        return false;
    };
    if (copyMode)
    {
        // The owner is kept where the system allows it; the mode always, whatever the umask took away.
        [[maybe_unused]] const int owned = ::fchown(out.fd, model.st_uid, model.st_gid);
        if (::fchmod(out.fd, model.st_mode & 07777) != 0)
            return fail(systemError());
    }
    if (!writeAll(out.fd, bytes) || ::fsync(out.fd) != 0)
        return fail(systemError());
    std::vector<std::uint8_t> check(bytes.size() + 1);
    const ssize_t got = readAt(out.fd, check.data(), check.size());
    if (got < 0)
        return fail(systemError());
    if (static_cast<std::size_t>(got) != bytes.size() ||
        std::memcmp(check.data(), bytes.data(), bytes.size()) != 0)
        return fail("did not read back as written");
    // Some network file systems only report a failed write when the file is closed.
    const int fd = out.fd;
    out.fd = -1;
    if (::close(fd) != 0)
        return fail(systemError());
    return true;
}

bool moveOver(const juce::File& from, const juce::File& to, juce::String& reason, bool sync)
{
    if (::rename(from.getFullPathName().toRawUTF8(), to.getFullPathName().toRawUTF8()) != 0)
    {
        reason = systemError();
        return false;
    }
    if (sync)
        syncFolder(to.getParentDirectory());
    return true;
}

void syncFolder(const juce::File& folder)
{
    // Not every file system syncs a folder; there is nothing more to do where it cannot.
    Descriptor dir;
    dir.fd = ::open(folder.getFullPathName().toRawUTF8(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir.fd >= 0)
        ::fsync(dir.fd);
}

bool writeBytes(const juce::File& file, const ByteArray& bytes, juce::String* reason)
{
    const auto fail = [reason](const juce::String& why)
    {
        if (reason != nullptr)
            *reason = why;
        return false;
    };
    if (file == juce::File())
        return fail("could not be written: no file named");
    juce::String problem;
    const juce::File target = replaceableTarget(file, problem);
    if (problem.isNotEmpty())
        return fail(problem);

    // Written beside the target and checked before it replaces it, so a failed write never costs the
    // old file.
    juce::String why;
    for (int attempt = 0; attempt < 16; ++attempt)
    {
        const juce::File temp = target.getSiblingFile(
            "." + target.getFileName() + "." +
            juce::String::toHexString(juce::Random::getSystemRandom().nextInt()) + ".tmp");
        if (createSynced(temp, bytes, target, why))
        {
            if (moveOver(temp, target, why))
                return true;
            temp.deleteFile();
            break;
        }
        if (errno != EEXIST)
            break;
    }
    return fail("could not be written: " + why);
}

std::optional<ByteArray> readStart(const juce::File& file, juce::int64 limit, const juce::String& what,
                                   juce::int64& size, juce::String& problem)
{
    Descriptor in;
    in.fd = ::open(file.getFullPathName().toRawUTF8(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (in.fd < 0)
    {
        problem = errno == ENOENT || errno == ENOTDIR ? "no such file" : "cannot be read";
        return std::nullopt;
    }
    struct stat info;
    if (::fstat(in.fd, &info) != 0)
    {
        problem = "cannot be read";
        return std::nullopt;
    }
    if (S_ISDIR(info.st_mode))
    {
        problem = "is a folder, not " + what;
        return std::nullopt;
    }
    if (!S_ISREG(info.st_mode))
    {
        problem = "is not a regular file";
        return std::nullopt;
    }
    size = static_cast<juce::int64>(info.st_size);
    if (size > limit)
        return ByteArray();
    // One byte more than the limit tells a file that grew since its size was taken.
    ByteArray bytes(static_cast<std::size_t>(limit + 1));
    const ssize_t got = readAt(in.fd, bytes.data(), bytes.size());
    if (got < 0)
    {
        problem = "cannot be read";
        return std::nullopt;
    }
    bytes.resize(static_cast<std::size_t>(got));
    return bytes;
}
#endif

bool write(const juce::File& file, const ByteArray& data, juce::String* reason)
{
    return writeBytes(file, makeImage(data), reason);
}

std::optional<ByteArray> readImage(const juce::File& file, juce::String& problem)
{
    juce::int64 size = 0;
    auto image = readStart(file, fileSize, "a program file", size, problem);
    if (!image)
        return std::nullopt;
    const juce::int64 got = size > fileSize ? size : static_cast<juce::int64>(image->size());
    if (got != fileSize)
    {
        problem = "holds " + juce::String(got > fileSize ? size : got) +
                  " bytes; a program file holds exactly " + juce::String(fileSize);
        return std::nullopt;
    }
    return image;
}
} // namespace ProgramFile

ProgramValues readProgramFile(const juce::File& file)
{
    juce::String problem;
    const auto image = ProgramFile::readImage(file, problem);
    if (!image)
        throw fileFormatException();
    auto values = ProgramSysEx::decodeValueBytes(image->data() + ProgramSysEx::firstValueOffset);
    if (!values)
        throw fileFormatException();
    return std::move(*values);
}
