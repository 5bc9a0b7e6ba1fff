#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace tavlor::testing {

// A fresh folder below the test temporary folder, removed with everything in it at the end.
class TTempFolder {
public:
    TTempFolder();
    ~TTempFolder();
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    const std::string& Path() const { return FPath; }
    std::string File(std::string_view name) const { return FPath + "/" + std::string(name); }

private:
    std::string FPath;
};

void WriteBytes(const std::string& fileName, std::string_view bytes);
std::string ReadBytes(const std::string& fileName);
bool FileExists(const std::string& fileName);

// Runs `call` and tells whether it returned within seconds. A call that blocks on the FIFO
// `fifo` meanwhile (waiting for a writer, or for data) is released by a writer that opens the
// FIFO and closes it again, so a failing test ends instead of hanging.
bool ReturnsWithoutWaitingOn(const std::string& fifo, const std::function<void()>& call);

}  // namespace tavlor::testing
