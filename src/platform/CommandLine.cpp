#include "CommandLine.h"

namespace qvr {

CommandLine& CommandLine::option(const QString& text)
{
    arguments_ << text;
    rendered_ << text;
    return *this;
}

CommandLine& CommandLine::path(const QString& text)
{
    arguments_ << text;
    rendered_ << u'"' + text + u'"';
    return *this;
}

QString CommandLine::text() const
{
    return rendered_.join(u' ');
}

QStringList SplitCommandLine(const QString& line)
{
    QStringList words;
    QString word;
    bool inQuotes = false;
    bool haveWord = false;
    for (const QChar c : line) {
        if (c == u'"') {
            inQuotes = !inQuotes;
            haveWord = true;
        } else if ((c == u' ' || c == u'\t') && !inQuotes) {
            if (haveWord) {
                words << word;
            }
            word.clear();
            haveWord = false;
        } else {
            word += c;
            haveWord = true;
        }
    }
    if (haveWord) {
        words << word;
    }
    return words;
}

}  // namespace qvr
