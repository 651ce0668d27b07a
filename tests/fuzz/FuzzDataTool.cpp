// The data tool's export and check on an installation made of the input.
// Input: five parts split at the separator line: roster, criteria, common data, sound table,
// grade file.
#include "FuzzSupport.h"

#include "DataTool.h"

using namespace tavoro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::vector<QByteArray> parts = fuzz::SplitParts(data, size, 5);
    test::Installation &inst = fuzz::SharedInstallation();
    inst.writeBytes(QStringLiteral("パスデータ.txt"),
                    QByteArrayLiteral("..\\data\\\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10\r\n"));
    inst.writeBytes(QStringLiteral("data/新名簿.txt"), parts[0]);
    inst.writeBytes(QStringLiteral("data/Tavoro/タイム回数データ.txt"), parts[1]);
    inst.writeBytes(QStringLiteral("data/共通データ.txt"), parts[2]);
    inst.writeBytes(QStringLiteral("data/音フォルダ/新音ファイル.txt"), parts[3]);
    inst.writeBytes(QStringLiteral("data/Tavoro/成績累積データ.dat"), parts[4]);

    for (const char *command : {"export", "check"}) {
        const datatool::Result result = datatool::Run(
            {QStringLiteral("--today"), QStringLiteral("2026-12-09"), QString::fromLatin1(command)},
            inst.programFolder(), QDate(2026, 12, 9));
        FUZZ_CHECK(result.status >= 0 && result.status <= 2);
        if (result.status == 0 && QByteArray(command) == "export")
            FUZZ_CHECK(result.out.startsWith("record,"));
    }
    return 0;
}
