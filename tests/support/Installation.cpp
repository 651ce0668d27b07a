// Temporary installations for tests.
#include "Installation.h"

#include "platform/TextCodec.h"
#include "platform/WaveFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cmath>

namespace tavoro::test {

Installation::Installation(const QString &programFolderName)
    : m_programFolderName(programFolderName)
{
    QDir(root()).mkpath(programFolderName);
    QDir(root()).mkpath(QStringLiteral("data/") + programFolderName);
    QDir(root()).mkpath(QStringLiteral("data/音フォルダ"));
}

QString Installation::programFolder() const
{
    return root() + u'/' + m_programFolderName;
}

QString Installation::dataFolder() const
{
    return root() + QStringLiteral("/data/");
}

QString Installation::programDataFolder() const
{
    return dataFolder() + m_programFolderName + u'/';
}

QString Installation::soundFolder() const
{
    return dataFolder() + QStringLiteral("音フォルダ/");
}

QString Installation::gradeFilePath() const
{
    return programDataFolder() + QStringLiteral("成績累積データ.dat");
}

void Installation::writeBytes(const QString &relativePath, const QByteArray &bytes)
{
    const QString path = root() + u'/' + relativePath;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(path));
    f.write(bytes);
}

QByteArray Installation::readBytes(const QString &relativePath) const
{
    QFile f(root() + u'/' + relativePath);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void Installation::writeLines(const QString &relativePath, const QStringList &lines)
{
    QString text;
    for (const QString &line : lines)
        text += line + QStringLiteral("\r\n");
    writeBytes(relativePath, platform::toCp932(text));
}

QString CriteriaHeading()
{
    return QStringLiteral(
        "目標Time,最低Time,ｸﾘｱﾎﾟｲﾝﾄ,ｸﾘｱ回数,ﾎﾟｲﾝﾄ倍率,禁回,禁点,判期間,禁期間,,,");
}

void Installation::writePathData(const QString &dataFolderField)
{
    QStringList lines{dataFolderField};
    for (int i = 2; i <= 10; ++i)
        lines << QString::number(i);
    writeLines(QStringLiteral("パスデータ.txt"), lines);
}

void Installation::writeCommonData(const QStringList &fields)
{
    writeLines(QStringLiteral("data/共通データ.txt"), fields);
}

void Installation::writeCriteria(const QStringList &levelLines)
{
    writeLines(QStringLiteral("data/") + m_programFolderName +
                   QStringLiteral("/タイム回数データ.txt"),
               QStringList{CriteriaHeading()} + levelLines);
}

void Installation::writeSoundTable(const QStringList &lines)
{
    writeLines(QStringLiteral("data/音フォルダ/新音ファイル.txt"), lines);
}

void Installation::writeRoster(const QStringList &lines)
{
    writeLines(QStringLiteral("data/新名簿.txt"), lines);
}

void Installation::writeDefaults()
{
    writePathData(dataFolder());
    writeCommonData({QStringLiteral("4"), QStringLiteral("12345テスト小学校"), QStringLiteral("0"),
                     QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("abc"),
                     QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"),
                     QStringLiteral("0")});
    QStringList levels;
    for (int level = 1; level <= 7; ++level)
        levels
            << QStringLiteral("%1,%2,100,3,1,0,0,7,7,,,").arg(20 + 5 * level).arg(60 + 5 * level);
    writeCriteria(levels);
    writeSoundTable({QStringLiteral("正解音2,seikai1,seikai2,*"),
                     QStringLiteral("間違い音2,machigai1,*"), QStringLiteral("自己最高音2,jiko1,*"),
                     QStringLiteral("不合格音1,fugoukaku1,*")});
    std::vector<std::int16_t> samples(800);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = std::int16_t(8000 * std::sin(double(i) * 0.1));
    const QByteArray wave = platform::makeWave16(samples, 8000, 1);
    for (const char *name :
         {"seikai1", "seikai2", "machigai1", "jiko1", "fugoukaku1", "最高1", "合格"})
        writeBytes(QStringLiteral("data/音フォルダ/") + QString::fromUtf8(name) +
                       QStringLiteral(".wav"),
                   wave);
}

} // namespace tavoro::test
