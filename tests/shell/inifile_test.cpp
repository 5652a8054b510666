#include "shell/inifile.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using shell::readIni;
using shell::writeIni;

namespace {

QString contents(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return QString::fromUtf8(file.readAll());
}

}  // namespace

TEST(IniFile, MissingFileSectionOrKeyYieldsTheDefault)
{
    QTemporaryDir dir;
    const QString ini = shell::iniFileName(dir.path());
    EXPECT_TRUE(ini.endsWith(QStringLiteral("/Tarvenix.ini")));
    EXPECT_EQ(readIni(ini, QStringLiteral("Settings"), QStringLiteral("Path"), QStringLiteral("dflt")),
              QStringLiteral("dflt"));
    ASSERT_TRUE(writeIni(ini, QStringLiteral("Other"), QStringLiteral("Path"), QStringLiteral("elsewhere")));
    EXPECT_EQ(readIni(ini, QStringLiteral("Settings"), QStringLiteral("Path"), QStringLiteral("dflt")),
              QStringLiteral("dflt"));
    ASSERT_TRUE(writeIni(ini, QStringLiteral("Settings"), QStringLiteral("sottpath"), QStringLiteral("/o.db")));
    EXPECT_EQ(readIni(ini, QStringLiteral("Settings"), QStringLiteral("Path"), QStringLiteral("dflt")),
              QStringLiteral("dflt"));
    EXPECT_EQ(readIni(ini, QStringLiteral("settings"), QStringLiteral("SOTTPATH"), QString()), QStringLiteral("/o.db"));
}

TEST(IniFile, WritesReplaceTheValueAndKeepTheRest)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("Tarvenix.ini"));
    {
        QFile file(ini);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("; kept comment\n[Settings]\nPath = /old/mto.db\nsottpath=/o.db\n\n[Other]\nx=1\n");
    }
    ASSERT_TRUE(writeIni(ini, QStringLiteral("Settings"), QStringLiteral("Path"), QStringLiteral("/new/mto.db")));
    EXPECT_EQ(readIni(ini, QStringLiteral("Settings"), QStringLiteral("Path"), QString()), QStringLiteral("/new/mto.db"));
    EXPECT_EQ(readIni(ini, QStringLiteral("Settings"), QStringLiteral("sottpath"), QString()), QStringLiteral("/o.db"));
    EXPECT_EQ(readIni(ini, QStringLiteral("Other"), QStringLiteral("x"), QString()), QStringLiteral("1"));
    EXPECT_TRUE(contents(ini).startsWith(QStringLiteral("; kept comment\n")));
    EXPECT_EQ(contents(ini).count(QStringLiteral("Path")), 1);
}

TEST(IniFile, ALineBreakInAValueIsWrittenAsABlankAndLongValuesAreCut)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("Tarvenix.ini"));
    ASSERT_TRUE(writeIni(ini, QStringLiteral("Settings"), QStringLiteral("Path"), QStringLiteral("a\r\nb")));
    EXPECT_EQ(readIni(ini, QStringLiteral("Settings"), QStringLiteral("Path"), QString()), QStringLiteral("a  b"));
    EXPECT_EQ(contents(ini), QStringLiteral("[Settings]\nPath=a  b\n"));

    ASSERT_TRUE(writeIni(ini, QStringLiteral("Settings"), QStringLiteral("Path"), QString(300, QLatin1Char('x'))));
    EXPECT_EQ(readIni(ini, QStringLiteral("Settings"), QStringLiteral("Path"), QString()).size(), 255);
}
