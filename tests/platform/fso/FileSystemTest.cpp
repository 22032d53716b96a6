// The file-system subset and the data-file path resolver.
#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>
#include "fso/FileSystem.h"
#include "support/TestEnv.h"
#include "vb/RuntimeError.h"

using testsupport::errorNumberOf;

namespace {

void touch(const QString& path, const QByteArray& content = "x") {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
}

TEST(FileSystem, ResolvesTheDataFileWhateverCapitalsAreWritten) {
    QTemporaryDir dir;
    const QString d = dir.path();
    touch(d + QStringLiteral("/Vantrel.mdb"));
    touch(d + QStringLiteral("/Other.TXT"));
    struct Case {
        QString given;
        QString expected;
    };
    const Case cases[] = {
        {d + QStringLiteral("\\Vantrel.mdb"), d + QStringLiteral("/Vantrel.mdb")},
        {d + QStringLiteral("\\vantrel.mdb"), d + QStringLiteral("/Vantrel.mdb")},
        {d + QStringLiteral("/VANTREL.MDB"), d + QStringLiteral("/Vantrel.mdb")},
        {d + QStringLiteral("/other.txt"), d + QStringLiteral("/Other.TXT")},
        {d + QStringLiteral("/Missing.mdb"), d + QStringLiteral("/Missing.mdb")},
        {d + QStringLiteral("/nofolder/Vantrel.mdb"), d + QStringLiteral("/nofolder/Vantrel.mdb")},
    };
    for (const Case& c : cases) EXPECT_EQ(fso::ResolvePath(c.given), c.expected) << c.given.toStdString();
    EXPECT_FALSE(QFile::exists(d + QStringLiteral("/Missing.mdb")));
}

TEST(FileSystem, SeveralMatchesPreferTheProgramsOwnName) {
    QTemporaryDir dir;
    const QString d = dir.path();
    touch(d + QStringLiteral("/VANTREL.MDB"));
    touch(d + QStringLiteral("/Vantrel.mdb"));
    touch(d + QStringLiteral("/vantrel.mdb"));
    EXPECT_EQ(fso::ResolvePath(d + QStringLiteral("/vANTREL.mdb")), d + QStringLiteral("/Vantrel.mdb"));
    // A name that exists as given is taken as given.
    EXPECT_EQ(fso::ResolvePath(d + QStringLiteral("/vantrel.mdb")), d + QStringLiteral("/vantrel.mdb"));
}

TEST(FileSystem, FilesAndFolders) {
    QTemporaryDir dir;
    const QString d = dir.path();
    const QString a = d + QStringLiteral("/a.bin");
    touch(a, QByteArray(1500, 'a'));
    EXPECT_TRUE(fso::FileExists(a));
    EXPECT_FALSE(fso::FileExists(d));
    EXPECT_TRUE(fso::FolderExists(d));
    EXPECT_FALSE(fso::FolderExists(a));
    EXPECT_EQ(fso::FileSize(a), 1500);

    const QString sub = fso::InFolder(d, QStringLiteral("\\Backup"));
    EXPECT_EQ(sub, d + QStringLiteral("/Backup"));
    fso::CreateFolder(sub);
    EXPECT_TRUE(fso::FolderExists(sub));
    EXPECT_NE(errorNumberOf([&] { fso::CreateFolder(sub); }), 0);
    EXPECT_NE(errorNumberOf([&] { fso::CreateFolder(d + QStringLiteral("/no/such")); }), 0);

    const QString b = sub + QStringLiteral("/a.bin");
    fso::CopyFile(a, b);
    EXPECT_EQ(fso::FileSize(b), 1500);
    touch(a, "short");
    EXPECT_NE(errorNumberOf([&] { fso::CopyFile(a, b, false); }), 0);
    EXPECT_EQ(fso::FileSize(b), 1500);
    fso::CopyFile(a, b, true);
    EXPECT_EQ(fso::FileSize(b), 5);

    fso::DeleteFile(b);
    EXPECT_FALSE(fso::FileExists(b));
    EXPECT_EQ(errorNumberOf([&] { fso::DeleteFile(b); }), vb::err::FileNotFound);
    EXPECT_EQ(errorNumberOf([&] { fso::FileSize(b); }), vb::err::FileNotFound);
    EXPECT_EQ(errorNumberOf([&] { fso::CopyFile(b, a); }), vb::err::FileNotFound);
}

TEST(FileSystem, SizesBeyondTwoGigabytes) {
    QTemporaryDir dir;
    const QString big = dir.path() + QStringLiteral("/big.mdb");
    QFile f(big);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    const qint64 size = (qint64(1) << 31) + 12345;
    ASSERT_TRUE(f.resize(size));   // sparse: no real disk use
    f.close();
    EXPECT_EQ(fso::FileSize(big), size);
}

TEST(FileSystem, InFolderJoinsWithOneSeparator) {
    EXPECT_EQ(fso::InFolder(QStringLiteral("/p/q"), QStringLiteral("\\Vantrel.mdb")), QStringLiteral("/p/q/Vantrel.mdb"));
    EXPECT_EQ(fso::InFolder(QStringLiteral("/p/q/"), QStringLiteral("Vantrel.ini")), QStringLiteral("/p/q/Vantrel.ini"));
    EXPECT_EQ(fso::InFolder(QStringLiteral("C:\\p"), QStringLiteral("x")), QStringLiteral("C:/p/x"));
    EXPECT_EQ(fso::InFolder(QStringLiteral("/"), QStringLiteral("x")), QStringLiteral("/x"));
    // A full path is not joined again.
    EXPECT_EQ(fso::InFolder(QStringLiteral("/p/q"), QStringLiteral("/p/q/Vantrel.mdb")), QStringLiteral("/p/q/Vantrel.mdb"));
    QTemporaryDir other;
    const QString full = other.path() + QStringLiteral("/Vantrel.mdb");
    EXPECT_EQ(fso::InFolder(QStringLiteral("/p/q"), full), full);
}

} // namespace
