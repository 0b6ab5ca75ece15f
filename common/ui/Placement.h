#pragma once

class QWidget;

namespace tirvon::ui {

// Moves a window to the middle of the screen it is on (the primary one before
// it is shown).
void centreOnScreen(QWidget& window);

} // namespace tirvon::ui
