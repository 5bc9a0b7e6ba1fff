#include "platform/Settings.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/platform/TempFolder.h"

namespace tavlor {
namespace {

using testing::ReadBytes;
using testing::TTempFolder;

TEST(Settings, DefaultsWrittenWithAllKeysInOrder) {
    TTempFolder folder;
    TIniFile file(folder.File(cSettingsFileName));
    EXPECT_EQ(ReadSettings(file), TSettings{});
    ASSERT_TRUE(WriteSettings(file, TSettings{}));
    EXPECT_EQ(ReadBytes(file.FileName()),
              "[COMMON]\r\nWIDTH=616\r\nHEIGHT=596\r\nTOP=10\r\nLEFT=10\r\nBITMAPS=USUAL\r\n"
              "NETWORK=\r\nPLAYERNAME=\r\nLEFTBOTTOMHUM=130\r\nLEFTBOTTOMCOM=130\r\n"
              "LEFTBOTTOMCLIENT=56\r\nCOMPUTERSTRENGTH=4\r\nCOMPUTERTIME=10\r\nCOMPUTERGAME=1\r\n"
              "MATERIALONLY=0\r\nABSOLUTEDEEP=0\r\nFIVEMATONLY=0\r\nMatQueen =900\r\n"
              "MatRook  =475\r\nMatNight =275\r\nMatBishop=325\r\nMatPawn  =100\r\n");

    // Settings are written once, at the end of a run: they must survive a power failure then.
    EXPECT_EQ(file.Durability(), TDurability::dbOnDisk);

    TIniFile unwritable(folder.File("missing-folder/Tavlor.INI"));
    const TFileStatus status = WriteSettings(unwritable, TSettings{});
    EXPECT_FALSE(status);
    EXPECT_NE(status.Message.find(unwritable.FileName()), std::string::npos) << status.Message;
}

TEST(Settings, RoundTrip) {
    TTempFolder folder;
    TIniFile file(folder.File(cSettingsFileName));
    const TSettings settings{
        1024, -3,  0,   2147483647, "HOLZ", "/mnt/schach/", "Jörg Müller", 1,
        200,  70,  12,  600,        2,      true,           true,          true,
        880,  500, 300, 310,        90};
    ASSERT_TRUE(WriteSettings(file, settings));
    EXPECT_EQ(ReadSettings(file), settings);
}

TEST(Settings, OddValuesInTheFile) {
    TTempFolder folder;
    const std::string fileName = folder.File(cSettingsFileName);
    testing::WriteBytes(fileName,
                        "[common]\n"
                        "width=0x280\n"  // hexadecimal
                        "HEIGHT=abc\n"   // not a number: default
                        "BITMAPS=  \"MODERN\"  \n"
                        "COMPUTERGAME=257\n"  // kept in one byte
                        "MATERIALONLY=7\n"    // any other integer than 0 is true
                        "ABSOLUTEDEEP=yes\n"  // not a number: default false
                        "MatQueen=1000\n");   // found without the trailing blank
    const TSettings expected{.Width = 640,
                             .BitmapSet = "MODERN",
                             .NetworkPath = "",
                             .PlayerName = "",
                             .MaterialOnly = true,
                             .MatQueen = 1000};
    EXPECT_EQ(ReadSettings(TIniFile(fileName)), expected);
}

// The computer's values reach the search's arithmetic: one outside its range is not taken.
TEST(Settings, ComputerValuesOutsideTheirRangeGiveTheDefaults) {
    struct TCase {
        const char* Line;
        void (*Expected)(TSettings&);
    };
    const TCase cases[] = {
        {"MatQueen =10000", [](TSettings& s) { s.MatQueen = 10000; }},
        {"MatRook  =0", [](TSettings&) {}},
        {"MatBishop=10001", [](TSettings&) {}},
        {"MatPawn  =1", [](TSettings& s) { s.MatPawn = 1; }},
        {"COMPUTERSTRENGTH=13", [](TSettings&) {}},
        {"COMPUTERSTRENGTH=12", [](TSettings& s) { s.ComputerStrength = 12; }},
        {"COMPUTERSTRENGTH=0", [](TSettings&) {}},
        {"COMPUTERTIME=601", [](TSettings&) {}},
        {"COMPUTERTIME=1", [](TSettings& s) { s.ComputerTime = 1; }},
        {"COMPUTERGAME=4", [](TSettings&) {}},
        {"COMPUTERGAME=0", [](TSettings&) {}},
        {"COMPUTERGAME=259", [](TSettings& s) { s.ComputerGame = 3; }},  // its low byte
    };
    TTempFolder folder;
    const std::string fileName = folder.File(cSettingsFileName);
    for (const TCase& test : cases) {
        testing::WriteBytes(fileName, std::string("[COMMON]\r\n") + test.Line + "\r\n");
        TSettings expected;
        test.Expected(expected);
        EXPECT_EQ(ReadSettings(TIniFile(fileName)), expected) << test.Line;
    }
}

}  // namespace
}  // namespace tavlor
