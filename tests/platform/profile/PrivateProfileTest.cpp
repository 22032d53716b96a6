// The settings-file reader and writer.
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include "profile/PrivateProfile.h"
#include "support/TestEnv.h"
#include "vb/Conv.h"

namespace {

void writeFile(const QString& path, const QByteArray& content) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString get(const QString& file, const char* section, const char* key, const char* def = "dflt", int* count = nullptr) {
    return profile::GetPrivateProfileString(QString::fromUtf8(section), QString::fromUtf8(key), QString::fromUtf8(def), 256,
                                            file, count);
}

class Profile : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString ini() const { return dir.path() + QStringLiteral("/Vantrel.ini"); }
};

TEST_F(Profile, ReadsValuesAsTheWindowsReaderDoes) {
    writeFile(ini(), "; settings\r\n"
                     "[Main]\r\n"
                     "  Left =  1200  \r\n"
                     "Empty=\r\n"
                     "Quoted=\"  spaced  \"\r\n"
                     ";Top=99\r\n"
                     "Left=second\r\n"
                     "Single='x'\r\n"
                     "Mixed=\"x'\r\n"
                     "[other]\n"
                     "Top=5\n"
                     "[MAIN]\n"
                     "Top=7\n");
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    };
    const Case cases[] = {
        {"Main", "Left", "1200"},        // trimmed; the first of two wins
        {"main", "LEFT", "1200"},        // names ignore case
        {"Main", "Empty", ""},           // present but empty: not the default
        {"Main", "Quoted", "  spaced  "},
        {"Main", "Single", "x"},
        {"Main", "Mixed", "\"x'"},
        {"Main", "Top", "dflt"},         // commented out; a second [MAIN] is not read
        {"Other", "top", "5"},           // LF line ends read as well
        {"Nope", "Left", "dflt"},
    };
    for (const Case& c : cases) EXPECT_EQ(get(ini(), c.section, c.key), QString::fromUtf8(c.expected)) << c.section << "/" << c.key;

    int count = -1;
    get(ini(), "Main", "Empty", "dflt", &count);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(vb::Val(get(ini(), "Main", "Empty")), 0.0);
}

TEST_F(Profile, MissingFileGivesTheDefaultWithoutTrailingBlanks) {
    int count = -1;
    EXPECT_EQ(get(ini(), "Main", "Left", "C:\\TEMP  ", &count), QStringLiteral("C:\\TEMP"));
    EXPECT_EQ(count, 7);
    EXPECT_FALSE(QFile::exists(ini()));
}

TEST_F(Profile, LongValuesAreCutToTheBuffer) {
    writeFile(ini(), "[S]\nK=" + QByteArray(300, 'a') + "\n");
    int count = 0;
    EXPECT_EQ(get(ini(), "S", "K", "", &count), QString(255, QLatin1Char('a')));
    EXPECT_EQ(count, 255);
    EXPECT_EQ(profile::GetPrivateProfileString("S", "K", "", 10, ini()).size(), 9);
}

TEST_F(Profile, WritingCreatesTheFileSectionAndKey) {
    ASSERT_TRUE(profile::WritePrivateProfileString("Main", "Left", "1200", ini()));
    ASSERT_TRUE(profile::WritePrivateProfileString("Main", "Top", "300", ini()));
    ASSERT_TRUE(profile::WritePrivateProfileString("Backup", "BackUpTo", "C:\\TEMP", ini()));
    EXPECT_EQ(readFile(ini()), QByteArray("[Main]\nLeft=1200\nTop=300\n[Backup]\nBackUpTo=C:\\TEMP\n"));
    EXPECT_EQ(get(ini(), "backup", "backupto"), QStringLiteral("C:\\TEMP"));
    // Not a missing folder.
    EXPECT_FALSE(profile::WritePrivateProfileString("Main", "Left", "1", dir.path() + QStringLiteral("/no/Vantrel.ini")));
    EXPECT_FALSE(QFileInfo::exists(dir.path() + QStringLiteral("/no")));
}

TEST_F(Profile, WritingReplacesInPlaceAndLeavesOtherLines) {
    const QByteArray before = "; keep me\r\n"
                              "[Main]\r\n"
                              "Left = 1\r\n"
                              "Odd line without equals\r\n"
                              "Top=2\r\n"
                              "\r\n"
                              "[Other]\r\n"
                              "Left=9\r\n";
    writeFile(ini(), before);
    ASSERT_TRUE(profile::WritePrivateProfileString("MAIN", "left", "1500", ini()));
    ASSERT_TRUE(profile::WritePrivateProfileString("Main", "Width", "80", ini()));
    EXPECT_EQ(readFile(ini()), QByteArray("; keep me\r\n"
                                          "[Main]\r\n"
                                          "left=1500\r\n"
                                          "Odd line without equals\r\n"
                                          "Top=2\r\n"
                                          "Width=80\r\n"
                                          "\r\n"
                                          "[Other]\r\n"
                                          "Left=9\r\n"));
    EXPECT_EQ(get(ini(), "Other", "Left"), QStringLiteral("9"));
    EXPECT_EQ(get(ini(), "Main", "Left"), QStringLiteral("1500"));
}

TEST_F(Profile, AWriteTheDiskCannotTakeLeavesTheFileAsItWas) {
    QByteArray old = "[Customer]\nLEFT=100\n";
    while (old.size() < 8192) old += "; a comment line that pads the settings file out\n";
    writeFile(ini(), old);
    bool written = true;
    {
        testsupport::DiskRoom room(4096);   // the new settings do not fit
        written = profile::WritePrivateProfileString("Customer", "TOP", "250", ini());
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(readFile(ini()), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("Vantrel.ini")});
}

TEST_F(Profile, ReadsUtf8AndSingleByteFiles) {
    writeFile(ini(), "[S]\nK=Z\xc3\xbc\n");
    EXPECT_EQ(get(ini(), "S", "K"), QStringLiteral("Z\u00fc"));
    writeFile(ini(), "[S]\nK=Z\xfc\n");
    EXPECT_EQ(get(ini(), "S", "K"), QStringLiteral("Z\u00fc"));
}

TEST_F(Profile, AWriteKeepsTheBytesOfEveryLineItDoesNotChange) {
    // A single-byte code page line stays, the new value is UTF-8; a line break is refused; marks are kept and hide nothing.
    const struct { QByteArray before; const char *key, *value; QByteArray after; } cases[] = {
        {"[Data]\r\nA=1\r\nOld=Z\xfc\r\nK=x\r\n", "K", "/home/m\u00fcller", "[Data]\r\nA=1\r\nOld=Z\xfc\r\nK=/home/m\xc3\xbcller\r\n"},
        {"[Data]\nA=1\n", "K", "/srv/a\n[Customer]\nLEFT=999", "[Data]\nA=1\n"},
        {"[Data]\nA=1\n", "K", "/srv/a\r", "[Data]\nA=1\n"},
        {"\xEF\xBB\xBF\xEF\xBB\xBF[Data]\nA=1", "B", "2", "\xEF\xBB\xBF\xEF\xBB\xBF[Data]\nA=1\nB=2\n"},
    };
    for (const auto& c : cases) {
        writeFile(ini(), c.before);
        EXPECT_EQ(get(ini(), "Data", "A"), QStringLiteral("1"));
        EXPECT_EQ(profile::WritePrivateProfileString("Data", c.key, QString::fromUtf8(c.value), ini()), c.after != c.before);
        EXPECT_EQ(readFile(ini()), c.after) << c.value;
    }
    EXPECT_EQ(get(ini(), "Data", "B"), QStringLiteral("2"));
}

TEST(Val, ReadsTheLeadingNumber) {
    EXPECT_EQ(vb::Val(QStringLiteral("12abc")), 12.0);
    EXPECT_EQ(vb::Val(QString()), 0.0);
    EXPECT_EQ(vb::Val(QStringLiteral("1 2")), 12.0);
}

} // namespace
