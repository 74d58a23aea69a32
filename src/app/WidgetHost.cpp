#include "WidgetHost.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMessageBox>
#include <QPushButton>

namespace qvr {
namespace {

QMessageBox::Icon iconFor(MessageKind kind)
{
    switch (kind) {
        case MessageKind::Warning: return QMessageBox::Warning;
        case MessageKind::Error: return QMessageBox::Critical;
        case MessageKind::Information: return QMessageBox::Information;
        case MessageKind::Confirmation: return QMessageBox::Question;
        case MessageKind::Custom: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton standardButton(MessageButton button)
{
    switch (button) {
        case MessageButton::OK: return QMessageBox::Ok;
        case MessageButton::Cancel: return QMessageBox::Cancel;
        case MessageButton::Abort: return QMessageBox::Abort;
        case MessageButton::Retry: return QMessageBox::Retry;
        case MessageButton::Ignore: return QMessageBox::Ignore;
        case MessageButton::Yes: return QMessageBox::Yes;
        case MessageButton::No: return QMessageBox::No;
        case MessageButton::All: return QMessageBox::YesAll;
        case MessageButton::NoToAll: return QMessageBox::NoToAll;
        case MessageButton::YesToAll: return QMessageBox::YesToAll;
        case MessageButton::Help: return QMessageBox::Help;
    }
    return QMessageBox::NoButton;
}

// A message box whose close box answers "Cancel" whatever buttons it has.
class LanguageMessageBox : public QMessageBox {
    Q_OBJECT
  public:
    using QMessageBox::QMessageBox;
    bool closedByCloseBox = false;

  protected:
    void closeEvent(QCloseEvent* event) override
    {
        closedByCloseBox = true;
        event->accept();
        // Past QMessageBox's own, which refuses the close box of a box without an Escape button.
        QDialog::closeEvent(event);  // NOLINT(bugprone-parent-virtual-call)
    }
};

// A box that comes while the person works in another program (the end of a long run) does not
// take the keyboard from it: it opens behind, and the program's task-bar entry asks for attention.
void waitBehindAnotherProgram(QMessageBox& box)
{
    box.setAttribute(Qt::WA_ShowWithoutActivating);
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && window != &box) {
            QApplication::alert(window);
        }
    }
}

}  // namespace

WidgetHost::WidgetHost()
{
    if (auto* app = QCoreApplication::instance()) {
        QObject::connect(app, &QCoreApplication::aboutToQuit, app, [this] { terminating_ = true; });
    }
}

int WidgetHost::showMessage(const MessageBoxRequest& request)
{
    QWidget* active = QApplication::activeWindow();
    LanguageMessageBox box(iconFor(request.kind), request.title, request.text,
                           QMessageBox::NoButton, active);
    // A folder or file a message names can be selected and copied.
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    if (active == nullptr) {
        waitBehindAnotherProgram(box);
    }
    std::vector<std::pair<QAbstractButton*, MessageButton>> buttons;
    for (const MessageBoxButton& b : request.buttons) {
        QPushButton* button = box.addButton(standardButton(b.button));
        if (!b.caption.isEmpty()) {
            button->setText(b.caption);
        }
        buttons.emplace_back(button, b.button);
    }
    box.exec();
    if (box.closedByCloseBox) {
        return kClosedByCloseBox;
    }
    for (const auto& [button, which] : buttons) {
        if (box.clickedButton() == button) {
            return static_cast<int>(which);
        }
    }
    return kClosedByCloseBox;
}

void WidgetHost::showPlainMessage(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Quorvane"), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

void WidgetHost::setBusyCursor(bool busy)
{
    // Like setting the screen's cursor: showing it twice needs one restore.
    if (busy && !busy_) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (!busy && busy_) {
        QApplication::restoreOverrideCursor();
    }
    busy_ = busy;
}

}  // namespace qvr

#include "WidgetHost.moc"
