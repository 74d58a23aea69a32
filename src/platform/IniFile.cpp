#include "IniFile.h"

#include "FileSystem.h"

#include <QStringList>

#include <optional>

namespace qvr {
namespace {

std::optional<QString> sectionName(const QString& line)
{
    const QString trimmed = line.trimmed();
    if (!trimmed.startsWith(u'[')) {
        return std::nullopt;
    }
    const qsizetype close = trimmed.indexOf(u']');
    return close < 0 ? trimmed.mid(1).trimmed() : trimmed.mid(1, close - 1).trimmed();
}

struct KeyLine {
    QString key;
    QString value;
};

std::optional<KeyLine> keyLine(const QString& line)
{
    const qsizetype equals = line.indexOf(u'=');
    if (equals < 0 || line.trimmed().startsWith(u';')) {
        return std::nullopt;
    }
    return KeyLine{line.left(equals).trimmed(), line.mid(equals + 1).trimmed()};
}

bool sameName(const QString& a, const QString& b)
{
    return a == b;
}

QString unquoted(const QString& value)
{
    const bool quoted = value.size() >= 2 && ((value.startsWith(u'"') && value.endsWith(u'"')) ||
                                              (value.startsWith(u'\'') && value.endsWith(u'\'')));
    return quoted ? value.mid(1, value.size() - 2) : value;
}

}  // namespace

IniFile::IniFile(QString path) : path_(std::move(path)) {}

QString IniFile::readString(const QString& section, const QString& key,
                            const QString& defaultValue) const
{
    const auto lines = ReadTextLines(path_);
    if (!lines) {
        return defaultValue;
    }
    bool inSection = false;
    for (const QString& line : *lines) {
        if (const auto name = sectionName(line)) {
            inSection = sameName(*name, section);
            continue;
        }
        if (!inSection) {
            continue;
        }
        if (const auto entry = keyLine(line); entry && sameName(entry->key, key)) {
            return unquoted(entry->value);
        }
    }
    return defaultValue;
}

bool IniFile::writeString(const QString& section, const QString& key, const QString& value)
{
    QStringList lines = ReadTextLines(path_).value_or(QStringList());
    const QString newLine = key + u'=' + value;
    qsizetype sectionStart = -1;
    qsizetype sectionEnd = lines.size();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (const auto name = sectionName(lines[i])) {
            if (sectionStart >= 0) {
                sectionEnd = i;
                break;
            }
            if (sameName(*name, section)) {
                sectionStart = i;
            }
            continue;
        }
        const auto entry = sectionStart >= 0 ? keyLine(lines[i]) : std::nullopt;
        if (entry && sameName(entry->key, key)) {
            lines[i] = newLine;
            return WriteTextFile(path_,
                                 lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
        }
    }
    if (sectionStart < 0) {
        lines << u'[' + section + u']';
        sectionEnd = lines.size();
    }
    // New keys go after the section's last non-blank line.
    qsizetype insertAt = sectionEnd;
    while (insertAt > sectionStart + 1 && insertAt - 1 < lines.size() &&
           lines[insertAt - 1].trimmed().isEmpty()) {
        --insertAt;
    }
    lines.insert(insertAt, newLine);
    return WriteTextFile(path_, lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

}  // namespace qvr
