#pragma once

#include <QLabel>
#include <QMouseEvent>

namespace qvr {

// A label that reads as a link: blue, underlined, a hand cursor, and a click signal.
class LinkLabel : public QLabel {
    Q_OBJECT

  public:
    explicit LinkLabel(const QString& text, QWidget* parent = nullptr) : QLabel(text, parent)
    {
        QFont f = font();
        f.setUnderline(true);
        setFont(f);
        QPalette p = palette();
        p.setColor(QPalette::WindowText, Qt::blue);
        setPalette(p);
        setCursor(Qt::PointingHandCursor);
    }

  signals:
    void clicked();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
            emit clicked();
        }
        QLabel::mouseReleaseEvent(event);
    }
};

}  // namespace qvr
