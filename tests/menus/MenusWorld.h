// What the menus tests share: an application state on test doubles, a temporary
// installation read by the real start-up, and helpers that write the roster and grade file.
#pragma once

#include "support/Fakes.h"
#include "support/GradeRecords.h"
#include "support/Installation.h"

#include "core/AppState.h"
#include "core/Profile.h"
#include "core/Settings.h"
#include "menus/NameList.h"
#include "records/GradeFile.h"
#include "records/RosterFile.h"
#include "records/Statistics.h"

#include <QByteArray>
#include <QDate>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace tavoro::test {

// The fakes, a default installation (school "テスト小学校", school year from April, seven
// levels with targets 25, 30, .. 55 seconds, 3 runs and 100 points to clear, a 7-day pass
// period) and a small roster. Today is Wednesday 2026-12-09, 09:00; the school year is
// 2026, so a pupil born in 2017 is in grade 3.
struct MenusWorld : FakeWorld {
    Installation inst;

    MenusWorld()
    {
        inst.writeDefaults();
        inst.writeRoster(defaultRoster());
    }

    static QStringList defaultRoster()
    {
        return {
            QStringLiteral("1,2017,0,0,山田太郎,0,,"),  QStringLiteral("2,2017,0,0,佐藤花子,0,,"),
            QStringLiteral("3,2019,0,0,鈴木一郎,0,,"),  QStringLiteral("4,2013,0,0,高橋次郎,0,,"),
            QStringLiteral("5,2020,0,0,田中ゆい,0,,"),  QStringLiteral("6,2010,0,0,伊藤健,0,,"),
            QStringLiteral("7,1980,0,0,★田中先生,0,,"),
        };
    }

    // Pupil 1 ran level 1 (target 25 s) three times today and 22 times in November in 30
    // seconds: 4 points a run. Pupil 2 ran it twice today in 20 seconds: 5 points a run.
    static std::vector<records::GradeRecord> typicalGrades()
    {
        std::vector<records::GradeRecord> records;
        for (int i = 0; i < 22; ++i)
            records.push_back(gradeRecord(1, 1, 30, dayValue(2026, 11, 1)));
        for (int i = 0; i < 3; ++i)
            records.push_back(gradeRecord(1, 1, 30));
        for (int i = 0; i < 2; ++i)
            records.push_back(gradeRecord(2, 1, 20));
        return records;
    }

    // Reads the installation the way start-up does and sets the level table.
    void start()
    {
        const auto err = core::LoadSettings(*state, inst.programFolder());
        ASSERT_FALSE(err.has_value()) << (err ? err->message.toStdString() : std::string());
        core::SetLevelTable(*state);
    }

    void writeGrades(const std::vector<records::GradeRecord> &records)
    {
        inst.writeBytes(QStringLiteral("data/Tavoro/成績累積データ.dat"), encodeRecords(records));
    }

    QByteArray gradeBytes() const
    {
        return inst.readBytes(QStringLiteral("data/Tavoro/成績累積データ.dat"));
    }

    // The statistics and the roster tables as the name selection's last display leaves them.
    void listRoster()
    {
        records::RosterFile roster;
        ASSERT_TRUE(roster.load(records::RosterFile::path(state->settings)));
        state->roster.SchoolYear =
            menus::SchoolYearOf(clock.date, state->settings.SchoolYearStartMonth);
        ASSERT_TRUE(records::ComputeStatistics(*state));
        menus::FillRosterTables(*state, roster.lines(), 1, false);
    }

    // The pupil as the name selection confirms him.
    void login(int pupil, const QString &name, const QString &gradeCode)
    {
        state->pupil.CurrentStudent = std::int16_t(pupil);
        state->pupil.StudentName = name;
        state->pupil.CurrentGradeCode = gradeCode;
        state->pupil.LoginTime = 9 * 3600;
    }
};

} // namespace tavoro::test
