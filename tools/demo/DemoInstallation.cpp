// Lays out the demo installation a new user meets: the path data file, the program folder,
// and a data folder with the school's settings, roster, criteria, sound table, generated
// wave files and a few weeks of past runs. Every text file is written in code page 932
// with CR LF.
//
//   tavoro-demo-setup DEMO_FOLDER [--today YYYY-MM-DD]
#include "core/AppState.h"
#include "platform/TextCodec.h"
#include "platform/WaveFile.h"
#include "records/GradeFile.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QTextStream>

#include <cmath>
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
    QString text;
    for (const QString &line : lines)
        text += line + QStringLiteral("\r\n");
    bool lossless = true;
    const QByteArray bytes = platform::toCp932(text, &lossless);
    if (!lossless)
        std::fprintf(stderr, "warning: %s holds characters outside code page 932\n",
                     qPrintable(path));
    return writeFile(path, bytes);
}

// ---- sounds ----------------------------------------------------------------------------

constexpr int kRate = 22050;

struct Note {
    double freq;    // Hz, 0 for a rest
    double seconds; // length
    double level;   // 0..1
};

// A soft bell-like tone per note: a sine with a little of its octave and a quick attack
// followed by an exponential decay, so the cues sound friendly rather than harsh.
QByteArray synth(const std::vector<Note> &notes, double buzz = 0.0)
{
    std::vector<std::int16_t> out;
    for (const Note &n : notes) {
        const int count = int(n.seconds * kRate);
        for (int i = 0; i < count; ++i) {
            const double t = double(i) / kRate;
            double v = 0;
            if (n.freq > 0) {
                const double attack = std::min(1.0, t / 0.008);
                const double decay = std::exp(-t * 5.0 / n.seconds);
                const double release = std::min(1.0, (n.seconds - t) / 0.01);
                const double phase = 2 * M_PI * n.freq * t;
                double wave = std::sin(phase) + 0.25 * std::sin(2 * phase);
                if (buzz > 0)
                    wave = (1 - buzz) * wave + buzz * (std::sin(phase) > 0 ? 0.6 : -0.6);
                v = n.level * attack * decay * release * wave;
            }
            out.push_back(std::int16_t(std::clamp(v, -1.0, 1.0) * 20000));
        }
    }
    return platform::makeWave16(out, kRate, 1);
}

struct Sound {
    const char *file;
    QByteArray wave;
};

std::vector<Sound> demoSounds()
{
    const double C5 = 523.25, E5 = 659.25, G5 = 783.99, A5 = 880.0, C6 = 1046.5, E6 = 1318.5,
                 G6 = 1568.0, D5 = 587.33, F4 = 349.23, B3 = 246.94, Ab4 = 415.30, G4 = 392.0,
                 Eb4 = 311.13, C4 = 261.63;
    return {
        {"ピンポン", synth({{E6, 0.12, 0.7}, {C6, 0.30, 0.7}})},
        {"ピロリン", synth({{C6, 0.08, 0.6}, {E6, 0.08, 0.6}, {G6, 0.22, 0.6}})},
        {"キラッ", synth({{G5, 0.07, 0.6}, {C6, 0.25, 0.6}})},
        {"ブブー", synth({{B3, 0.22, 0.6}, {0, 0.05, 0}, {B3, 0.35, 0.6}}, 0.5)},
        {"ボヨン", synth({{F4, 0.15, 0.6}, {C4, 0.35, 0.6}}, 0.3)},
        {"やったね", synth({{C5, 0.10, 0.6}, {E5, 0.10, 0.6}, {G5, 0.10, 0.6}, {C6, 0.45, 0.7}})},
        {"ファンファーレ",
         synth({{G5, 0.12, 0.6}, {G5, 0.12, 0.6}, {G5, 0.12, 0.6}, {C6, 0.6, 0.7}})},
        {"じこべすと", synth({{D5, 0.1, 0.6}, {G5, 0.1, 0.6}, {A5, 0.1, 0.6}, {D5 * 2, 0.4, 0.7}})},
        {"ざんねん", synth({{G4, 0.25, 0.5}, {Eb4, 0.25, 0.5}, {C4, 0.5, 0.5}})},
        {"もうすこし", synth({{Ab4, 0.2, 0.5}, {G4, 0.45, 0.5}})},
        {"最高1", synth({{C5, 0.1, 0.6},
                         {E5, 0.1, 0.6},
                         {G5, 0.1, 0.6},
                         {C6, 0.1, 0.6},
                         {E6, 0.1, 0.6},
                         {G6, 0.6, 0.7}})},
        {"合格", synth({{G5, 0.15, 0.6},
                        {E5, 0.15, 0.6},
                        {G5, 0.15, 0.6},
                        {C6, 0.15, 0.6},
                        {E6, 0.15, 0.6},
                        {C6, 0.7, 0.7}})},
    };
}

QStringList soundTable()
{
    return {
        QStringLiteral("正解音1,ピンポン,*"),
        QStringLiteral("正解音2,ピンポン,ピロリン,キラッ,*"),
        QStringLiteral("間違い音1,ブブー,*"),
        QStringLiteral("間違い音2,ブブー,ボヨン,*"),
        QStringLiteral("最高音1,ファンファーレ,*"),
        QStringLiteral("最高音2,ファンファーレ,*"),
        QStringLiteral("自己最高音1,やったね,*"),
        QStringLiteral("自己最高音2,やったね,じこべすと,*"),
        QStringLiteral("自己最高音3,じこべすと,*"),
        QStringLiteral("不合格音1,ざんねん,もうすこし,*"),
    };
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

struct LevelCriteria {
    int target, minTime, clearPoints, clearCount;
    const char *multiplier;
    int overuseCount, overusePoints, passDays, overuseDays;
};

const LevelCriteria kCriteria[7] = {
    {40, 80, 60, 5, "1", 15, 0, 14, 1},    {45, 90, 60, 5, "1", 15, 0, 14, 1},
    {50, 100, 60, 5, "1.1", 15, 0, 14, 1}, {55, 110, 60, 5, "1.2", 15, 0, 14, 1},
    {60, 120, 60, 5, "1.3", 15, 0, 14, 1}, {65, 130, 60, 5, "1.5", 15, 0, 14, 1},
    {60, 120, 100, 8, "2", 0, 0, 14, 1},
};

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
                const LevelCriteria &c = kCriteria[level - 1];
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

    QStringList path{data};
    for (int i = 2; i <= 10; ++i)
        path << QStringLiteral("0");
    ok &= writeLines(root + QStringLiteral("/パスデータ.txt"), path);

    ok &= writeLines(data + QStringLiteral("共通データ.txt"),
                     {QStringLiteral("4"), schoolCode + QStringLiteral("みなと市立さくら小学校"),
                      QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"),
                      QStringLiteral("1234"), QStringLiteral("0"), QStringLiteral("0"),
                      QStringLiteral("0"), QStringLiteral("0")});

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

    QStringList criteria{
        QStringLiteral("目標Time,最低Time,ｸﾘｱﾎﾟｲﾝﾄ,ｸﾘｱ回数,ﾎﾟｲﾝﾄ倍率,禁回,禁点,判期間,禁期間,,,")};
    for (const LevelCriteria &c : kCriteria) {
        criteria << QStringLiteral("%1,%2,%3,%4,%5,%6,%7,%8,%9,,,")
                        .arg(c.target)
                        .arg(c.minTime)
                        .arg(c.clearPoints)
                        .arg(c.clearCount)
                        .arg(QString::fromLatin1(c.multiplier))
                        .arg(c.overuseCount)
                        .arg(c.overusePoints)
                        .arg(c.passDays)
                        .arg(c.overuseDays);
    }
    ok &= writeLines(program + QStringLiteral("タイム回数データ.txt"), criteria);
    ok &= writeFile(program + QStringLiteral("成績累積データ.dat"),
                    demoRuns(pupils, today, schoolCode));

    ok &= writeLines(sounds + QStringLiteral("新音ファイル.txt"), soundTable());
    for (const Sound &s : demoSounds())
        ok &= writeFile(sounds + QString::fromUtf8(s.file) + QStringLiteral(".wav"), s.wave);

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
