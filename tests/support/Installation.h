// Builds a temporary installation for a test: the path data file, the program folder, the
// data folder with the settings, roster, criteria, sound table and grade file, all from
// literals given by the test and written in code page 932 with CR LF.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace tavoro::test {

class Installation {
public:
    // Lays out <tmp>/パスデータ.txt, <tmp>/Tavoro/ (the program's folder) and <tmp>/data/.
    explicit Installation(const QString &programFolderName = QStringLiteral("Tavoro"));

    QString root() const { return m_dir.path(); }
    QString programFolder() const; // <tmp>/Tavoro
    QString dataFolder() const;    // <tmp>/data/ (with the trailing separator)
    QString programDataFolder() const;
    QString soundFolder() const;
    QString gradeFilePath() const;

    // Writes a text file (path relative to the root) in code page 932; lines joined by CR LF
    // and the last line ended too.
    void writeLines(const QString &relativePath, const QStringList &lines);
    void writeBytes(const QString &relativePath, const QByteArray &bytes);
    QByteArray readBytes(const QString &relativePath) const;

    // A typical set of files: path data pointing at the data folder, a common data file for
    // school "12345テスト小学校" starting in April, criteria for 7 levels, a sound table for
    // the four cues played and wave files for them.
    void writeDefaults();
    void writePathData(const QString &dataFolderField);
    void writeCommonData(const QStringList &fields);
    void writeCriteria(const QStringList &levelLines); // heading added
    void writeSoundTable(const QStringList &lines);
    void writeRoster(const QStringList &lines);

private:
    QTemporaryDir m_dir;
    QString m_programFolderName;
};

// The heading line of a criteria file as the criteria editor writes it.
QString CriteriaHeading();

} // namespace tavoro::test
