#include "Ini.h"
#include "Settings.h"
#include "TempDir.h"

#include <gtest/gtest.h>

namespace {

TEST(Ini, ReadsValuesAndDefaults) {
    IniFile ini = IniFile::FromText("; comment\r\n[Comm]\r\nPort=3\r\n BaudRate = 4 \r\n"
                                    "[Default]\r\nPrint Speed=9\r\n-% rate=01.50\r\nbad=x\r\n");
    EXPECT_EQ(ini.ReadInteger("Comm", "Port", 2), 3);
    EXPECT_EQ(ini.ReadInteger("comm", "baudrate", 0), 4);
    EXPECT_EQ(ini.ReadInteger("Default", "Print Speed", 1), 9);
    EXPECT_EQ(ini.ReadString("Default", "-% rate", "00.00"), "01.50");
    EXPECT_EQ(ini.ReadInteger("Default", "bad", 7), 7);
    EXPECT_EQ(ini.ReadString("Default", "missing", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadString("Nope", "Port", "d"), "d");
    EXPECT_TRUE(IniFile::FromText("[A]\nB=5\n").ReadBool("A", "B", false));
}

TEST(Ini, WritingKeepsEverythingElseByteForByte) {
    const std::string original = "; keep me\r\n[Comm]\r\nPort=3\r\nOdd line without equals\r\n"
                                 "\r\n[Other]\nX=\xE9\xFF\n";
    IniFile ini = IniFile::FromText(original);
    ini.WriteInteger("Comm", "Port", 1);
    EXPECT_EQ(ini.Text(), "; keep me\r\n[Comm]\r\nPort=1\r\nOdd line without equals\r\n"
                          "\r\n[Other]\nX=\xE9\xFF\n");
    ini.WriteInteger("Comm", "BaudRate", 2);
    EXPECT_EQ(ini.Text(), "; keep me\r\n[Comm]\r\nPort=1\r\nBaudRate=2\r\n"
                          "Odd line without equals\r\n\r\n[Other]\nX=\xE9\xFF\n");
    ini.WriteString("New", "K", "v");
    EXPECT_EQ(ini.ReadString("New", "K", ""), "v");
    EXPECT_EQ(ini.Text(), "; keep me\r\n[Comm]\r\nPort=1\r\nBaudRate=2\r\n"
                          "Odd line without equals\r\n\r\n[Other]\nX=\xE9\xFF\n[New]\r\nK=v\r\n");
}

TEST(Ini, LineBreaksInAValueNeverMakeANewKey) {
    IniFile ini = IniFile::FromText("[Default]\r\nVAT1=05.00\r\n");
    ini.WriteString("Default", "Header1", "Shop\r\nVAT1=99.99\nX=1\rY=2");
    IniFile reread = IniFile::FromText(ini.Text());
    EXPECT_EQ(reread.ReadString("Default", "VAT1", ""), "05.00");
    EXPECT_EQ(reread.ReadString("Default", "X", "none"), "none");
    EXPECT_EQ(reread.ReadString("Default", "Header1", ""), "Shop  VAT1=99.99 X=1 Y=2");
}

TEST(Ini, FirstOfDuplicateSectionsAndKeysWins) {
    IniFile ini = IniFile::FromText("[A]\nK=1\nK=2\n[A]\nK=3\n");
    EXPECT_EQ(ini.ReadInteger("A", "K", 0), 1);
    ini.WriteInteger("A", "K", 9);
    EXPECT_EQ(ini.Text(), "[A]\nK=9\nK=2\n[A]\nK=3\n");
}

TEST(Ini, SaveReplacesTheFileWholeAndMissingFilesReadAsDefaults) {
    TempProgramDir dir;
    EXPECT_EQ(IniReadInteger(SystemCfgPath(), "Comm", "Port", 2), 2);
    ASSERT_TRUE(IniWriteInteger(SystemCfgPath(), "Comm", "Port", 4));
    EXPECT_EQ(ReadFileBytes(SystemCfgPath()), "[Comm]\r\nPort=4\r\n");
    ReadCommSettings();
    EXPECT_EQ(PortNumber, 4);
    EXPECT_EQ(BaudIndex, 0);
    ASSERT_TRUE(IniWriteInteger(SystemCfgPath(), "Comm", "BaudRate", 7));
    ReadCommSettings();
    EXPECT_EQ(BaudIndex, 0) << "a rate index outside 0 to 4 reads as 0";
    EXPECT_FALSE(IniWriteInteger(dir.Path("no/such/dir/SYSTEM.CFG"), "A", "B", 1));
}

TEST(Ini, PortNamesMapToDevices) {
    TempProgramDir dir;
    EXPECT_EQ(PortDevicePath("COM1"), "/dev/ttyS0");
    EXPECT_EQ(PortDevicePath("COM4"), "/dev/ttyS3");
    EXPECT_EQ(PortDevicePath("COM0"), "");
    EXPECT_EQ(PortDevicePath("COM5"), "");
    IniWriteString(SystemCfgPath(), "Ports", "COM3", "/dev/ttyUSB0");
    EXPECT_EQ(PortDevicePath("COM3"), "/dev/ttyUSB0");
}

} // namespace
