// Field reader of the installation's text files.
#include "FieldReader.h"

#include "Numbers.h"

namespace tavoro::platform {

FieldReader::FieldReader(QString text) : m_text(std::move(text)) {}

void FieldReader::skipLineEnd()
{
    if (m_pos < m_text.size() && m_text[m_pos] == u'\r') {
        ++m_pos;
        if (m_pos < m_text.size() && m_text[m_pos] == u'\n')
            ++m_pos;
    } else if (m_pos < m_text.size() && m_text[m_pos] == u'\n') {
        ++m_pos;
    }
    ++m_line;
}

QString FieldReader::next()
{
    const qsizetype n = m_text.size();
    if (m_pos >= n)
        return {};
    ++m_fields;
    while (m_pos < n && (m_text[m_pos] == u' ' || m_text[m_pos] == u'\t'))
        ++m_pos;

    QString field;
    if (m_pos < n && m_text[m_pos] == u'"') {
        ++m_pos;
        const qsizetype close = m_text.indexOf(u'"', m_pos);
        const qsizetype stop = close < 0 ? n : close;
        field = m_text.mid(m_pos, stop - m_pos);
        m_line += int(field.count(u'\n'));
        m_pos = close < 0 ? n : close + 1;
        // Whatever follows the closing quote belongs to no field.
        while (m_pos < n && m_text[m_pos] != u',' && m_text[m_pos] != u'\r' &&
               m_text[m_pos] != u'\n')
            ++m_pos;
    } else {
        const qsizetype start = m_pos;
        while (m_pos < n && m_text[m_pos] != u',' && m_text[m_pos] != u'\r' &&
               m_text[m_pos] != u'\n')
            ++m_pos;
        field = m_text.mid(start, m_pos - start);
    }

    if (m_pos < n) {
        if (m_text[m_pos] == u',') {
            ++m_pos;
        } else {
            skipLineEnd();
        }
    }
    return field;
}

double FieldReader::nextNumber()
{
    return parseNumber(next());
}

} // namespace tavoro::platform
