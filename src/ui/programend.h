#pragma once

#include <QVariant>
#include <QWidget>

namespace mizro::ui {

/// The main window marks itself while the program ends, so that a screen
/// whose close box normally only puts it aside really closes.
inline constexpr char ProgramEndingProperty[] = "mizroProgramEnding";

inline bool programEnding(const QWidget *screen)
{
    const QWidget *w = screen->window();
    return w && w->property(ProgramEndingProperty).toBool();
}

} // namespace mizro::ui
