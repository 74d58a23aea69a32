#pragma once

#include <QObject>

class QMenuBar;

namespace qvr {

// Pressing and releasing Alt alone opens the menu bar of the window it was pressed in, as the
// desktops do; Alt held for a shortcut or a click does not. The design's captions carry no
// mnemonics, so this and F10 are the keyboard's way into the menus.
class AltMenuAccess : public QObject {
    Q_OBJECT
  public:
    explicit AltMenuAccess(QMenuBar* bar);

    // Gives the bar the focus with its first menu marked; the arrow keys then walk it.
    static void openMenuBar(QMenuBar* bar);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool inBarsWindow(QObject* watched) const;

    QMenuBar* bar_;
    bool altAlone_ = false;
};

}  // namespace qvr
