#include "TranslationTable.h"

#include "Windows1252.h"

namespace qvr {

const QStringList& TranslationTable::SectionNames()
{
    static const QStringList names = {
        QStringLiteral("stCaptions"),      QStringLiteral("stHints"),
        QStringLiteral("stDisplayLabels"), QStringLiteral("stFonts"),
        QStringLiteral("stMultiLines"),    QStringLiteral("stDlgsCaptions"),
        QStringLiteral("stStrings"),       QStringLiteral("stOtherStrings"),
        QStringLiteral("stLocales"),       QStringLiteral("stCollections"),
        QStringLiteral("stCharSets")};
    return names;
}

TranslationTable TranslationTable::Parse(QByteArrayView stored)
{
    TranslationTable table;
    qsizetype start = 0;
    while (start < stored.size()) {
        qsizetype end = stored.indexOf('\n', start);
        if (end < 0) {
            end = stored.size();
        }
        QByteArrayView line = stored.sliced(start, end - start);
        start = end + 1;
        if (line.endsWith('\r')) {
            line.chop(1);
        }
        if (line.isEmpty()) {
            continue;
        }
        if (!line.contains(kTableDelimiter)) {
            table.sections_.push_back({FromWindows1252(line), {}});
            continue;
        }
        if (table.sections_.empty()) {
            continue;
        }
        TranslationRow row;
        int field = 0;
        qsizetype from = 0;
        while (from <= line.size() && field <= kTableLanguageCount) {
            qsizetype to = line.indexOf(kTableDelimiter, from);
            if (to < 0) {
                to = line.size();
            }
            const QString text = FromWindows1252(line.sliced(from, to - from));
            if (field == 0) {
                row.key = text;
            } else {
                row.texts[static_cast<std::size_t>(field - 1)] = text;
            }
            ++field;
            from = to + 1;
        }
        table.sections_.back().rows.push_back(std::move(row));
    }
    return table;
}

QByteArray TranslationTable::store() const
{
    QByteArray stored;
    for (const TranslationSection& section : sections_) {
        stored += ToWindows1252(section.name) + "\r\n";
        for (const TranslationRow& row : section.rows) {
            stored += ToWindows1252(row.key) + kTableDelimiter;
            for (const QString& text : row.texts) {
                stored += ToWindows1252(text) + kTableDelimiter;
            }
            stored += "\r\n";
        }
    }
    return stored;
}

const TranslationSection* TranslationTable::section(const QString& name) const
{
    for (const TranslationSection& s : sections_) {
        if (s.name == name) {
            return &s;
        }
    }
    return nullptr;
}

}  // namespace qvr
