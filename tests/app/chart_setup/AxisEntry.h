// Typing an axis into the set-up dialog: its scale mode and four boxes.
#pragma once

#include "PLOT_Setup.h"

#include <QLineEdit>
#include <QRadioButton>

namespace kx::test {

inline void SetAxis(chart_setup::PLOT_Setup* d, char axis, int mode, const char* max, const char* min,
                    const char* major = "5", const char* minor = "2") {
    const bool x = axis == 'X';
    d->Option(x ? 13 + mode : 18 - mode)->setChecked(true);
    d->Text(x ? 2 : 9)->setText(max);
    d->Text(x ? 3 : 8)->setText(min);
    d->Text(x ? 4 : 7)->setText(major);
    d->Text(x ? 5 : 6)->setText(minor);
}

}  // namespace kx::test
