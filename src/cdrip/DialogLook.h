#pragma once

#include <QColor>

class QKeyEvent;
class QWidget;

namespace qvr {

// The colours of the dialogs' gradient backgrounds, top and bottom. The main window keeps the
// current skin's; a dialog follows them and reads them each time it is shown.
struct DialogColours {
    QColor start{133, 144, 217};
    QColor end{249, 249, 249};
};

// The colours of a dialog nobody has given colours to: the first skin's.
const DialogColours& DefaultDialogColours();

// Fills the widget with a vertical gradient from start (top) to end (bottom); for paintEvent.
void PaintVerticalGradient(QWidget* widget, const QColor& start, const QColor& end);

// Enlarges the places and sizes of a window's controls by percent, the contents of group boxes
// too; fonts are left as they are.
void EnlargeControls(QWidget* parent, int percent);

enum class DialogFonts { Enlarge, Keep };

// Enlarges a dialog's client size and every control in it, the contents of group boxes too,
// by percent: places and sizes, and the fonts unless they are to be kept; labels then take the
// size of their text.
void EnlargeDialog(QWidget* dialog, int percent, DialogFonts fonts = DialogFonts::Enlarge);

// Puts a window in the middle of its screen's free area.
void CentreOnScreen(QWidget* window);

// Enter and Escape do nothing in the dialogs, which have no default and no cancel button:
// true when the key was one of them and has been taken.
bool SwallowEnterAndEscape(QKeyEvent* event);

// Makes a push button ignore Enter: the dialogs have no default button.
void MakeNoDefault(QWidget* dialog);

}  // namespace qvr
