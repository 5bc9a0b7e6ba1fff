// An RTF file as any word processor may have saved the help text: what the reader makes of it
// must be text in UTF-8.

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/FuzzSupport.h"
#include "ui/RtfReader.h"

using namespace tavlor;

namespace {

// Strict UTF-8: no overlong forms, no surrogates, nothing beyond U+10FFFF.
bool IsUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        if (lead < 0xC2 || lead > 0xF4 || i + length > text.size()) return false;
        char32_t codePoint = lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            codePoint = codePoint << 6 | (next & 0x3F);
        }
        const char32_t least = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
        if (codePoint < least || codePoint > 0x10FFFF ||
            (codePoint >= 0xD800 && codePoint <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::InputText(data, size);
    const TRtfResult result = ReadRtf(bytes);
    // The reader refuses only what does not begin with "{\rtf", after a byte order mark and
    // blanks if any.
    std::string_view start = bytes;
    if (start.starts_with("\xEF\xBB\xBF")) start.remove_prefix(3);
    while (!start.empty() && std::isspace(static_cast<unsigned char>(start.front())))
        start.remove_prefix(1);
    fuzz::Check(result.Ok == start.starts_with("{\\rtf"), "the first check is not the only one");
    if (!result.Ok) {
        fuzz::Check(!result.Error.empty(), "refused without a message");
        return 0;
    }
    for (const TRtfParagraph& paragraph : result.Document.Paragraphs)
        for (const TRtfRun& run : paragraph.Runs)
            fuzz::Check(IsUtf8(run.Text), "run text is not UTF-8", run.Text);
    fuzz::Check(IsUtf8(result.Document.PlainText()), "plain text is not UTF-8");
    return 0;
}
