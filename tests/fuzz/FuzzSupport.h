// What the fuzz targets share: the check that stops a run on a broken promise, the split of
// one input into the files of an installation, and a world of fakes made once per process.
#pragma once

#include "support/Fakes.h"
#include "support/Installation.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tavoro::fuzz {

// Stops the run (a crash libFuzzer keeps) when a reader breaks what it promises.
#define FUZZ_CHECK(cond)                                                                   \
    do {                                                                                   \
        if (!(cond))                                                                       \
            ::tavoro::fuzz::CheckFailed(#cond, __FILE__, __LINE__);                        \
    } while (0)
[[noreturn]] void CheckFailed(const char *what, const char *file, int line);

// The line that separates the files of one input.
inline constexpr char kPartSeparator[] = "\n----8<----\n";

// Splits the input at the separator into exactly `count` parts: missing parts are empty,
// and everything after the last separator wanted stays in the last part.
std::vector<QByteArray> SplitParts(const std::uint8_t *data, std::size_t size, int count);

// A world of fakes with today 2026-12-09, made once (the per-pupil tables are large).
test::FakeWorld &World();

// One installation per process, its files rewritten by each input. Its path data file points
// at the data folder relatively, so that the inputs do not depend on the temporary folder.
test::Installation &SharedInstallation();

} // namespace tavoro::fuzz
