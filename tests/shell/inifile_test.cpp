#include "shell/inifile.h"
#include "support/filepermissions.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>

namespace {

class IniFile : public ::testing::Test {
protected:
    QString read(const QString& section, const QString& key) const { return shell::readIni(ini, section, key, "dflt"); }
    bool write(const QString& section, const QString& key, const QString& value) const
    {
        return shell::writeIni(ini, section, key, value);
    }
    QByteArray bytes() const
    {
        QFile file(ini);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QString contents() const { return QString::fromUtf8(bytes()); }
    QTemporaryDir dir;
    const QString ini = shell::iniFileName(dir.path());
};

TEST_F(IniFile, MissingFileSectionOrKeyYieldsTheDefaultAndNamesCompareWithoutCase)
{
    EXPECT_TRUE(ini.endsWith("/Tarvenix.ini"));
    EXPECT_EQ(read("Settings", "Path"), "dflt");
    ASSERT_TRUE(write("Other", "Path", "elsewhere"));
    EXPECT_EQ(read("Settings", "Path"), "dflt");
    ASSERT_TRUE(write("Settings", "sottpath", "/o.db"));
    EXPECT_EQ(read("Settings", "Path"), "dflt");
    EXPECT_EQ(read("settings", "SOTTPATH"), "/o.db");
}

TEST_F(IniFile, WritesReplaceTheValueKeepTheRestAndBreakNoLine)
{
    QFile file(ini);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("; kept comment\n[Settings]\nPath = /old/mto.db\nsottpath=/o.db\n\n[Other]\nx=1\n");
    file.close();
    ASSERT_TRUE(write("Settings", "Path", "/new/mto.db"));
    EXPECT_EQ(read("Settings", "Path"), "/new/mto.db");
    EXPECT_EQ(read("Settings", "sottpath"), "/o.db");
    EXPECT_EQ(read("Other", "x"), "1");
    EXPECT_TRUE(contents().startsWith("; kept comment\n"));
    EXPECT_EQ(contents().count("Path"), 1);

    // A line break in a value is written as a blank; long values are cut.
    ASSERT_TRUE(write("Other", "x", "a\r\nb"));
    EXPECT_EQ(read("Other", "x"), "a  b");
    EXPECT_TRUE(contents().endsWith("[Other]\nx=a  b\n"));
    ASSERT_TRUE(write("Settings", "Path", QString(300, 'x')));
    EXPECT_EQ(read("Settings", "Path").size(), 255);
}

// A file saved by a Windows editor (UTF-16 with a byte-order mark) is read,
// and written back in its own encoding; one that cannot be read is never
// replaced by a file that holds only the value written.
TEST_F(IniFile, UnicodeFilesKeepTheirEncodingAndUnreadableOnesAreLeftAlone)
{
    QFile file(ini);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    QStringEncoder utf16(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    file.write(utf16.encode(QStringLiteral("[Settings]\r\nPath=/data/Märkte/mto.db\r\nsottpath=/o.db\r\n")));
    file.close();
    EXPECT_EQ(read("Settings", "Path"), QStringLiteral("/data/Märkte/mto.db"));
    ASSERT_TRUE(write("Settings", "Path", "/new/mto.db"));
    const QByteArray written = bytes();
    EXPECT_TRUE(written.startsWith("\xff\xfe"));
    EXPECT_EQ(QStringDecoder(QStringConverter::Utf16LE).decode(written).operator QString(),
              "[Settings]\r\nPath=/new/mto.db\r\nsottpath=/o.db\r\n");

    ASSERT_TRUE(QFile::setPermissions(ini, QFileDevice::WriteOwner));
    {
        PermissionsBind bind;
        EXPECT_EQ(read("Settings", "sottpath"), "dflt");
        QString why;
        EXPECT_FALSE(shell::writeIni(ini, "Settings", "Path", "/other/mto.db", &why));
        EXPECT_EQ(why, "it cannot be read (Permission denied), and writing it anew would lose the settings it holds");
    }
    ASSERT_TRUE(QFile::setPermissions(ini, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    EXPECT_EQ(bytes(), written);
}

// A value written back keeps the line ends the file has: CR LF as Windows
// editors save it, LF otherwise; a new file gets LF.
TEST_F(IniFile, WrittenValuesKeepTheFilesLineEnds)
{
    for (const QByteArray& end : {QByteArray("\r\n"), QByteArray("\n")}) {
        QFile file(ini);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("; kept" + end + "[Settings]" + end + "Path=/old/mto.db" + end + "sottpath=/o.db" + end);
        file.close();
        ASSERT_TRUE(write("Settings", "Path", "/new/mto.db"));
        ASSERT_TRUE(write("Other", "x", "1"));
        EXPECT_EQ(bytes(), "; kept" + end + "[Settings]" + end + "Path=/new/mto.db" + end + "sottpath=/o.db" + end +
                               end + "[Other]" + end + "x=1" + end)
            << end.size();
        EXPECT_EQ(read("Settings", "Path"), "/new/mto.db");
        QFile::remove(ini);
    }
    ASSERT_TRUE(write("Settings", "Path", "/new/mto.db"));
    EXPECT_EQ(bytes(), "[Settings]\nPath=/new/mto.db\n");
}

}  // namespace
