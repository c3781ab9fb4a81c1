#pragma once

#include <QImage>
#include <QSize>

#include "Validation.h"

// The validation's results drawn with QPainter: for each Reynolds number of the cavity, its u
// profile along the vertical centre line and its v profile along the horizontal one, ours per
// grid size as lines and Ghia's points as circles; and the Strouhal number against the
// Reynolds number, ours as dots (periodic runs only) and Roshko's fit as a curve.
QImage cavityPlot(const ValidationReport& report, int reynolds, QSize size = QSize(900, 420));
QImage strouhalPlot(const ValidationReport& report, QSize size = QSize(560, 420));
// Every cavity plot above the Strouhal plot, on one white image.
QImage validationPlot(const ValidationReport& report);
