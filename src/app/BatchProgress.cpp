#include "BatchProgress.h"

namespace qvr {

QString ClockText(Milliseconds time)
{
    const qint64 seconds = std::max<qint64>(0, time.count() / 1000);
    const qint64 hours = seconds / 3600;
    const QString minutesAndSeconds = QStringLiteral("%1:%2")
                                          .arg(hours > 0 ? (seconds / 60) % 60 : seconds / 60,
                                               hours > 0 ? 2 : 1, 10, QLatin1Char('0'))
                                          .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return hours > 0 ? QString::number(hours) + u':' + minutesAndSeconds : minutesAndSeconds;
}

QString BatchProgressLine(int done, int total, const QStringList& running, Milliseconds elapsed,
                          int width)
{
    QString line = QStringLiteral("%1/%2 files, %3").arg(done).arg(total).arg(ClockText(elapsed));
    if (done > 0 && done < total) {
        const Milliseconds left = elapsed * (total - done) / done;
        line += QStringLiteral(", about %1 left").arg(ClockText(left));
    }
    if (!running.isEmpty()) {
        line += QStringLiteral(": ") + running.join(QStringLiteral(", "));
    }
    return width > 0 && line.size() > width ? line.left(width) : line;
}

}  // namespace qvr
