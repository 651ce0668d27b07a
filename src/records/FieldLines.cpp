// Fields of a text file, line by line.
#include "FieldLines.h"

#include "platform/FieldReader.h"

namespace tavoro::records {

bool FieldLine::isBlank() const
{
    for (const QString &f : fields) {
        if (!f.trimmed().isEmpty())
            return false;
    }
    return true;
}

std::vector<FieldLine> ReadFieldLines(const QString &text)
{
    std::vector<FieldLine> lines;
    platform::FieldReader reader(text);
    while (!reader.atEnd()) {
        FieldLine l;
        l.line = reader.line();
        do {
            l.fields.append(reader.next());
        } while (!reader.atEnd() && reader.line() == l.line);
        lines.push_back(std::move(l));
    }
    return lines;
}

} // namespace tavoro::records
