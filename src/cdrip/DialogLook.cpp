#include "DialogLook.h"

#include "platform/Scale.h"

#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>

#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QWidget>

#include <cmath>
#include <utility>
#include <vector>

namespace qvr {

const DialogColours& DefaultDialogColours()
{
    static const DialogColours colours;
    return colours;
}

namespace {

// Every font set on the dialog or on one of its controls grows once; a control without a font
// of its own follows its parent. All are read before the first is changed: a control read after
// its parent had grown would grow twice.
void enlargeFonts(QWidget* dialog, int percent)
{
    std::vector<std::pair<QWidget*, QFont>> ownFonts;
    if (dialog->testAttribute(Qt::WA_SetFont)) {
        ownFonts.emplace_back(dialog, dialog->font());
    }
    for (QWidget* control : dialog->findChildren<QWidget*>()) {
        if (control->testAttribute(Qt::WA_SetFont)) {
            ownFonts.emplace_back(control, control->font());
        }
    }
    for (auto& [widget, font] : ownFonts) {
        font.setPointSizeF(font.pointSizeF() * percent / 100.0);
        widget->setFont(font);
    }
}

// A label is as large as its text, in the font it has now.
void fitLabels(QWidget* dialog)
{
    for (QLabel* label : dialog->findChildren<QLabel*>()) {
        if (!label->wordWrap()) {
            label->adjustSize();
        }
    }
}

}  // namespace

void EnlargeControls(QWidget* parent, int percent)
{
    for (QWidget* child : parent->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        const QRect g = child->geometry();
        child->setGeometry(Scaled(g.x(), percent), Scaled(g.y(), percent),
                           Scaled(g.width(), percent), Scaled(g.height(), percent));
        // Group boxes and plain panels hold controls placed by hand; other controls lay out
        // their own parts.
        const bool panel = child->metaObject() == &QFrame::staticMetaObject;
        if (qobject_cast<QGroupBox*>(child) != nullptr || panel) {
            EnlargeControls(child, percent);
        }
    }
}

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
    if (fonts == DialogFonts::Enlarge) {
        enlargeFonts(dialog, percent);
    }
    EnlargeControls(dialog, percent);
    fitLabels(dialog);
    dialog->setFixedSize(Scaled(dialog->width(), percent), Scaled(dialog->height(), percent));
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
