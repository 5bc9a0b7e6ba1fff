// The help text's RTF reader on small documents.

#include <gtest/gtest.h>

#include <QStringList>
#include <QTextBlock>
#include <QTextDocument>

#include "ui/HelpForm.h"
#include "ui/RtfReader.h"

namespace tavlor {
namespace {

struct TTextCase {
    const char* Rtf;
    const char* Text;
};

TEST(RtfReader, PlainTextOfSmallDocuments) {
    const TTextCase cases[] = {
        {R"({\rtf1\ansi Hallo Welt})", "Hallo Welt"},
        {R"({\rtf1 eins\par\par drei\par})", "eins\n\ndrei"},
        {R"({\rtf1 a\line b\tab c})", "a\nb\tc"},
        {"{\\rtf1 Zeile\r\numbruch im\nText}", "Zeileumbruch imText"},
        {R"({\rtf1 Stra\'dfe, \'c4rger, \'80 und \'84Zitat\'93})", "Straße, Ärger, € und „Zitat“"},
        {R"({\rtf1 Euro \u8364? und \uc0\u8364 ohne Ersatz})", "Euro € und €ohne Ersatz"},
        {R"({\rtf1\uc2 x\u228\'e4\'e4y})", "xäy"},
        {R"({\rtf1 \u-10179?\u-8704?})", "\xF0\x9F\x98\x80"},
        {R"({\rtf1 \\ \{ \} a\~b})",
         "\\ { } a\xC2\xA0"
         "b"},
        {R"({\rtf1{\fonttbl{\f0\fswiss Arial;}}{\colortbl;\red255\green0\blue0;})"
         R"({\*\generator Writer;}{\info{\title Titel}}Text})",
         "Text"},
        {R"({\rtf1{\*\unbekannt geheim}{\pict 0a0b0c}sichtbar})", "sichtbar"},
        {R"({\rtf1 ab}}}cd)", "abcd"},
        {R"({\rtf1 offen {\b fett)", "offen fett"},
        {R"({\rtf1\unbekannterbefehl123 Text\fs-5 x\ldblquote y\rdblquote})", "Textx“y”"},
        {"\xEF\xBB\xBF  {\\rtf1 mit BOM}", "mit BOM"},
    };
    for (const TTextCase& c : cases) {
        const TRtfResult result = ReadRtf(c.Rtf);
        ASSERT_TRUE(result.Ok) << c.Rtf;
        EXPECT_EQ(result.Document.PlainText(), c.Text) << c.Rtf;
    }
}

TEST(RtfReader, RefusesWhatIsNoRtf) {
    for (const char* text : {"", "Hallo", "{\\rtx1 x}", "rtf1"}) {
        const TRtfResult result = ReadRtf(text);
        EXPECT_FALSE(result.Ok) << text;
        EXPECT_FALSE(result.Error.empty());
    }
}

TEST(RtfReader, CharacterFormatsFollowGroupsAndSwitches) {
    const TRtfResult result = ReadRtf(
        R"({\rtf1\fs20 normal {\b fett {\i kursiv}} \ul unter\ulnone\b  B\b0  \fs32 gross\plain  p})");
    ASSERT_TRUE(result.Ok);
    ASSERT_EQ(result.Document.Paragraphs.size(), 1u);
    // Each run as its switches (bold, italic, underlined), its size in half points and its text.
    QStringList runs;
    for (const TRtfRun& run : result.Document.Paragraphs[0].Runs)
        runs << QString("%1%2%3%4:%5")
                    .arg(run.Bold ? "b" : "", run.Italic ? "i" : "", run.Underline ? "u" : "")
                    .arg(run.FontHalfPoints)
                    .arg(QString::fromStdString(run.Text));
    EXPECT_EQ(runs, QStringList({"20:normal ", "b20:fett ", "bi20:kursiv", "20: ", "u20:unter",
                                 "b20: B", "20: ", "32:gross", "24: p"}));
}

TEST(RtfReader, DeepNestingAndLongNumbersStayHarmless) {
    std::string deep = "{\\rtf1 ";
    for (int i = 0; i < 100000; ++i)
        deep += "{\\b ";
    deep += "x";
    const TRtfResult result = ReadRtf(deep + "\\fs99999999999999999999 y\\u99999999999?z");
    ASSERT_TRUE(result.Ok);
    const std::string text = result.Document.PlainText();
    EXPECT_EQ(text.substr(0, 2), "xy");
    EXPECT_EQ(text.back(), 'z');
}

TEST(RtfReader, FillsARichTextDocument) {
    const TRtfResult result = ReadRtf(R"({\rtf1\qc{\b\fs36 Titel}\par\pard a\line b\par})");
    ASSERT_TRUE(result.Ok);
    QTextDocument document;
    FillTextDocument(result.Document, document);
    ASSERT_EQ(document.blockCount(), 2);
    const QTextBlock title = document.firstBlock();
    EXPECT_EQ(title.text(), "Titel");
    EXPECT_EQ(title.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    const QTextCharFormat format = title.begin().fragment().charFormat();
    EXPECT_EQ(format.fontWeight(), QFont::Bold);
    EXPECT_DOUBLE_EQ(format.fontPointSize(), 18.0);
    EXPECT_EQ(title.next().text(), QString("a") + QChar::LineSeparator + "b");
    EXPECT_EQ(title.next().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
}

}  // namespace
}  // namespace tavlor
