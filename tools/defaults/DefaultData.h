// What a new data folder starts with, for the data tool's `init`, the demo installation and
// the sounds the package installs: the default criteria of the seven levels, the sound
// table and its generated wave files, the two settings files, and the writing of a text
// file in code page 932 with CR LF.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace tavoro::defaults {

// The criteria of one level as the criteria file writes them.
struct LevelCriteria {
    int target, minTime, clearPoints, clearCount;
    const char *multiplier;
    int overuseCount, overusePoints, passDays, overuseDays;
};

// Levels 1..7, in order.
const std::vector<LevelCriteria> &Criteria();

// The criteria file "タイム回数データ.txt": the heading line and one line per level.
QStringList CriteriaLines();

// The sound table "新音ファイル.txt", one cue a line.
QStringList SoundTableLines();

// A wave file of the sound folder: its name without ".wav" and its bytes.
struct Sound {
    QString name;
    QByteArray wave;
};

// Every wave file the sound table names, and the two fixed files "最高1" and "合格".
std::vector<Sound> Sounds();

// The path data file "パスデータ.txt": the data folder (with a separator at its end) and
// nine unused fields.
QStringList PathDataLines(const QString &dataFolder);

// The common data file "共通データ.txt": the month the school year starts in, the school
// code followed by the school's name, the roster switch off, and the teachers' password.
QStringList CommonDataLines(int startMonth, const QString &schoolCode, const QString &schoolName,
                            const QString &password);

// Lines joined with CR LF (one after the last) in code page 932; `lossless` turns false when
// a character has no code in it.
QByteArray TextFileBytes(const QStringList &lines, bool *lossless = nullptr);

} // namespace tavoro::defaults
