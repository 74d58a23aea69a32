#include "LabelBackdrop.h"

#include <QEvent>
#include <QLabel>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace qvr {
namespace {

// Aim above the required ratio, so rounding to whole channel values never falls short.
constexpr double kHeadroom = 1.1;

double toLinear(int channel)
{
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

int toChannel(double linear)
{
    const double c = std::clamp(linear, 0.0, 1.0);
    const double s = c <= 0.0031308 ? c * 12.92 : 1.055 * std::pow(c, 1.0 / 2.4) - 0.055;
    return static_cast<int>(std::lround(s * 255.0));
}

double luminanceOf(double r, double g, double b)
{
    return 0.2126 * r + 0.7152 * g + 0.0722 * b;
}

double luminanceOf(const QColor& colour)
{
    return luminanceOf(toLinear(colour.red()), toLinear(colour.green()), toLinear(colour.blue()));
}

double smoothstep(double edge0, double edge1, double x)
{
    const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

// How far the point lies outside the rectangle, 0 inside.
double distanceOutside(const QRect& core, int x, int y)
{
    const double dx = std::max({core.left() - x, x - core.right(), 0});
    const double dy = std::max({core.top() - y, y - core.bottom(), 0});
    return std::sqrt(dx * dx + dy * dy);
}

QRgb blend(QRgb from, QRgb to, double weight)
{
    auto mix = [weight](int a, int b) {
        return static_cast<int>(std::lround(a + (b - a) * weight));
    };
    return qRgb(mix(qRed(from), qRed(to)), mix(qGreen(from), qGreen(to)),
                mix(qBlue(from), qBlue(to)));
}

}  // namespace

QRgb ToneForContrast(QRgb pixel, const QColor& text, double ratio, bool darken)
{
    const double target = ratio * kHeadroom;
    const double textLuminance = luminanceOf(text);
    double r = toLinear(qRed(pixel));
    double g = toLinear(qGreen(pixel));
    double b = toLinear(qBlue(pixel));
    const double own = luminanceOf(r, g, b);
    if (darken) {
        const double limit = std::max(0.0, (textLuminance + 0.05) / target - 0.05);
        if (own <= limit) {
            return pixel;
        }
        // Scaling the light keeps the hue.
        const double k = limit / own;
        r *= k;
        g *= k;
        b *= k;
    } else {
        const double limit = std::min(1.0, target * (textLuminance + 0.05) - 0.05);
        if (own >= limit) {
            return pixel;
        }
        const double t = (limit - own) / (1.0 - own);
        r += (1 - r) * t;
        g += (1 - g) * t;
        b += (1 - b) * t;
    }
    return qRgb(toChannel(r), toChannel(g), toChannel(b));
}

bool DarkenFor(const QColor& text, double ratio, double backgroundLuminance)
{
    const double target = ratio * kHeadroom;
    const double textLuminance = luminanceOf(text);
    const double darkLimit = (textLuminance + 0.05) / target - 0.05;
    const double lightLimit = target * (textLuminance + 0.05) - 0.05;
    if (lightLimit > 1.0) {
        return true;
    }
    if (darkLimit <= 0.0) {
        return false;
    }
    // The side that needs less change.
    const double own = backgroundLuminance + 0.05;
    return own * own < (darkLimit + 0.05) * (lightLimit + 0.05);
}

LabelBackdrop::LabelBackdrop(QLabel* label, QLabel* background, double ratio)
    : QWidget(label->parentWidget()), label_(label), background_(background), ratio_(ratio)
{
    setObjectName(label->objectName() + QStringLiteral("Backdrop"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
    label_->installEventFilter(this);
}

bool LabelBackdrop::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == label_) {
        switch (event->type()) {
            case QEvent::Show:
            case QEvent::Move:
            case QEvent::Resize: follow(); break;
            case QEvent::Hide:
                if (!label_->isVisibleTo(parentWidget())) {
                    hide();
                }
                break;
            default: break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// The patch reaches beyond the label by three quarters of its height: half of it at full
// strength, the rest fading out. It lies right on the background, under every control, so it
// never covers another label's text.
int LabelBackdrop::reach() const
{
    return label_->height() * 3 / 4;
}

void LabelBackdrop::follow()
{
    const int reach = this->reach();
    setGeometry(label_->geometry()
                    .adjusted(-reach, -reach, reach, reach)
                    .intersected(parentWidget()->rect()));
    lower();
    background_->lower();
    if (label_->isVisibleTo(parentWidget())) {
        show();
    }
    update();
}

void LabelBackdrop::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, toned());
}

const QImage& LabelBackdrop::toned()
{
    const qint64 picture = background_->pixmap().cacheKey();
    if (picture == tonedFor_ && geometry() == tonedAt_ && background_->size() == backgroundSize_ &&
        !toned_.isNull()) {
        return toned_;
    }
    tonedFor_ = picture;
    tonedAt_ = geometry();
    backgroundSize_ = background_->size();
    // What the background shows here, exactly as it is drawn.
    const QRect area = geometry().translated(-background_->pos());
    toned_ = background_->grab(area)
                 .toImage()
                 .convertToFormat(QImage::Format_RGB32)
                 .scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QColor text = label_->palette().color(QPalette::WindowText);
    const int full = reach() / 2;
    const QRect core = label_->geometry().translated(-pos()).adjusted(-full, -full, full, full);
    double sum = 0;
    for (int y = core.top(); y <= core.bottom(); ++y) {
        for (int x = core.left(); x <= core.right(); ++x) {
            const QColor c(
                toned_.pixel(std::clamp(x, 0, width() - 1), std::clamp(y, 0, height() - 1)));
            sum += luminanceOf(c);
        }
    }
    const double mean = sum / std::max(1, core.width() * core.height());
    const bool darken = DarkenFor(text, ratio_, mean);
    const double fade = std::max(1, reach() - full);
    for (int y = 0; y < toned_.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(toned_.scanLine(y));
        for (int x = 0; x < toned_.width(); ++x) {
            const double weight = 1.0 - smoothstep(0.0, fade, distanceOutside(core, x, y));
            if (weight > 0.0) {
                line[x] = blend(line[x], ToneForContrast(line[x], text, ratio_, darken), weight);
            }
        }
    }
    return toned_;
}

}  // namespace qvr
