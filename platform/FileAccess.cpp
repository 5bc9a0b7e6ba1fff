#include "platform/FileAccess.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace tavlor {

namespace {

std::string ErrorReason(int error) {
    switch (error) {
        case ENOENT:
            return "Datei oder Ordner nicht gefunden";
        case ENOTDIR:
            return "Ordner nicht gefunden";
        case EACCES:
        case EPERM:
            return "Zugriff verweigert";
        case EROFS:
            return "Datenträger ist schreibgeschützt";
        case ENOSPC:
        case EDQUOT:
            return "Kein Speicherplatz mehr frei";
        case EISDIR:
            return "Der Name bezeichnet einen Ordner";
        case EFBIG:
            return "Die Datei ist zu groß";
        case ENAMETOOLONG:
            return "Der Name ist zu lang";
        case EIO:
            return "Ein-/Ausgabefehler";
        case EBUSY:
        case ETXTBSY:
            return "Die Datei wird gerade benutzt";
        case EINVAL:
            return "Ungültiger Name";
        case ESPIPE:
            return "Der Name bezeichnet keine gewöhnliche Datei";
        case ENOLCK:
            return "Keine Sperre verfügbar";
        default:
            return "Systemfehler " + std::to_string(error) + " (" + std::strerror(error) + ")";
    }
}

// The folder part of a file name (with its "/", empty for the working folder) and the rest.
struct TNameParts {
    std::string Folder;
    std::string Base;
};

TNameParts SplitName(const std::string& fileName) {
    const std::size_t slash = fileName.rfind('/');
    if (slash == std::string::npos) return {"", fileName};
    return {fileName.substr(0, slash + 1), fileName.substr(slash + 1)};
}

// Temporary files of a file are "." + its name + "." + process, counter and clock + ".tmp".
constexpr std::string_view cTemporaryEnd = ".tmp";

// A name no other writer picks: process, a counter and the clock.
std::string TemporaryName(const std::string& fileName) {
    static std::atomic<unsigned> counter{0};
    const TNameParts parts = SplitName(fileName);
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    return parts.Folder + "." + parts.Base + "." + std::to_string(getpid()) + "-" +
           std::to_string(counter++) + "-" + std::to_string(ticks % 1000000007) +
           std::string(cTemporaryEnd);
}

bool IsTemporaryOf(std::string_view entry, std::string_view base) {
    if (entry.size() <= base.size() + 2 + cTemporaryEnd.size() || entry[0] != '.' ||
        entry.substr(1, base.size()) != base || entry[base.size() + 1] != '.' ||
        !entry.ends_with(cTemporaryEnd))
        return false;
    const std::string_view stamp =
        entry.substr(base.size() + 2, entry.size() - base.size() - 2 - cTemporaryEnd.size());
    return stamp.find_first_not_of("0123456789-") == std::string_view::npos;
}

// A writer renames its temporary file within milliseconds; one that is older than this was left
// by a writer that died, and nobody else would ever remove it from a shared folder.
constexpr time_t cStaleTemporarySeconds = 60;

// Listing a shared folder can take long and stale files are rare, so the temporary files of one
// file are looked for once a minute at most.
bool TimeToLookForStaleTemporaries(const std::string& fileName) {
    static std::mutex mutex;
    static std::unordered_map<std::string, std::chrono::steady_clock::time_point> lastLooks;
    const std::lock_guard<std::mutex> lock(mutex);
    const auto now = std::chrono::steady_clock::now();
    const auto [last, first] = lastLooks.try_emplace(fileName, now);
    if (!first && now - last->second < std::chrono::seconds(cStaleTemporarySeconds)) return false;
    last->second = now;
    return true;
}

// Removes the stale temporary files of `fileName`. Their age is measured against `fresh`, the
// caller's own new temporary file, so that the file server's clock decides and a machine whose
// clock runs ahead does not take a living writer's file for a stale one.
void RemoveStaleTemporaries(const std::string& fileName, int fresh) {
    if (!TimeToLookForStaleTemporaries(fileName)) return;
    struct stat own {};
    if (fstat(fresh, &own) != 0) return;
    const TNameParts parts = SplitName(fileName);
    DIR* folder = opendir(parts.Folder.empty() ? "." : parts.Folder.c_str());
    if (folder == nullptr) return;
    while (const dirent* entry = readdir(folder)) {
        if (!IsTemporaryOf(entry->d_name, parts.Base)) continue;
        const std::string name = parts.Folder + entry->d_name;
        struct stat info {};
        if (lstat(name.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            info.st_mtime < own.st_mtime - cStaleTemporarySeconds)
            unlink(name.c_str());
    }
    closedir(folder);
}

// Renaming over a symbolic link would replace the link; the file it points to is meant.
std::string ResolveLink(const std::string& fileName) {
    struct stat info {};
    if (lstat(fileName.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return fileName;
    const std::unique_ptr<char, decltype(&std::free)> resolved(realpath(fileName.c_str(), nullptr),
                                                               &std::free);
    return resolved ? std::string(resolved.get()) : fileName;
}

bool WriteAll(int descriptor, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = write(descriptor, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

}  // namespace

// Takes the lock on the open file. Filesystems without lock support still get the atomic
// replacement; only the protection against simultaneous writers is lost there.
bool LockDescriptor(int descriptor, bool exclusive, int& error) {
    struct flock lock {};
    lock.l_type = static_cast<short>(exclusive ? F_WRLCK : F_RDLCK);
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 0;
#ifdef F_OFD_SETLKW
    // Open-file-description locks also keep two threads of one process apart.
    int command = F_OFD_SETLKW;
#else
    int command = F_SETLKW;
#endif
    for (;;) {
        if (fcntl(descriptor, command, &lock) == 0) return true;
        if (errno == EINTR) continue;
#ifdef F_OFD_SETLKW
        if (errno == EINVAL && command == F_OFD_SETLKW) {
            command = F_SETLKW;
            continue;
        }
#endif
        if (errno == ENOLCK || errno == EOPNOTSUPP || errno == ENOSYS) return true;
        error = errno;
        return false;
    }
}

TFileStatus FileFailure(TFileAction action, std::string_view fileName, int error) {
    const char* verb = action == TFileAction::faRead    ? "gelesen"
                       : action == TFileAction::faWrite ? "geschrieben"
                                                        : "gesperrt";
    TFileStatus status;
    status.Ok = false;
    status.Error = error;
    status.Message = "Die Datei \"" + std::string(fileName) + "\" kann nicht " + verb +
                     " werden: " + ErrorReason(error) + ".";
    return status;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = begin;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n')
            ++end;
        lines.push_back(text.substr(begin, end - begin));
        if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n') ++end;
        begin = end + 1;
    }
    return lines;
}

namespace {

TFileStatus StatRegularFile(int descriptor, std::string_view fileName, TFileAction action,
                            struct stat& info) {
    if (fstat(descriptor, &info) != 0) return FileFailure(action, fileName, errno);
    if (S_ISDIR(info.st_mode)) return FileFailure(action, fileName, EISDIR);
    if (!S_ISREG(info.st_mode)) return FileFailure(action, fileName, ESPIPE);
    return {};
}

}  // namespace

TFileStatus CheckRegularFile(int descriptor, std::string_view fileName, TFileAction action) {
    struct stat info {};
    return StatRegularFile(descriptor, fileName, action, info);
}

TFileStatus ReadOpenFile(int descriptor, std::string_view fileName, std::string& bytes) {
    bytes.clear();
    struct stat info {};
    if (TFileStatus regular = StatRegularFile(descriptor, fileName, TFileAction::faRead, info);
        !regular)
        return regular;
    if (info.st_size > cMaxTextFileSize) return FileFailure(TFileAction::faRead, fileName, EFBIG);
    bytes.resize(static_cast<std::size_t>(info.st_size));
    std::size_t filled = 0;
    for (;;) {
        // The size may have changed since fstat; read until the end, whatever it is. One byte
        // beyond the limit is enough to know that the file is too large.
        if (filled == bytes.size()) {
            if (bytes.size() > cMaxTextFileSize)
                return FileFailure(TFileAction::faRead, fileName, EFBIG);
            bytes.resize(std::min<std::size_t>(bytes.size() + 4096, cMaxTextFileSize + 1));
        }
        const ssize_t count = pread(descriptor, bytes.data() + filled, bytes.size() - filled,
                                    static_cast<off_t>(filled));
        if (count < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            bytes.clear();
            return FileFailure(TFileAction::faRead, fileName, error);
        }
        if (count == 0) break;
        filled += static_cast<std::size_t>(count);
    }
    bytes.resize(filled);
    return {};
}

TFileStatus ReadFileBytes(const std::string& fileName, std::string& bytes) {
    bytes.clear();
    // Without O_NONBLOCK, opening a FIFO would wait for a writer that may never come.
    const int descriptor = open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) return FileFailure(TFileAction::faRead, fileName, errno);
    TFileStatus status = ReadOpenFile(descriptor, fileName, bytes);
    close(descriptor);
    return status;
}

TFileStatus ReplaceFileBytes(const std::string& fileName, std::string_view bytes,
                             int* lockedDescriptor, TDurability durability) {
    const std::string target = ResolveLink(fileName);
    std::string temporary;
    int descriptor = -1;
    for (int attempt = 0; attempt < 100 && descriptor < 0; ++attempt) {
        temporary = TemporaryName(target);
        descriptor = open(temporary.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor < 0 && errno != EEXIST)
            return FileFailure(TFileAction::faWrite, fileName, errno);
    }
    if (descriptor < 0) return FileFailure(TFileAction::faWrite, fileName, EEXIST);
    RemoveStaleTemporaries(target, descriptor);

    struct stat old {};
    if (stat(target.c_str(), &old) == 0) static_cast<void>(fchmod(descriptor, old.st_mode & 07777));

    int error = 0;
    bool good = WriteAll(descriptor, bytes) &&
                (durability == TDurability::dbAtomicOnly || fsync(descriptor) == 0);
    if (!good) error = errno;
    if (good && lockedDescriptor != nullptr) good = LockDescriptor(descriptor, true, error);
    if (good && rename(temporary.c_str(), target.c_str()) != 0) {
        good = false;
        error = errno;
    }
    if (!good) {
        unlink(temporary.c_str());
        close(descriptor);
        return FileFailure(TFileAction::faWrite, fileName, error);
    }
    if (lockedDescriptor != nullptr)
        *lockedDescriptor = descriptor;
    else
        close(descriptor);
    return {};
}

}  // namespace tavlor
