#include "DialogLook.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QScreen>

#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QWidget>

#include <cmath>

namespace qvr {

QColor DialogGradientStart{133, 144, 217};
QColor DialogGradientEnd{249, 249, 249};

namespace {

int scaled(int size, int percent)
{
    return static_cast<int>(std::nearbyint(size * static_cast<double>(percent) / 100.0));
}

void enlargeControls(QWidget* parent, int percent, DialogFonts fonts)
{
    for (QWidget* child : parent->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        const QRect g = child->geometry();
        child->setGeometry(scaled(g.x(), percent), scaled(g.y(), percent),
                           scaled(g.width(), percent), scaled(g.height(), percent));
        if (fonts == DialogFonts::Enlarge) {
            QFont font = child->font();
            font.setPointSizeF(font.pointSizeF() * percent / 100.0);
            child->setFont(font);
        }
        if (qobject_cast<QGroupBox*>(child) != nullptr) {
            enlargeControls(child, percent, fonts);
        }
    }
}

}  // namespace

void PaintVerticalGradient(QWidget* widget, const QColor& start, const QColor& end)
{
    QPainter painter(widget);
    QLinearGradient gradient(0, 0, 0, widget->height());
    gradient.setColorAt(0, start);
    gradient.setColorAt(1, end);
    painter.fillRect(widget->rect(), gradient);
}

void EnlargeDialog(QWidget* dialog, int percent, DialogFonts fonts)
{
    if (percent == 100) {
        return;
    }
    enlargeControls(dialog, percent, fonts);
    dialog->setFixedSize(scaled(dialog->width(), percent), scaled(dialog->height(), percent));
}

void MakeNoDefault(QWidget* dialog)
{
    for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
}

bool SwallowEnterAndEscape(QKeyEvent* event)
{
    switch (event->key()) {
        case Qt::Key_Escape:
        case Qt::Key_Return:
        case Qt::Key_Enter: event->accept(); return true;
        default: return false;
    }
}

void CentreOnScreen(QWidget* window)
{
    if (const QScreen* screen = window->screen()) {
        window->move(screen->availableGeometry().center() - window->rect().center());
    }
}

}  // namespace qvr
