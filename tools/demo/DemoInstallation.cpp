// Lays out the demo installation a new user meets: the path data file, the program folder,
// and a data folder with the school's settings, roster, criteria, sound table, generated
// wave files and a few weeks of past runs. Every text file is written in code page 932
// with CR LF.
//
//   tavoro-demo-setup DEMO_FOLDER [--today YYYY-MM-DD]
#include "DefaultData.h"
#include "core/AppState.h"
#include "records/GradeFile.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <random>

using namespace tavoro;

namespace {

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

bool writeLines(const QString &path, const QStringList &lines)
{
    bool lossless = true;
    const QByteArray bytes = defaults::TextFileBytes(lines, &lossless);
    if (!lossless)
        std::fprintf(stderr, "warning: %s holds characters outside code page 932\n",
                     qPrintable(path));
    return writeFile(path, bytes);
}

// ---- roster ----------------------------------------------------------------------------

struct Pupil {
    int number;
    int grade; // 0 = 幼３, 1..6 小, 7..9 中, 10 高
    QString name;
    int state = 0;
};

std::vector<Pupil> demoPupils()
{
    const char16_t *families[] = {u"佐藤",   u"鈴木", u"高橋", u"田中", u"伊藤", u"渡辺",
                                  u"山本",   u"中村", u"小林", u"加藤", u"吉田", u"山田",
                                  u"佐々木", u"松本", u"井上", u"木村", u"林",   u"清水"};
    const char16_t *given[] = {u"はると", u"ゆい",   u"そうた", u"めい", u"ひなた",
                               u"さくら", u"ゆうと", u"あおい", u"りく", u"ひまり",
                               u"かいと", u"りん",   u"こはる", u"れん", u"つむぎ",
                               u"いつき", u"ほのか", u"だいち", u"みお", u"ゆうま"};
    std::vector<Pupil> pupils;
    int number = 1;
    const int grades[] = {0, 0, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 3, 4, 4, 4, 4,  4, 5,
                          5, 5, 5, 5, 6, 6, 6, 6, 7, 7, 7, 8, 8, 8, 9, 9, 9, 10, 10};
    int i = 0;
    for (int grade : grades) {
        // The name column of the list holds six characters; longer names drop the space.
        const QString family = QString::fromUtf16(families[(i * 7) % 18]);
        const QString first = QString::fromUtf16(given[(i * 3 + grade) % 20]);
        const QString name = family.size() + 1 + first.size() > 6
                                 ? family + first
                                 : family + QStringLiteral("　") + first;
        pupils.push_back({number++, grade, name});
        ++i;
    }
    pupils.push_back({number++, 4, QStringLiteral("山口①ひかる"), 2});  // listed with switch 1
    pupils.push_back({number++, 5, QStringLiteral("転校　した子"), 1}); // never listed
    pupils.push_back({number++, 30, QStringLiteral("先生"), 0});
    pupils.push_back({number++, 30, QStringLiteral("★森田"), 0});
    return pupils;
}

int schoolYear(const QDate &today, int startMonth)
{
    return today.month() < startMonth ? today.year() - 1 : today.year();
}

// ---- grade file ------------------------------------------------------------------------

QByteArray demoRuns(const std::vector<Pupil> &pupils, const QDate &today, const QString &schoolCode)
{
    std::mt19937 rng(20261209);
    std::uniform_real_distribution<double> u(0, 1);
    QByteArray out;
    char bytes[44];
    for (int daysAgo = 27; daysAgo >= 0; --daysAgo) {
        const QDate day = today.addDays(-daysAgo);
        if (day.dayOfWeek() >= 6)
            continue; // no school at the weekend
        for (const Pupil &p : pupils) {
            if (p.state != 0 || p.grade < 1 || p.grade > 9 || u(rng) < 0.45)
                continue;
            // Older pupils are faster and further on in the course.
            const double skill = 0.5 + 0.06 * p.grade + 0.2 * u(rng);
            const int furthest = std::clamp(1 + p.grade / 2 + (27 - daysAgo) / 9, 1, 7);
            const int runs = 1 + int(u(rng) * 3);
            double clock = (9 + int(u(rng) * 6)) * 3600 + u(rng) * 3000;
            for (int r = 0; r < runs; ++r) {
                const int level = 1 + int(u(rng) * furthest);
                const defaults::LevelCriteria &c = defaults::Criteria()[std::size_t(level - 1)];
                int seconds = int(c.target / skill * (0.8 + 0.5 * u(rng)));
                if (u(rng) < 0.03)
                    seconds = core::kNoTime; // ran out of time
                records::GradeRecord rec;
                rec.RecDate = records::DateValue(day);
                rec.RecClock = clock / 86400.0;
                rec.RecStudent = std::int16_t(p.number);
                rec.RecLevel = std::int16_t(level);
                rec.RecSeconds = seconds;
                rec.RecSchool = records::GradeTextField(schoolCode);
                rec.RecNote = records::GradeTextField(QString());
                rec.RecPointsText = records::GradeTextField(QStringLiteral("0"));
                records::EncodeGradeRecord(rec, bytes);
                out.append(bytes, 44);
                clock += 120 + seconds % 1000;
            }
        }
    }
    return out;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2 && !(args.size() == 4 && args.at(2) == QStringLiteral("--today"))) {
        std::fprintf(stderr, "usage: tavoro-demo-setup DEMO_FOLDER [--today YYYY-MM-DD]\n");
        return 2;
    }
    QDate today = QDate::currentDate();
    if (args.size() == 4) {
        today = QDate::fromString(args.at(3), Qt::ISODate);
        if (!today.isValid()) {
            std::fprintf(stderr, "not a date: %s\n", qPrintable(args.at(3)));
            return 2;
        }
    }
    const QString root = QDir(args.at(1)).absolutePath();
    const QString data = root + QStringLiteral("/data/");
    const QString program = data + QStringLiteral("Tavoro/");
    const QString sounds = data + QStringLiteral("音フォルダ/");
    QDir().mkpath(root + QStringLiteral("/Tavoro"));
    QDir().mkpath(program);
    QDir().mkpath(sounds);
    const QString schoolCode = QStringLiteral("31415");
    bool ok = true;

    ok &= writeLines(root + QStringLiteral("/パスデータ.txt"), defaults::PathDataLines(data));
    ok &= writeLines(data + QStringLiteral("共通データ.txt"),
                     defaults::CommonDataLines(4, schoolCode,
                                               QStringLiteral("みなと市立さくら小学校"),
                                               QStringLiteral("1234")));

    const std::vector<Pupil> pupils = demoPupils();
    const int year = schoolYear(today, 4);
    QStringList roster;
    for (const Pupil &p : pupils) {
        roster << QStringLiteral("%1,%2,0,0,\"%3\",%4,\"\",\"\"")
                      .arg(p.number)
                      .arg(year - p.grade - 6)
                      .arg(p.name)
                      .arg(p.state);
    }
    ok &= writeLines(data + QStringLiteral("新名簿.txt"), roster);

    ok &= writeLines(program + QStringLiteral("タイム回数データ.txt"), defaults::CriteriaLines());
    ok &= writeFile(program + QStringLiteral("成績累積データ.dat"),
                    demoRuns(pupils, today, schoolCode));

    ok &= writeLines(sounds + QStringLiteral("新音ファイル.txt"), defaults::SoundTableLines());
    for (const defaults::Sound &s : defaults::Sounds())
        ok &= writeFile(sounds + s.name + QStringLiteral(".wav"), s.wave);

    // The outside launcher the name selection starts when the pupil leaves.
    const QString launcher = root + QStringLiteral("/起動/プログラムメニューc.exe");
    ok &= writeFile(launcher, "#!/bin/sh\necho \"program menu started with $*\"\n");
    QFile::setPermissions(launcher, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                        QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                        QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                        QFileDevice::ExeOther);
    if (ok)
        std::printf("demo installation ready in %s\n", qPrintable(root));
    return ok ? 0 : 1;
}
