#include "app/WidgetHost.h"
#include "lang/MessageBoxes.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

using namespace qvr;

namespace {

// Acts on the message box once it is open.
void whenBoxOpens(const std::function<void(QMessageBox*)>& act)
{
    QTimer::singleShot(0, [act] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                act(box);
                return;
            }
        }
    });
}

QStringList buttonTexts(QMessageBox* box)
{
    QStringList texts;
    for (QAbstractButton* b : box->buttons()) {
        texts << b->text();
    }
    texts.sort();
    return texts;
}

}  // namespace

TEST(WidgetHost, ShowsTranslatedTitleAndButtonsAndAnswersTheButtonsCode)
{
    WidgetHost host;
    const MessageBoxes german(host, 0);
    QString title;
    QStringList texts;
    whenBoxOpens([&](QMessageBox* box) {
        title = box->windowTitle();
        texts = buttonTexts(box);
        for (QAbstractButton* b : box->buttons()) {
            if (b->text() == "Nein") {
                b->click();
            }
        }
    });
    const int result = german.show("Unterordner?", MessageKind::Confirmation,
                                   {MessageButton::Yes, MessageButton::No});
    EXPECT_EQ(result, 7);
    EXPECT_EQ(title, "Bestätigung");
    EXPECT_EQ(texts, QStringList({"Ja", "Nein"}));
}

TEST(WidgetHost, TheCloseBoxAnswersCancel)
{
    WidgetHost host;
    const MessageBoxes english(host, 1);
    whenBoxOpens([](QMessageBox* box) { box->close(); });
    EXPECT_EQ(english.show("?", MessageKind::Confirmation, {MessageButton::Yes, MessageButton::No}),
              2);
}

// A box that comes while another program has the keyboard (no window of ours is active) opens
// without taking it; while our window is active, the box is activated as usual.
TEST(WidgetHost, ABoxDoesNotTakeTheFocusFromAnotherProgram)
{
    WidgetHost host;
    const MessageBoxes english(host, 1);
    for (const bool ourWindowActive : {false, true}) {
        QWidget window;
        window.show();
        if (ourWindowActive) {
            window.activateWindow();
            QApplication::setActiveWindow(&window);
        } else {
            QApplication::setActiveWindow(nullptr);
        }
        bool withoutActivating = ourWindowActive;  // wrong until the box is seen
        whenBoxOpens([&](QMessageBox* box) {
            withoutActivating = box->testAttribute(Qt::WA_ShowWithoutActivating);
            box->close();
        });
        english.show("The conversion has finished.", MessageKind::Information, {MessageButton::OK});
        EXPECT_EQ(withoutActivating, !ourWindowActive) << ourWindowActive;
    }
}
