#pragma once

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

}  // namespace tavlor::testing
