#include "TrackNames.h"

#include "lang/Windows1252.h"

namespace qvr {
namespace {

bool startsWord(QChar c)
{
    static const QString kWordEnds = QStringLiteral("\r !(,-.:;?\\_");
    return kWordEnds.contains(c);
}

bool inAnsi(QChar c)
{
    return c == u'?' || ToWindows1252(QString(c)) != "?";
}

// The ANSI upper case: a letter whose capital the code page lacks (such as the micro sign)
// stays as it is.
QChar ansiUpper(QChar c)
{
    const QChar upper = c.toUpper();
    return inAnsi(c) && !inAnsi(upper) ? c : upper;
}

}  // namespace

QString TitleCase(const QString& text)
{
    if (text.size() <= 1) {
        return text;
    }
    QString result = text;
    bool wordStart = true;
    for (QChar& c : result) {
        const QChar original = c;
        if (wordStart) {
            c = ansiUpper(c);
        } else if (c >= u'A' && c <= u'Z') {
            c = c.toLower();
        }
        wordStart = startsWord(original);
    }
    return result;
}

QString TrackFileTitle(const QString& title)
{
    QString name = title;
    if (name.contains(QStringLiteral("(Audio)"), Qt::CaseSensitive)) {
        name.remove(QStringLiteral("(Audio)"), Qt::CaseInsensitive);
    }
    name.remove(u'?');
    name.remove(u'!');
    name.replace(u'/', u' ');
    name.replace(u'\\', u' ');
    return TitleCase(name);
}

}  // namespace qvr
