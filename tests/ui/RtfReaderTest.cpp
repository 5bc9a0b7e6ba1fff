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

// Each paragraph as its alignment and indents (left, first line, right), then its runs as font
// ("=" for a fixed pitch), colour and text.
QStringList Described(const TRtfDocument& document) {
    QStringList paragraphs;
    for (const TRtfParagraph& paragraph : document.Paragraphs) {
        QString text = QString("%1 %2/%3/%4:")
                           .arg("LCRJ"[static_cast<int>(paragraph.Alignment)])
                           .arg(paragraph.LeftIndent)
                           .arg(paragraph.FirstLineIndent)
                           .arg(paragraph.RightIndent);
        for (const TRtfRun& run : paragraph.Runs)
            text += QString(" [%1%2 %3]%4")
                        .arg(QString::fromStdString(run.FontName), run.FixedPitch ? "=" : "")
                        .arg(run.Colour ? QString::number(*run.Colour, 16) : "auto")
                        .arg(QString::fromStdString(run.Text));
        paragraphs << text;
    }
    return paragraphs;
}

TEST(RtfReader, FontsColoursIndentsAndAlignment) {
    const char* header =
        R"({\rtf1\deff0{\fonttbl{\f0\fswiss Arial;}{\f1\fmodern\fcharset0 Courier New;})"
        R"({\f2\fnil\fprq1{\*\panose 0000}Mono}{\f3\froman\fprq2 Times;}})"
        R"({\colortbl;\red0\green51\blue153;\red255\green0\blue0;})";
    const std::pair<const char*, QStringList> cases[] = {
        {R"(\pard\qc{\b\cf1 Blau}\par})", {"C 0/0/0: [Arial 3399]Blau"}},
        {R"(x\cf2 rot\cf0 auto\cf9 fehlt})",
         {"L 0/0/0: [Arial auto]x [Arial ff0000]rot [Arial auto]autofehlt"}},
        {R"({\f1 a}{\f2 b}{\f3 c}{\f7 d}\f1\plain e})",
         {"L 0/0/0: [Courier New= auto]a [Mono= auto]b [Times auto]c [ auto]d [Arial auto]e"}},
        {R"(\pard\li720\fi-360\ri100 \bullet\tab Punkt\par\pard eben\par})",
         {"L 720/-360/100: [Arial auto]\u2022\tPunkt", "L 0/0/0: [Arial auto]eben"}},
        // A paragraph property applies to the whole paragraph, wherever it stands in it.
        {R"(\pard links\qj\par{\qr rechts}\par\li99999 weit{\*\x\qc}\par})",
         {"J 0/0/0: [Arial auto]links", "R 0/0/0: [Arial auto]rechts",
          "J 31680/0/0: [Arial auto]weit"}},
    };
    for (const auto& [body, expected] : cases) {
        const TRtfResult result = ReadRtf(std::string(header) + body);
        ASSERT_TRUE(result.Ok) << body;
        EXPECT_EQ(Described(result.Document), expected) << body;
    }
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
    const TRtfResult result =
        ReadRtf(R"({\rtf1{\fonttbl{\f1\fmodern Courier New;}}{\colortbl;\red0\green51\blue153;})"
                R"(\qc{\b\fs36 Titel}\par\pard a\line b\par\li720\fi-360\ri300{\f1\cf1 F1}\par})");
    ASSERT_TRUE(result.Ok);
    QTextDocument document;
    FillTextDocument(result.Document, document);
    ASSERT_EQ(document.blockCount(), 3);
    const QTextBlock keys = document.lastBlock();
    EXPECT_EQ(std::tuple(keys.blockFormat().leftMargin(), keys.blockFormat().textIndent(),
                         keys.blockFormat().rightMargin()),
              std::tuple(48.0, -24.0, 20.0));
    const QTextCharFormat fixed = keys.begin().fragment().charFormat();
    EXPECT_EQ(fixed.foreground().color(), QColor(0, 51, 153));
    EXPECT_TRUE(fixed.fontFixedPitch());
    EXPECT_EQ(fixed.fontFamilies().toStringList().value(0), "Courier New");
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
