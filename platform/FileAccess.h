#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavlor {

// The outcome of one file operation. A failure carries a German sentence that names the file,
// ready for a message window, and the system's error number; nothing in the file layers throws.
struct [[nodiscard]] TFileStatus {
    bool Ok = true;
    int Error = 0;
    std::string Message;

    explicit operator bool() const { return Ok; }
};

enum class TFileAction { faRead, faWrite, faLock };

// "Die Datei "<name>" kann nicht gelesen werden: Zugriff verweigert."
TFileStatus FileFailure(TFileAction action, std::string_view fileName, int error);

// Reads the whole file. A missing file is a failure with Error == ENOENT; a name that is not a
// regular file (a folder, a FIFO, a device) is refused without waiting on it.
TFileStatus ReadFileBytes(const std::string& fileName, std::string& bytes);

// Reads everything from an open file, from its start; refuses anything but a regular file and a
// file larger than cMaxTextFileSize.
TFileStatus ReadOpenFile(int descriptor, std::string_view fileName, std::string& bytes);

// Good for a regular file; a folder fails with EISDIR, anything else with ESPIPE.
TFileStatus CheckRegularFile(int descriptor, std::string_view fileName, TFileAction action);

// How far a replaced file must have got before the call returns.
enum class TDurability {
    dbOnDisk,     // written through to the disk: a saved game survives a power failure
    dbAtomicOnly  // in the system's cache: readers and a killed process still never see half
};

// Replaces the file's content as one step: the bytes go to a temporary file in the same folder
// and are renamed over the old file, so a reader, a crash or a full disk never meets a
// half-written file. An existing file keeps its permissions. With `lockedDescriptor` the new
// file is write-locked before it takes the name and stays open for the caller to close.
// Temporary files of the same name left by writers that died (older than a minute) are removed;
// the folder is looked through once a minute at most.
TFileStatus ReplaceFileBytes(const std::string& fileName, std::string_view bytes,
                             int* lockedDescriptor = nullptr,
                             TDurability durability = TDurability::dbOnDisk);

// Takes an fcntl lock on the whole open file, waiting for it: shared, or exclusive (which needs
// the file open for writing). Filesystems without lock support count as locked.
bool LockDescriptor(int descriptor, bool exclusive, int& error);

// The lines of a text, without their ends; a line ends at CR, LF or CRLF, and a final line end
// does not start another line. The views point into `text`.
std::vector<std::string_view> SplitLines(std::string_view text);

// Files larger than this are refused as damaged rather than read into memory; the profile layer
// refuses to write a file beyond it, so that its readers never lose the file.
inline constexpr long long cMaxTextFileSize = 32LL * 1024 * 1024;

}  // namespace tavlor
