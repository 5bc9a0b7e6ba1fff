#include "platform/IniFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <unordered_map>

#include "platform/Win1252.h"

namespace tavlor {

namespace {

// The characters the profile calls trim from lines, names and values.
constexpr bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == '\x1A';
}

std::string_view TrimLeft(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    return text;
}

std::string_view TrimRight(std::string_view text) {
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string_view Trim(std::string_view text) {
    return TrimRight(TrimLeft(text));
}

// Windows compares profile names through its upper-case table, so the letters of Windows-1252
// beyond ASCII ("Ä" and "ä") match as well.
constexpr unsigned char FoldCase(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 0x20);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 0x20);
    if (c == 0x8A || c == 0x8C || c == 0x8E) return static_cast<unsigned char>(c + 0x10);
    if (c == 0x9F) return 0xFF;
    return c;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (FoldCase(static_cast<unsigned char>(a[i])) !=
            FoldCase(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// A name with its case folded, for looking names up in a table.
std::string FoldedName(std::string_view name) {
    std::string folded(name);
    for (char& c : folded)
        c = static_cast<char>(FoldCase(static_cast<unsigned char>(c)));
    return folded;
}

enum class TLineKind { lkBlank, lkHeader, lkComment, lkEntry };

// One line of the file. Begin..End is its text without the line break, Next where the following
// line starts; Name is the section name of a header or the key of an entry, both trimmed.
struct TLine {
    std::size_t Begin = 0;
    std::size_t End = 0;
    std::size_t Next = 0;
    TLineKind Kind = TLineKind::lkBlank;
    std::string_view Name;
    std::string_view Value;
    bool HasValue = false;
};

TLine ClassifyLine(std::string_view bytes, std::size_t begin, std::size_t end) {
    TLine line;
    line.Begin = begin;
    line.End = end;
    const std::string_view text = Trim(bytes.substr(begin, end - begin));
    if (text.empty()) return line;
    if (text.front() == '[') {
        const std::size_t close = text.rfind(']');
        if (close != std::string_view::npos) {
            line.Kind = TLineKind::lkHeader;
            line.Name = Trim(text.substr(1, close - 1));
            return line;
        }
    }
    if (text.front() == ';') {
        line.Kind = TLineKind::lkComment;
        return line;
    }
    line.Kind = TLineKind::lkEntry;
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) {
        line.Name = text;
    } else {
        line.Name = TrimRight(text.substr(0, equals));
        line.Value = TrimLeft(text.substr(equals + 1));
        line.HasValue = true;
    }
    return line;
}

std::vector<TLine> ParseLines(std::string_view bytes) {
    const std::vector<std::string_view> texts = SplitLines(bytes);
    std::vector<TLine> lines;
    lines.reserve(texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const auto begin = static_cast<std::size_t>(texts[i].data() - bytes.data());
        TLine line = ClassifyLine(bytes, begin, begin + texts[i].size());
        line.Next = i + 1 < texts.size()
                        ? static_cast<std::size_t>(texts[i + 1].data() - bytes.data())
                        : bytes.size();
        lines.push_back(line);
    }
    return lines;
}

// A section as line numbers: its header and the lines up to (not including) the next header.
struct TSectionLines {
    std::size_t Header = 0;
    std::size_t Stop = 0;
};

std::optional<TSectionLines> FindSection(const std::vector<TLine>& lines, std::string_view name) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].Kind != TLineKind::lkHeader || !SameName(lines[i].Name, name)) continue;
        std::size_t stop = i + 1;
        while (stop < lines.size() && lines[stop].Kind != TLineKind::lkHeader)
            ++stop;
        return TSectionLines{i, stop};
    }
    return std::nullopt;
}

// The first line of the key in the section, a line without "=" included.
std::optional<std::size_t> FindKey(const std::vector<TLine>& lines, TSectionLines section,
                                   std::string_view key) {
    for (std::size_t i = section.Header + 1; i < section.Stop; ++i)
        if (lines[i].Kind == TLineKind::lkEntry && SameName(lines[i].Name, key)) return i;
    return std::nullopt;
}

// A value in matching quotes loses them; that is how a value keeps its outer blanks.
std::string_view StripQuotes(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

std::string_view Truncate(std::string_view text, std::size_t length) {
    return text.substr(0, std::min(text.size(), length));
}

// A value as a read gives it: one pair of quotes removed, cut to what the buffer takes.
std::string ValueAsRead(std::string_view value) {
    return Win1252ToUtf8(Truncate(StripQuotes(value), TIniFile::cMaxValueLength));
}

// Collects names the way they fill the profile calls' fixed buffer: each takes its length plus a
// zero byte, one zero closes the list; the first name that does not fit is cut, the rest is lost.
class TNameList {
public:
    explicit TNameList(std::vector<std::string>& names) : FNames(names) { FNames.clear(); }

    void Add(std::string_view name) {
        if (FFull || name.empty()) return;
        const std::size_t room = TIniFile::cNameListBufferSize - 1 - FUsed;
        if (name.size() + 1 >= room) {
            FFull = true;
            if (room > 1) FNames.push_back(Win1252ToUtf8(name.substr(0, room - 1)));
            return;
        }
        FUsed += name.size() + 1;
        FNames.push_back(Win1252ToUtf8(name));
    }

private:
    std::vector<std::string>& FNames;
    std::size_t FUsed = 0;
    bool FFull = false;
};

// Text for the file: Windows-1252, and no line break or zero byte that would split a line.
std::string FileText(std::string_view text) {
    std::string bytes = Utf8ToWin1252(text);
    for (char& c : bytes)
        if (c == '\r' || c == '\n' || c == '\0') c = ' ';
    return bytes;
}

// How long a call keeps trying when other writers replace the file under it again and again.
constexpr auto cOpenPatience = std::chrono::seconds(10);

// Opens and locks the file the name stands for. A writer may have renamed a new file over the
// name while this call waited for the lock; then the locked file is stale and it starts again.
// For reading, a missing file gives -1 with a good status.
int OpenLocked(const std::string& fileName, bool exclusive, TFileStatus& status) {
    const TFileAction action = exclusive ? TFileAction::faWrite : TFileAction::faRead;
    const auto deadline = std::chrono::steady_clock::now() + cOpenPatience;
    while (std::chrono::steady_clock::now() < deadline) {
        // Anyone who can write to the folder can put a FIFO or a device under the name; opening
        // one must not wait for a writer, and reading or locking it must not be tried at all.
        const int descriptor =
            exclusive ? open(fileName.c_str(), O_RDWR | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666)
                      : open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (descriptor < 0) {
            if (!exclusive && errno == ENOENT) return -1;
            status = FileFailure(action, fileName, errno);
            return -1;
        }
        if (TFileStatus regular = CheckRegularFile(descriptor, fileName, action); !regular) {
            close(descriptor);
            status = regular;
            return -1;
        }
        int error = 0;
        if (!LockDescriptor(descriptor, exclusive, error)) {
            close(descriptor);
            status = FileFailure(TFileAction::faLock, fileName, error);
            return -1;
        }
        struct stat held {};
        struct stat named {};
        if (fstat(descriptor, &held) == 0 && stat(fileName.c_str(), &named) == 0 &&
            held.st_dev == named.st_dev && held.st_ino == named.st_ino)
            return descriptor;
        close(descriptor);
    }
    status = FileFailure(TFileAction::faLock, fileName, EBUSY);
    return -1;
}

// A key and a value as they go into the file: Windows-1252, one line each.
struct TEntryText {
    std::string Key;
    std::string Value;
};

// Removes the first section of that name: its header and every line up to the next header.
bool EraseSectionIn(std::string& bytes, std::string_view sectionName) {
    if (sectionName.empty()) return false;
    const std::vector<TLine> lines = ParseLines(bytes);
    const auto found = FindSection(lines, sectionName);
    if (!found) return false;
    const std::size_t begin = lines[found->Header].Begin;
    const std::size_t end = found->Stop < lines.size() ? lines[found->Stop].Begin : bytes.size();
    bytes.erase(begin, end - begin);
    return true;
}

// Writes keys (each once) into the first section of that name, or a new section at the end, the
// way one profile write per key does it, with one look at the file for all of them; tells
// whether the bytes changed.
bool WriteEntriesIn(std::string& bytes, std::string_view sectionText,
                    const std::vector<TEntryText>& entries) {
    if (entries.empty()) return false;
    const std::vector<TLine> lines = ParseLines(bytes);
    const auto found = FindSection(lines, Trim(sectionText));
    if (!found) {
        if (!bytes.empty() && bytes.back() != '\n' && bytes.back() != '\r') bytes += "\r\n";
        bytes.append("[").append(TrimLeft(sectionText)).append("]\r\n");
        for (const TEntryText& entry : entries)
            bytes.append(TrimLeft(entry.Key)).append("=").append(entry.Value).append("\r\n");
        return true;
    }

    // The first line of every key of the section, a line without "=" included.
    std::unordered_map<std::string, std::size_t> existing;
    for (std::size_t i = found->Header + 1; i < found->Stop; ++i)
        if (lines[i].Kind == TLineKind::lkEntry) existing.try_emplace(FoldedName(lines[i].Name), i);

    struct TEdit {
        std::size_t Begin;
        std::size_t End;
        std::string Text;
    };
    std::vector<TEdit> edits;
    std::string appended;
    for (const TEntryText& entry : entries) {
        const auto at = existing.find(FoldedName(Trim(entry.Key)));
        if (at == existing.end()) {
            appended.append(TrimLeft(entry.Key)).append("=").append(entry.Value).append("\r\n");
            continue;
        }
        // Only the value changes; the key keeps its spelling and its blanks up to the "=".
        const TLine& old = lines[at->second];
        const std::string_view oldText(bytes.data() + old.Begin, old.End - old.Begin);
        std::size_t keep = oldText.find('=');
        keep = keep == std::string_view::npos ? TrimRight(oldText).size() : keep + 1;
        std::string text(oldText.substr(0, keep));
        if (!old.HasValue) text += '=';
        text += entry.Value;
        if (oldText != text) edits.push_back({old.Begin, old.End, std::move(text)});
    }
    if (!appended.empty()) {
        // After the last line that is not blank, so a blank line before the next section stays
        // where it is.
        std::size_t last = found->Header;
        for (std::size_t i = found->Header + 1; i < found->Stop; ++i)
            if (lines[i].Kind != TLineKind::lkBlank) last = i;
        if (lines[last].Next == lines[last].End) appended.insert(0, "\r\n");
        edits.push_back({lines[last].Next, lines[last].Next, std::move(appended)});
    }
    // From the end of the file back, so that every edit still finds its place.
    std::sort(edits.begin(), edits.end(),
              [](const TEdit& a, const TEdit& b) { return a.Begin > b.Begin; });
    for (const TEdit& edit : edits)
        bytes.replace(edit.Begin, edit.End - edit.Begin, edit.Text);
    return !edits.empty();
}

}  // namespace

TFileStatus TIniFile::Load(std::string& bytes) const {
    bytes.clear();
    TFileStatus status;
    const int descriptor = OpenLocked(FFileName, false, status);
    if (descriptor < 0) return status;
    status = ReadOpenFile(descriptor, FFileName, bytes);
    close(descriptor);
    return status;
}

TFileStatus TIniFile::Update(const std::function<bool(std::string& bytes)>& edit) {
    TFileStatus status;
    const int descriptor = OpenLocked(FFileName, true, status);
    if (descriptor < 0) return status;
    std::string bytes;
    status = ReadOpenFile(descriptor, FFileName, bytes);
    int successor = -1;
    if (status && edit(bytes)) {
        // A file that no reader takes any more would be lost to every program that shares it.
        status = bytes.size() > static_cast<std::size_t>(cMaxTextFileSize)
                     ? FileFailure(TFileAction::faWrite, FFileName, EFBIG)
                     : ReplaceFileBytes(FFileName, bytes, &successor, FDurability);
    }
    // A writer waiting for the old file wakes up, finds the name taken by the new one and queues
    // for it; only then is the new file released, so that writer is not overtaken every time.
    close(descriptor);
    if (successor >= 0) close(successor);
    return status;
}

TFileStatus TIniFile::ReadSections(std::vector<std::string>& sections) const {
    TNameList list(sections);
    std::string bytes;
    TFileStatus status = Load(bytes);
    for (const TLine& line : ParseLines(bytes))
        if (line.Kind == TLineKind::lkHeader) list.Add(line.Name);
    return status;
}

TFileStatus TIniFile::ReadSection(std::string_view section, std::vector<std::string>& keys) const {
    TNameList list(keys);
    return ForEachValueLine(section,
                            [&list](std::string_view key, std::string_view) { list.Add(key); });
}

TFileStatus TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue, std::string& value) const {
    std::string_view fallback = defaultValue;
    while (!fallback.empty() && fallback.back() == ' ')
        fallback.remove_suffix(1);
    value = Win1252ToUtf8(Truncate(Utf8ToWin1252(fallback), cMaxValueLength));

    const std::string sectionName = Utf8ToWin1252(Trim(section));
    const std::string keyName = Utf8ToWin1252(Trim(key));
    if (sectionName.empty() || keyName.empty()) return {};
    std::string bytes;
    TFileStatus status = Load(bytes);
    const std::vector<TLine> lines = ParseLines(bytes);
    const auto found = FindSection(lines, sectionName);
    if (!found) return status;
    const auto line = FindKey(lines, *found, keyName);
    if (line && lines[*line].HasValue) value = ValueAsRead(lines[*line].Value);
    return status;
}

TFileStatus TIniFile::ReadSectionValues(std::string_view section,
                                        std::vector<TIniEntry>& entries) const {
    entries.clear();
    return ForEachValueLine(section, [&entries](std::string_view key, std::string_view value) {
        if (!key.empty()) entries.push_back({Win1252ToUtf8(key), ValueAsRead(value)});
    });
}

TFileStatus TIniFile::ForEachValueLine(
    std::string_view section,
    const std::function<void(std::string_view key, std::string_view value)>& visit) const {
    const std::string name = Utf8ToWin1252(Trim(section));
    if (name.empty()) return {};
    std::string bytes;
    TFileStatus status = Load(bytes);
    const std::vector<TLine> lines = ParseLines(bytes);
    if (const auto found = FindSection(lines, name)) {
        for (std::size_t i = found->Header + 1; i < found->Stop; ++i)
            if (lines[i].Kind == TLineKind::lkEntry && lines[i].HasValue)
                visit(lines[i].Name, lines[i].Value);
    }
    return status;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const {
    // A file that cannot be read leaves the value at the default.
    std::string value;
    static_cast<void>(ReadString(section, key, defaultValue, value));
    return value;
}

TFileStatus TIniFile::WriteString(std::string_view section, std::string_view key,
                                  std::string_view value) {
    return WriteEntries(section, {{std::string(key), std::string(value)}}, false);
}

TFileStatus TIniFile::WriteStrings(std::string_view section,
                                   const std::vector<TIniEntry>& entries) {
    return WriteEntries(section, entries, false);
}

TFileStatus TIniFile::ReplaceSection(std::string_view section,
                                     const std::vector<TIniEntry>& entries) {
    return WriteEntries(section, entries, true);
}

TFileStatus TIniFile::WriteEntries(std::string_view section, const std::vector<TIniEntry>& entries,
                                   bool eraseFirst) {
    const std::string sectionText = FileText(section);
    const std::string_view sectionName = Trim(sectionText);
    // Each key once, in the order of its first entry and with its first spelling, holding the
    // value of its last entry: what one write per entry leaves in the file.
    std::vector<TEntryText> texts;
    std::unordered_map<std::string, std::size_t> written;
    for (const TIniEntry& entry : entries) {
        std::string keyText = FileText(entry.Key);
        if (Trim(keyText).empty()) return FileFailure(TFileAction::faWrite, FFileName, EINVAL);
        const auto [at, added] = written.try_emplace(FoldedName(Trim(keyText)), texts.size());
        if (added)
            texts.push_back({std::move(keyText), FileText(entry.Value)});
        else
            texts[at->second].Value = FileText(entry.Value);
    }
    if (sectionName.empty() && !(eraseFirst && texts.empty()))
        return FileFailure(TFileAction::faWrite, FFileName, EINVAL);
    if (!eraseFirst && texts.empty()) return {};

    return Update([&](std::string& bytes) {
        const bool erased = eraseFirst && EraseSectionIn(bytes, sectionName);
        return WriteEntriesIn(bytes, sectionText, texts) || erased;
    });
}

TFileStatus TIniFile::DeleteKey(std::string_view section, std::string_view key) {
    const std::string sectionName = Utf8ToWin1252(Trim(section));
    const std::string keyName = Utf8ToWin1252(Trim(key));
    return Update([&](std::string& bytes) {
        const std::vector<TLine> lines = ParseLines(bytes);
        const auto found = FindSection(lines, sectionName);
        if (!found || keyName.empty()) return false;
        const auto line = FindKey(lines, *found, keyName);
        if (!line) return false;
        bytes.erase(lines[*line].Begin, lines[*line].Next - lines[*line].Begin);
        return true;
    });
}

TFileStatus TIniFile::EraseSection(std::string_view section) {
    const std::string sectionName = Utf8ToWin1252(Trim(section));
    return Update([&](std::string& bytes) { return EraseSectionIn(bytes, sectionName); });
}

std::string ProfileValueReadBack(std::string_view value) {
    const std::string bytes = FileText(value);
    return ValueAsRead(Trim(bytes));
}

std::string ProfileValueCutToReadLimit(std::string_view value) {
    const std::string bytes = FileText(value);
    const std::string_view trimmed = Trim(bytes);
    const std::string_view kept = StripQuotes(trimmed);
    if (kept.size() <= TIniFile::cMaxValueLength) return std::string(value);
    // A quoted value keeps its quotes around the part that is kept.
    if (kept.size() != trimmed.size()) {
        std::string quoted(1, trimmed.front());
        quoted.append(kept.substr(0, TIniFile::cMaxValueLength)).push_back(trimmed.front());
        return Win1252ToUtf8(quoted);
    }
    return Win1252ToUtf8(kept.substr(0, TIniFile::cMaxValueLength));
}

std::string ProfileNameAsListed(std::string_view name) {
    const std::string bytes = FileText(name);
    return Win1252ToUtf8(Trim(bytes));
}

std::optional<std::int32_t> ParseProfileInteger(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    unsigned base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    } else if (text.size() > 1 && text[0] == '$') {
        base = 16;
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    // Hexadecimal takes all 32 bits (0xFFFFFFFF is -1); decimal must fit the signed range.
    const std::uint64_t limit =
        base == 16 ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
    std::uint64_t magnitude = 0;
    for (char c : text) {
        unsigned digit;
        if (c >= '0' && c <= '9')
            digit = static_cast<unsigned>(c - '0');
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = static_cast<unsigned>(c - 'a' + 10);
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = static_cast<unsigned>(c - 'A' + 10);
        else
            return std::nullopt;
        magnitude = magnitude * base + digit;
        if (magnitude > limit) return std::nullopt;
    }
    const auto bits = static_cast<std::uint32_t>(negative ? 0u - magnitude : magnitude);
    return static_cast<std::int32_t>(bits);
}

std::int32_t TIniFile::ReadInteger(std::string_view section, std::string_view key,
                                   std::int32_t defaultValue) const {
    return ParseProfileInteger(ReadString(section, key, "")).value_or(defaultValue);
}

TFileStatus TIniFile::WriteInteger(std::string_view section, std::string_view key,
                                   std::int32_t value) {
    return WriteString(section, key, std::to_string(value));
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool defaultValue) const {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

TFileStatus TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    return WriteString(section, key, value ? "1" : "0");
}

}  // namespace tavlor
