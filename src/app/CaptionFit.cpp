#include "CaptionFit.h"

#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QVariant>

namespace qvr {
namespace {

// Below this the caption would no longer be readable; it is better cut than unreadable.
constexpr double kSmallestPointSize = 6.0;
constexpr double kStep = 0.5;
constexpr char kDesignFont[] = "quorvaneDesignFont";

// The font the widget was given before any fitting.
QFont designFont(QWidget& widget)
{
    const QVariant stored = widget.property(kDesignFont);
    if (stored.isValid()) {
        return stored.value<QFont>();
    }
    widget.setProperty(kDesignFont, widget.font());
    return widget.font();
}

// Shrinks the widget's font from the design's until fits() holds or the smallest size is reached.
template <typename Fits>
void shrinkUntil(QWidget& widget, Fits fits)
{
    QFont font = designFont(widget);
    widget.setFont(font);
    while (!fits() && font.pointSizeF() - kStep >= kSmallestPointSize) {
        font.setPointSizeF(font.pointSizeF() - kStep);
        widget.setFont(font);
    }
}

}  // namespace

int CaptionWidth(const QPushButton& button)
{
    QStyleOptionButton option;
    option.initFrom(&button);
    const QStyle* style = button.style();
    int width = button.fontMetrics().horizontalAdvance(button.text());
    if (!button.icon().isNull()) {
        width += button.iconSize().width() + 4;  // the gap the styles leave after the icon
    }
    width += 2 * style->pixelMetric(QStyle::PM_ButtonMargin, &option, &button);
    width += 2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &button);
    if (button.autoDefault() || button.isDefault()) {
        width += 2 * style->pixelMetric(QStyle::PM_ButtonDefaultIndicator, &option, &button);
    }
    return width;
}

void FitCaption(QPushButton& button)
{
    shrinkUntil(button, [&] { return CaptionWidth(button) <= button.width(); });
}

void FitLabel(QLabel& label, int rightEdge)
{
    shrinkUntil(label, [&] {
        label.adjustSize();
        return label.geometry().right() < rightEdge;
    });
}

}  // namespace qvr
