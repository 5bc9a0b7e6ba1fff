#include "platform/Settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/platform/TempFolder.h"

namespace tavlor {
namespace {

using testing::ReadBytes;
using testing::TTempFolder;
using testing::WriteBytes;

TEST(Settings, MissingFileGivesDefaults) {
    TTempFolder folder;
    const TSettings settings = ReadSettings(TIniFile(folder.File(cSettingsFileName)));
    EXPECT_EQ(settings, TSettings{});
    EXPECT_EQ(settings.Width, 616);
    EXPECT_EQ(settings.Height, 596);
    EXPECT_EQ(settings.BitmapSet, "USUAL");
    EXPECT_EQ(settings.LeftBottomClient, 56);
    EXPECT_EQ(settings.ComputerGame, 1);
    EXPECT_EQ(settings.MatKnight, 275);
}

TEST(Settings, DefaultsWrittenWithAllKeysInOrder) {
    TTempFolder folder;
    TIniFile file(folder.File(cSettingsFileName));
    ASSERT_TRUE(WriteSettings(file, TSettings{}));
    EXPECT_EQ(ReadBytes(file.FileName()),
              "[COMMON]\r\nWIDTH=616\r\nHEIGHT=596\r\nTOP=10\r\nLEFT=10\r\nBITMAPS=USUAL\r\n"
              "NETWORK=\r\nPLAYERNAME=\r\nLEFTBOTTOMHUM=130\r\nLEFTBOTTOMCOM=130\r\n"
              "LEFTBOTTOMCLIENT=56\r\nCOMPUTERSTRENGTH=4\r\nCOMPUTERTIME=10\r\nCOMPUTERGAME=1\r\n"
              "MATERIALONLY=0\r\nABSOLUTEDEEP=0\r\nFIVEMATONLY=0\r\nMatQueen =900\r\n"
              "MatRook  =475\r\nMatNight =275\r\nMatBishop=325\r\nMatPawn  =100\r\n");
}

TEST(Settings, RoundTrip) {
    TTempFolder folder;
    TIniFile file(folder.File(cSettingsFileName));
    TSettings settings;
    settings.Width = 1024;
    settings.Height = -3;
    settings.Top = 0;
    settings.Left = 2147483647;
    settings.BitmapSet = "HOLZ";
    settings.NetworkPath = "/mnt/schach/";
    settings.PlayerName = "Jörg Müller";
    settings.LeftBottomHum = 1;
    settings.LeftBottomCom = 200;
    settings.LeftBottomClient = 70;
    settings.ComputerStrength = 12;
    settings.ComputerTime = 600;
    settings.ComputerGame = 2;
    settings.MaterialOnly = true;
    settings.AbsoluteDeep = true;
    settings.FiveMatOnly = true;
    settings.MatQueen = 880;
    settings.MatRook = 500;
    settings.MatKnight = 300;
    settings.MatBishop = 310;
    settings.MatPawn = 90;
    ASSERT_TRUE(WriteSettings(file, settings));
    EXPECT_EQ(ReadSettings(file), settings);
    // A second write of the same values changes nothing.
    const std::string bytes = ReadBytes(file.FileName());
    ASSERT_TRUE(WriteSettings(file, settings));
    EXPECT_EQ(ReadBytes(file.FileName()), bytes);
    EXPECT_NE(bytes.find("PLAYERNAME=J\xF6rg M\xFCller\r\n"), std::string::npos);
}

TEST(Settings, OddValuesInTheFile) {
    TTempFolder folder;
    const std::string fileName = folder.File(cSettingsFileName);
    WriteBytes(fileName,
               "[common]\n"
               "width=0x280\n"  // hexadecimal
               "HEIGHT=abc\n"   // not a number: default
               "TOP=12px\n"     // not a number: default
               "LEFT=\n"        // empty: default
               "BITMAPS=  \"MODERN\"  \n"
               "COMPUTERGAME=257\n"  // kept in one byte
               "COMPUTERTIME = -5 \n"
               "MATERIALONLY=7\n"    // any other integer than 0 is true
               "ABSOLUTEDEEP=yes\n"  // not a number: default false
               "FIVEMATONLY=0x1\n"
               "MatQueen=1000\n"  // found without the trailing blank
               "MatPawn   =  95\n"
               "COMPUTERSTRENGTH=99999999999\n");  // beyond 32 bits: default
    const TSettings settings = ReadSettings(TIniFile(fileName));
    EXPECT_EQ(settings.Width, 640);
    EXPECT_EQ(settings.Height, 596);
    EXPECT_EQ(settings.Top, 10);
    EXPECT_EQ(settings.Left, 10);
    EXPECT_EQ(settings.BitmapSet, "MODERN");
    EXPECT_EQ(settings.ComputerGame, 1);
    EXPECT_EQ(settings.ComputerTime, -5);
    EXPECT_TRUE(settings.MaterialOnly);
    EXPECT_FALSE(settings.AbsoluteDeep);
    EXPECT_TRUE(settings.FiveMatOnly);
    EXPECT_EQ(settings.MatQueen, 1000);
    EXPECT_EQ(settings.MatPawn, 95);
    EXPECT_EQ(settings.ComputerStrength, 4);
}

TEST(Settings, WriteFailureNamesTheFile) {
    TTempFolder folder;
    const std::string fileName =
        folder.File("missing-folder") + "/" + std::string(cSettingsFileName);
    TIniFile file(fileName);
    const TFileStatus status = WriteSettings(file, TSettings{});
    ASSERT_FALSE(status);
    EXPECT_NE(status.Message.find(fileName), std::string::npos) << status.Message;
}

}  // namespace
}  // namespace tavlor
