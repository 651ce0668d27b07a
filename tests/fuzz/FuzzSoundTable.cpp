// The sound table, then every cue played with the lowest and the highest random draw.
#include "FuzzSupport.h"

#include "core/SoundCues.h"
#include "platform/TextCodec.h"

using namespace tavoro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    test::FakeWorld &world = fuzz::World();
    core::AppState &state = *world.state;
    state.sound = core::SoundState{};
    state.settings.SoundFolder = QStringLiteral("S/");
    core::ParseSoundTable(state, platform::fromCp932(bytes));

    for (int cue = 1; cue <= core::SoundState::kCues; ++cue) {
        const auto &slots = state.sound.SoundTable[std::size_t(cue)];
        FUZZ_CHECK(slots[0] == core::CueName(cue));
        const QString count = slots[core::SoundState::kSlots - 1];
        FUZZ_CHECK(count.isEmpty() || (count.toInt() >= 0 && count.toInt() < 20));
    }

    world.sound.played.clear();
    world.sound.defaultResult = 0;
    for (const double draw : {0.0, 0.999999}) {
        world.random.queued.assign(4, draw);
        FUZZ_CHECK(core::PlayCorrectSound(state));
        FUZZ_CHECK(core::PlayWrongSound(state));
        core::PlayPersonalRecordSound(state);
        core::PlayFailSound(state);
    }
    FUZZ_CHECK(world.sound.played.size() == 8);
    for (const QString &path : world.sound.played)
        FUZZ_CHECK(path.startsWith(QStringLiteral("S/")) && path.endsWith(QStringLiteral(".wav")));
    return 0;
}
