// The field reader over text decoded from code page 932, and the code page's encoder on the
// same text.
#include "FuzzSupport.h"

#include "platform/FieldReader.h"
#include "platform/TextCodec.h"

#include <cmath>

using namespace tavoro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString text = platform::fromCp932(bytes);

    // Every field takes at least one character, so the fields end.
    platform::FieldReader reader(text);
    int fields = 0;
    int line = 1;
    while (!reader.atEnd()) {
        FUZZ_CHECK(fields <= text.size());
        if (fields % 3 == 2)
            (void)reader.nextNumber();
        else
            (void)reader.next();
        ++fields;
        FUZZ_CHECK(reader.fieldsRead() == fields);
        FUZZ_CHECK(reader.line() >= line);
        line = reader.line();
    }
    FUZZ_CHECK(reader.next().isEmpty());

    bool lossless = true;
    const QByteArray encoded = platform::toCp932(text, &lossless);
    FUZZ_CHECK(platform::cp932Length(text) == encoded.size());
    if (lossless)
        FUZZ_CHECK(platform::fromCp932(encoded) == text);
    for (const int max : {0, 1, 2, 3, int(encoded.size() / 2), int(encoded.size())}) {
        const QString prefix = platform::cp932Prefix(text, max);
        FUZZ_CHECK(text.startsWith(prefix));
        FUZZ_CHECK(platform::cp932Length(prefix) <= max);
    }
    return 0;
}
