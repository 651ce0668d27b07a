// Code page 932 conversion on ICU's "windows-31j" converter.
#include "TextCodec.h"

#include <unicode/ucnv.h>

#include <memory>
#include <mutex>
#include <stdexcept>

namespace tavoro::platform {
namespace {

struct ConverterCloser {
    void operator()(UConverter *c) const { ucnv_close(c); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

ConverterPtr openConverter(bool strictEncode)
{
    UErrorCode status = U_ZERO_ERROR;
    ConverterPtr conv(ucnv_open("windows-31j", &status));
    if (U_FAILURE(status) || !conv)
        throw std::runtime_error("ICU converter windows-31j is not available");
    if (strictEncode) {
        status = U_ZERO_ERROR;
        ucnv_setFromUCallBack(conv.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                              &status);
    }
    return conv;
}

// ICU converters are not thread-safe; the program converts on one thread, but tests and the
// data tool may not, so each call clones a fresh converter from a shared prototype.
UConverter *prototype()
{
    static ConverterPtr proto = openConverter(false);
    return proto.get();
}

ConverterPtr cloneConverter()
{
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    UErrorCode status = U_ZERO_ERROR;
    ConverterPtr conv(ucnv_clone(prototype(), &status));
    if (U_FAILURE(status) || !conv)
        throw std::runtime_error("cannot clone the windows-31j converter");
    return conv;
}

} // namespace

QString fromCp932(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return {};
    ConverterPtr conv = cloneConverter();
    QString out(bytes.size() + 1, Qt::Uninitialized);
    UErrorCode status = U_ZERO_ERROR;
    const int32_t n =
        ucnv_toUChars(conv.get(), reinterpret_cast<UChar *>(out.data()), int32_t(out.size()),
                      bytes.constData(), int32_t(bytes.size()), &status);
    if (U_FAILURE(status))
        return {};
    out.truncate(n);
    return out;
}

QByteArray toCp932(const QString &text, bool *lossless)
{
    if (lossless)
        *lossless = true;
    if (text.isEmpty())
        return {};
    ConverterPtr conv = cloneConverter();
    UErrorCode status = U_ZERO_ERROR;
    // Find out whether every character maps; the substitution character of windows-31j is
    // the ASCII SUB (0x1A), which we replace by '?' so a written file stays readable.
    if (lossless) {
        ConverterPtr strict = openConverter(true);
        QByteArray probe(text.size() * 2 + 2, '\0');
        UErrorCode s = U_ZERO_ERROR;
        ucnv_fromUChars(strict.get(), probe.data(), int32_t(probe.size()),
                        reinterpret_cast<const UChar *>(text.constData()), int32_t(text.size()),
                        &s);
        if (U_FAILURE(s))
            *lossless = false;
    }
    const char question = '?';
    ucnv_setSubstChars(conv.get(), &question, 1, &status);
    status = U_ZERO_ERROR;
    QByteArray out(text.size() * 2 + 2, '\0');
    const int32_t n = ucnv_fromUChars(conv.get(), out.data(), int32_t(out.size()),
                                      reinterpret_cast<const UChar *>(text.constData()),
                                      int32_t(text.size()), &status);
    if (U_FAILURE(status))
        return {};
    out.truncate(n);
    return out;
}

int cp932Length(const QString &text)
{
    return int(toCp932(text).size());
}

QString cp932Prefix(const QString &text, int maxBytes)
{
    QString out;
    int used = 0;
    for (int i = 0; i < text.size();) {
        const int len = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        const QString ch = text.mid(i, len);
        const int bytes = cp932Length(ch);
        if (used + bytes > maxBytes)
            break;
        out += ch;
        used += bytes;
        i += len;
    }
    return out;
}

} // namespace tavoro::platform
