// tavoro-data init: a new data folder byte by byte, a folder that has some of the files
// already, and wrong arguments.
#include "DataTool.h"
#include "DefaultData.h"

#include "platform/WaveFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tavoro;

namespace {

// The expected files of a school "31415みなと市立さくら小学校" with the password "ひみつ1" and
// the school year starting in April, in code page 932 with CR LF.
const char kCommon[] =
    "4\x0d\x0a"
    "31415\x82\xdd\x82\xc8\x82\xc6\x8es\x97\xa7\x82\xb3\x82\xad\x82\xe7\x8f\xac\x8aw\x8dZ\x0d\x0a"
    "0\x0d\x0a"
    "0\x0d\x0a"
    "0\x0d\x0a"
    "\x82\xd0\x82\xdd\x82\xc2"
    "1\x0d\x0a"
    "0\x0d\x0a"
    "0\x0d\x0a"
    "0\x0d\x0a"
    "0\x0d\x0a";
const char kCriteria[] =
    "\x96\xda\x95WTime,\x8d\xc5\x92\xe1Time,\xb8\xd8\xb1\xce\xdf\xb2\xdd\xc4,"
    "\xb8\xd8\xb1\x89\xf1\x90\x94,\xce\xdf\xb2\xdd\xc4\x94{\x97\xa6,\x8b\xd6\x89\xf1,\x8b\xd6\x93_,"
    "\x94\xbb\x8a\xfa\x8a\xd4,\x8b\xd6\x8a\xfa\x8a\xd4,,,\x0d\x0a"
    "40,80,60,5,1,15,0,14,1,,,\x0d\x0a"
    "45,90,60,5,1,15,0,14,1,,,\x0d\x0a"
    "50,100,60,5,1.1,15,0,14,1,,,\x0d\x0a"
    "55,110,60,5,1.2,15,0,14,1,,,\x0d\x0a"
    "60,120,60,5,1.3,15,0,14,1,,,\x0d\x0a"
    "65,130,60,5,1.5,15,0,14,1,,,\x0d\x0a"
    "60,120,100,8,2,0,0,14,1,,,\x0d\x0a";
const char kSoundTable[] =
    "\x90\xb3\x89\xf0\x89\xb9"
    "1,\x83s\x83\x93\x83|\x83\x93,*\x0d\x0a"
    "\x90\xb3\x89\xf0\x89\xb9"
    "2,\x83s\x83\x93\x83|\x83\x93,\x83s\x83\x8d\x83\x8a\x83\x93,\x83L\x83\x89\x83"
    "b,*\x0d\x0a"
    "\x8a\xd4\x88\xe1\x82\xa2\x89\xb9"
    "1,\x83u\x83u\x81[,*\x0d\x0a"
    "\x8a\xd4\x88\xe1\x82\xa2\x89\xb9"
    "2,\x83u\x83u\x81[,\x83{\x83\x88\x83\x93,*\x0d\x0a"
    "\x8d\xc5\x8d\x82\x89\xb9"
    "1,\x83t\x83@\x83\x93\x83t\x83@\x81[\x83\x8c,*\x0d\x0a"
    "\x8d\xc5\x8d\x82\x89\xb9"
    "2,\x83t\x83@\x83\x93\x83t\x83@\x81[\x83\x8c,*\x0d\x0a"
    "\x8e\xa9\x8c\xc8\x8d\xc5\x8d\x82\x89\xb9"
    "1,\x82\xe2\x82\xc1\x82\xbd\x82\xcb,*\x0d\x0a"
    "\x8e\xa9\x8c\xc8\x8d\xc5\x8d\x82\x89\xb9"
    "2,\x82\xe2\x82\xc1\x82\xbd\x82\xcb,\x82\xb6\x82\xb1\x82\xd7\x82\xb7\x82\xc6,*\x0d\x0a"
    "\x8e\xa9\x8c\xc8\x8d\xc5\x8d\x82\x89\xb9"
    "3,\x82\xb6\x82\xb1\x82\xd7\x82\xb7\x82\xc6,*\x0d\x0a"
    "\x95s\x8d\x87\x8ai\x89\xb9"
    "1,\x82\xb4\x82\xf1\x82\xcb\x82\xf1,\x82\xe0\x82\xa4\x82\xb7\x82\xb1\x82\xb5,*\x0d\x0a";

QByteArray bytes(const char *literal, std::size_t size)
{
    return QByteArray(literal, qsizetype(size - 1));
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

class DataToolInit : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        root = tmp.path();
        ASSERT_TRUE(QDir().mkpath(appFolder()));
    }

    // The installed program folder, named as the program's.
    QString appFolder() const { return root + QStringLiteral("/opt/Tavoro"); }
    QString dataFolder() const { return root + QStringLiteral("/share/data"); }
    QString pathFile() const { return root + QStringLiteral("/opt/パスデータ.txt"); }

    datatool::Result init(const QStringList &extra = {})
    {
        return datatool::Run(QStringList{QStringLiteral("init"), dataFolder(),
                                         QStringLiteral("--school-code"), QStringLiteral("31415"),
                                         QStringLiteral("--school-name"),
                                         QStringLiteral("みなと市立さくら小学校"),
                                         QStringLiteral("--password"), QStringLiteral("ひみつ1")} +
                                 extra,
                             appFolder(), QDate(2026, 12, 9));
    }

    datatool::Result run(const QStringList &args)
    {
        return datatool::Run(args, appFolder(), QDate(2026, 12, 9));
    }

    QString text(const QByteArray &out) const
    {
        return QString::fromUtf8(out).replace(root, QStringLiteral("ROOT"));
    }

    QTemporaryDir tmp;
    QString root;
};

const QStringList kWaves = {
    QStringLiteral("ピンポン"),       QStringLiteral("ピロリン"),   QStringLiteral("キラッ"),
    QStringLiteral("ブブー"),         QStringLiteral("ボヨン"),     QStringLiteral("やったね"),
    QStringLiteral("ファンファーレ"), QStringLiteral("じこべすと"), QStringLiteral("ざんねん"),
    QStringLiteral("もうすこし"),     QStringLiteral("最高1"),      QStringLiteral("合格")};

} // namespace

TEST_F(DataToolInit, LaysOutACompleteDataFolderByteByByte)
{
    const datatool::Result r = init();
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.err, QByteArray());

    const QString data = dataFolder();
    EXPECT_EQ(readAll(data + QStringLiteral("/共通データ.txt")), bytes(kCommon, sizeof kCommon));
    EXPECT_EQ(readAll(data + QStringLiteral("/新名簿.txt")), QByteArray());
    EXPECT_EQ(readAll(data + QStringLiteral("/Tavoro/タイム回数データ.txt")),
              bytes(kCriteria, sizeof kCriteria));
    EXPECT_EQ(readAll(data + QStringLiteral("/音フォルダ/新音ファイル.txt")),
              bytes(kSoundTable, sizeof kSoundTable));
    // The path data file names the data folder, absolute and with its separator, and nine
    // unused fields.
    EXPECT_EQ(readAll(pathFile()),
              data.toUtf8() + "/\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n");

    // Every wave file the table names and the two fixed ones, as the installation carries
    // them, each one a playable wave.
    const std::vector<defaults::Sound> sounds = defaults::Sounds();
    ASSERT_EQ(sounds.size(), std::size_t(kWaves.size()));
    for (std::size_t i = 0; i < sounds.size(); ++i) {
        EXPECT_EQ(sounds[i].name, kWaves.at(qsizetype(i)));
        const QByteArray wave = readAll(data + QStringLiteral("/音フォルダ/") +
                                        kWaves.at(qsizetype(i)) + QStringLiteral(".wav"));
        EXPECT_EQ(wave, sounds[i].wave) << kWaves.at(qsizetype(i)).toStdString();
        platform::WaveData parsed;
        QString why;
        EXPECT_TRUE(platform::parseWave(wave, &parsed, &why)) << why.toStdString();
    }
    EXPECT_EQ(QDir(data + QStringLiteral("/音フォルダ")).entryList(QDir::Files).size(), 13);

    // Nothing else is created: the grade file comes with the first run.
    EXPECT_EQ(QDir(data).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 4);
    EXPECT_EQ(QDir(data + QStringLiteral("/Tavoro")).entryList(QDir::Files).size(), 1);

    // It says what it made, the path data file last.
    const QString out = text(r.out);
    EXPECT_TRUE(out.startsWith(QStringLiteral("作りました: ROOT/share/data/共通データ.txt\n")))
        << out.toStdString();
    EXPECT_TRUE(out.endsWith(QStringLiteral("作りました: ROOT/opt/パスデータ.txt\n")));
    EXPECT_EQ(out.count(QStringLiteral("作りました: ")), 17);

    // A freshly set-up folder passes the check without a word.
    const datatool::Result check = run({QStringLiteral("check")});
    EXPECT_EQ(check.status, 0);
    EXPECT_EQ(check.out, QByteArray());
    EXPECT_EQ(check.err, QByteArray());
}

TEST_F(DataToolInit, StartMonthGoesToTheCommonData)
{
    EXPECT_EQ(init({QStringLiteral("--start-month=9")}).status, 0);
    EXPECT_TRUE(readAll(dataFolder() + QStringLiteral("/共通データ.txt")).startsWith("9\r\n31415"));
}

TEST_F(DataToolInit, KeepsEveryFileThatIsThereAndSaysSo)
{
    // A school's own roster, criteria and one sound, and a path data file already set up.
    const auto put = [](const QString &path, const QByteArray &content) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    };
    const QString data = dataFolder();
    put(data + QStringLiteral("/新名簿.txt"), "1,2016,0,0,A,0,,\r\n");
    put(data + QStringLiteral("/Tavoro/タイム回数データ.txt"), "own criteria");
    put(data + QStringLiteral("/音フォルダ/ピンポン.wav"), "own sound");
    put(pathFile(), "elsewhere\r\n");

    const datatool::Result r = init();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(readAll(data + QStringLiteral("/新名簿.txt")), QByteArray("1,2016,0,0,A,0,,\r\n"));
    EXPECT_EQ(readAll(data + QStringLiteral("/Tavoro/タイム回数データ.txt")),
              QByteArray("own criteria"));
    EXPECT_EQ(readAll(data + QStringLiteral("/音フォルダ/ピンポン.wav")), QByteArray("own sound"));
    EXPECT_EQ(readAll(pathFile()), QByteArray("elsewhere\r\n"));
    // The missing ones are made.
    EXPECT_EQ(readAll(data + QStringLiteral("/共通データ.txt")), bytes(kCommon, sizeof kCommon));
    EXPECT_EQ(readAll(data + QStringLiteral("/音フォルダ/新音ファイル.txt")),
              bytes(kSoundTable, sizeof kSoundTable));

    const QString out = text(r.out);
    for (const QString &kept : {QStringLiteral("ROOT/share/data/新名簿.txt"),
                                QStringLiteral("ROOT/share/data/Tavoro/タイム回数データ.txt"),
                                QStringLiteral("ROOT/share/data/音フォルダ/ピンポン.wav"),
                                QStringLiteral("ROOT/opt/パスデータ.txt")})
        EXPECT_TRUE(out.contains(QStringLiteral("既にあるので残しました: ") + kept + u'\n'))
            << kept.toStdString();
    EXPECT_EQ(out.count(QStringLiteral("既にあるので残しました: ")), 4);
    EXPECT_EQ(out.count(QStringLiteral("作りました: ")), 13);

    // A second init keeps everything.
    const datatool::Result again = init();
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(text(again.out).count(QStringLiteral("作りました: ")), 0);
    EXPECT_EQ(text(again.out).count(QStringLiteral("既にあるので残しました: ")), 17);
}

TEST_F(DataToolInit, WritesThePathDataWhereItsLinkPoints)
{
    // The installation's path data file is a link to the system's configuration folder,
    // which need not exist yet.
    const QString etc = root + QStringLiteral("/etc/tavoro/パスデータ.txt");
    ASSERT_TRUE(QFile::link(etc, pathFile()));
    EXPECT_EQ(init().status, 0);
    EXPECT_TRUE(QFileInfo(pathFile()).isSymLink());
    EXPECT_TRUE(readAll(etc).startsWith(dataFolder().toUtf8() + "/\r\n0\r\n"));
}

// The installer's step: the folder the administrator gave, passed as "[DATAFOLDER]\." so that
// a trailing separator cannot quote the command line's closing quote, replaces what the path
// data file said (here through the link to the system's configuration).
TEST_F(DataToolInit, DataFolderRewritesThePathDataFile)
{
    const QString etc = root + QStringLiteral("/etc/tavoro/パスデータ.txt");
    ASSERT_TRUE(QFile::link(etc, pathFile()));
    EXPECT_EQ(init().status, 0);
    const QString other = root + QStringLiteral("/学校 データ");
    const datatool::Result r =
        run({QStringLiteral("datafolder"), other + QStringLiteral("/.")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(text(r.out), QStringLiteral("書きました: ROOT/opt/パスデータ.txt（データフォルダ "
                                          "ROOT/学校 データ/）\n"));
    EXPECT_TRUE(QFileInfo(pathFile()).isSymLink());
    EXPECT_EQ(readAll(etc), (other + QStringLiteral("/\r\n")).toUtf8().replace(
                                "学校", "\x8a\x77\x8d\x5a")
                                .replace("データ", "\x83\x66\x81\x5b\x83\x5e") +
                                QByteArray("0\r\n").repeated(9));

    const datatool::Result none = run({QStringLiteral("datafolder")});
    EXPECT_EQ(none.status, 2);
    EXPECT_TRUE(QString::fromUtf8(none.err).startsWith(
        QStringLiteral("tavoro-data: datafolder の後にはデータフォルダが一つ要ります\n")));
}

struct BadInit {
    const char *name;
    QStringList args;
    const char *message;
};

class DataToolBadInit : public DataToolInit, public ::testing::WithParamInterface<BadInit> {};

TEST_P(DataToolBadInit, ExitsTwoWithAMessageAndWritesNothing)
{
    const datatool::Result r = run(QStringList{QStringLiteral("init")} + GetParam().args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, QByteArray());
    const QString err = QString::fromUtf8(r.err);
    EXPECT_TRUE(err.startsWith(QStringLiteral("tavoro-data: ") +
                               QString::fromUtf8(GetParam().message) + u'\n'))
        << err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("使い方: ")));
    EXPECT_FALSE(QFileInfo::exists(pathFile()));
}

const QStringList kGood = {QStringLiteral("--school-code"), QStringLiteral("31415"),
                           QStringLiteral("--school-name"), QStringLiteral("さくら小"),
                           QStringLiteral("--password"),    QStringLiteral("pw")};

QStringList with(const QString &option, const QString &value)
{
    QStringList args = kGood;
    const qsizetype i = args.indexOf(option);
    if (i >= 0)
        args[i + 1] = value;
    else
        args << option << value;
    return args;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DataToolBadInit,
    ::testing::Values(
        BadInit{"NoFolder", kGood, "init にはデータフォルダ DIR が必要です"},
        BadInit{"TwoFolders", QStringList{QStringLiteral("d"), QStringLiteral("e")} + kGood,
                "余分な引数「e」"},
        BadInit{"NoPassword",
                {QStringLiteral("d"), QStringLiteral("--school-code"), QStringLiteral("31415"),
                 QStringLiteral("--school-name"), QStringLiteral("さくら小")},
                "init には --school-code, --school-name, --password が必要です"},
        BadInit{"MissingValue",
                QStringList{QStringLiteral("d")} + kGood +
                    QStringList{QStringLiteral("--password")},
                "--password の値がありません"},
        BadInit{"UnknownOption",
                QStringList{QStringLiteral("d"), QStringLiteral("--force")} + kGood,
                "知らないオプション「--force」"},
        BadInit{"ShortCode",
                QStringList{QStringLiteral("d")} +
                    with(QStringLiteral("--school-code"), QStringLiteral("3141")),
                "学校コード「3141」は 00000 以外の 5 けたの数字にしてください"},
        BadInit{"ZeroCode",
                QStringList{QStringLiteral("d")} +
                    with(QStringLiteral("--school-code"), QStringLiteral("00000")),
                "学校コード「00000」は 00000 以外の 5 けたの数字にしてください"},
        BadInit{"LetterCode",
                QStringList{QStringLiteral("d")} +
                    with(QStringLiteral("--school-code"), QStringLiteral("3141a")),
                "学校コード「3141a」は 00000 以外の 5 けたの数字にしてください"},
        BadInit{"NameOutsideCp932",
                QStringList{QStringLiteral("d")} +
                    with(QStringLiteral("--school-name"), QStringLiteral("𠮷野小")),
                "学校名「𠮷野小」にはシフトJIS（コードページ932）で書けない文字があります"},
        BadInit{"PasswordOutsideCp932",
                QStringList{QStringLiteral("d")} +
                    with(QStringLiteral("--password"), QStringLiteral("pass€")),
                "パスワード「pass€」にはシフトJIS（コードページ932）で書けない文字があります"},
        BadInit{"NameWithComma",
                QStringList{QStringLiteral("d")} +
                    with(QStringLiteral("--school-name"), QStringLiteral("a,b")),
                "学校名にコンマ・二重引用符・改行は使えません"},
        BadInit{"EmptyPassword",
                QStringList{QStringLiteral("d")} + with(QStringLiteral("--password"), QString()),
                "パスワードが空です"},
        BadInit{"MonthThirteen",
                QStringList{QStringLiteral("d")} +
                    with(QStringLiteral("--start-month"), QStringLiteral("13")),
                "--start-month「13」は 1～12 の数にしてください"},
        BadInit{"MonthWord",
                QStringList{QStringLiteral("d")} +
                    with(QStringLiteral("--start-month"), QStringLiteral("april")),
                "--start-month「april」は 1～12 の数にしてください"}),
    [](const ::testing::TestParamInfo<BadInit> &info) { return std::string(info.param.name); });
