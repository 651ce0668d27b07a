// Wave file parsing and the record file's whole-file lock within one process.
#include "platform/RecordFile.h"
#include "platform/WaveFile.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tavoro::platform;

TEST(WaveFile, WrittenFileParsesBackWithItsDuration)
{
    std::vector<std::int16_t> samples(2 * 4410, 100);
    const QByteArray bytes = makeWave16(samples, 44100, 2);
    EXPECT_EQ(bytes.size(), 44 + 2 * 4410 * 2);
    EXPECT_EQ(bytes.left(4), QByteArray("RIFF"));
    WaveData w;
    QString why;
    ASSERT_TRUE(parseWave(bytes, &w, &why)) << why.toStdString();
    EXPECT_EQ(w.sampleRate, 44100);
    EXPECT_EQ(w.channels, 2);
    EXPECT_EQ(w.bitsPerSample, 16);
    EXPECT_EQ(w.frameCount(), 4410);
    EXPECT_DOUBLE_EQ(w.durationSeconds(), 0.1);
}

TEST(WaveFile, RejectsWhatCannotBePlayed)
{
    WaveData w;
    QString why;
    EXPECT_FALSE(parseWave(QByteArray("not a wave at all"), &w, &why));
    QByteArray compressed = makeWave16(std::vector<std::int16_t>(100), 8000, 1);
    compressed[20] = 2; // ADPCM
    EXPECT_FALSE(parseWave(compressed, &w, &why));
    QByteArray empty = makeWave16({}, 8000, 1);
    EXPECT_FALSE(parseWave(empty, &w, &why));
    QByteArray truncated = makeWave16(std::vector<std::int16_t>(100), 8000, 1).left(30);
    EXPECT_FALSE(parseWave(truncated, &w, &why));
}

TEST(RecordFile, CreatesReadsWritesAndLocks)
{
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/records.dat");
    RecordFile a;
    ASSERT_TRUE(a.open(path));
    EXPECT_EQ(a.length(), 0);
    ASSERT_TRUE(a.writeAt(44, "xyz", 3));
    EXPECT_EQ(a.length(), 47);
    char buf[4] = {};
    EXPECT_EQ(a.readAt(44, buf, 4), 3);
    EXPECT_EQ(QByteArray(buf, 3), QByteArray("xyz"));

    // Two opens of the same file are two open file descriptions: the second cannot take the
    // lock while the first holds it, exactly as another process could not.
    RecordFile b;
    ASSERT_TRUE(b.open(path));
    ASSERT_TRUE(a.tryLockWhole());
    EXPECT_FALSE(b.tryLockWhole());
    EXPECT_EQ(b.error(), RecordFile::Error::Busy);
    ASSERT_TRUE(a.unlockWhole());
    EXPECT_TRUE(b.tryLockWhole());
    b.close(); // closing drops the lock
    EXPECT_TRUE(a.tryLockWhole());
}

TEST(RecordFile, MissingFolderIsNotFound)
{
    RecordFile f;
    EXPECT_FALSE(f.open(QStringLiteral("/nonexistent-folder-xyz/records.dat")));
    EXPECT_EQ(f.error(), RecordFile::Error::NotFound);
    EXPECT_FALSE(f.openForReading(QStringLiteral("/tmp/definitely-missing-file.dat")));
    EXPECT_EQ(f.error(), RecordFile::Error::NotFound);
}
