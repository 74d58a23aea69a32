#include "AltMenuAccess.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>

namespace qvr {

// Key events go to whichever control has the focus, so the filter watches the application and
// keeps to the events of the bar's own window.
AltMenuAccess::AltMenuAccess(QMenuBar* bar) : QObject(bar), bar_(bar)
{
    qApp->installEventFilter(this);
}

void AltMenuAccess::openMenuBar(QMenuBar* bar)
{
    if (!bar->actions().isEmpty()) {
        bar->setFocus(Qt::ShortcutFocusReason);
        bar->setActiveAction(bar->actions().first());
    }
}

bool AltMenuAccess::inBarsWindow(QObject* watched) const
{
    const auto* widget = qobject_cast<const QWidget*>(watched);
    return widget != nullptr && widget->window() == bar_->window();
}

bool AltMenuAccess::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
        case QEvent::KeyPress: {
            const auto* key = static_cast<const QKeyEvent*>(event);
            if (!key->isAutoRepeat()) {
                altAlone_ = key->key() == Qt::Key_Alt && inBarsWindow(watched);
            }
            break;
        }
        case QEvent::KeyRelease: {
            const auto* key = static_cast<const QKeyEvent*>(event);
            if (key->key() == Qt::Key_Alt && !key->isAutoRepeat() && altAlone_ &&
                inBarsWindow(watched)) {
                altAlone_ = false;
                openMenuBar(bar_);
                return true;
            }
            break;
        }
        case QEvent::MouseButtonPress: altAlone_ = false; break;
        default: break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace qvr
