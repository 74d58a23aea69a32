#pragma once

#include <QImage>
#include <QRect>
#include <QWidget>

class QLabel;

namespace qvr {

// The colour a background pixel gets so that text of `text` colour reads on it with at least
// `ratio` (WCAG contrast), darkened when `darken`, else lightened; the hue stays. A pixel that
// already has the contrast is left alone.
QRgb ToneForContrast(QRgb pixel, const QColor& text, double ratio, bool darken);

// Whether text of this colour needs a darker background rather than a lighter one, given the
// background's mean relative luminance.
bool DarkenFor(const QColor& text, double ratio, double backgroundLuminance);

// The toned patch of the background behind a label that shows only during a run (the counter,
// "Converting...", the error count): under the label, and a margin that fades out, the picture
// is darkened or lightened just as far as the label's text needs to read. The patch shows only
// while its label does, so the idle window has no empty boxes.
class LabelBackdrop : public QWidget {
    Q_OBJECT
  public:
    // ratio: the contrast the label's text needs (4.5 for normal text, 3 for large text).
    LabelBackdrop(QLabel* label, QLabel* background, double ratio);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void follow();
    int reach() const;
    const QImage& toned();

    QLabel* label_;
    QLabel* background_;
    double ratio_;
    QImage toned_;
    qint64 tonedFor_ = 0;  // the background picture's cache key
    QRect tonedAt_;
    QSize backgroundSize_;
};

}  // namespace qvr
