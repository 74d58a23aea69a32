#pragma once

class QLabel;
class QPushButton;

namespace qvr {

// The width a button needs to show its caption and icon whole, with the style's margins.
int CaptionWidth(const QPushButton& button);

// A caption that is too wide for its button in some language gets a smaller font on that
// button only, so the button keeps the design's size and place. The font the button had the
// first time is remembered, so a later, shorter caption gets it back.
void FitCaption(QPushButton& button);

// A label that has grown past the right edge it may reach gets a smaller font until it ends
// there; the design's font is remembered as for buttons.
void FitLabel(QLabel& label, int rightEdge);

}  // namespace qvr
