#include "ValidationPlot.h"

#include <QPainter>
#include <QPainterPath>
#include <QString>
#include <algorithm>
#include <cmath>
#include <set>

#include "GhiaData.h"

namespace {

// A chart: a data rectangle mapped onto a pixel rectangle, y upward.
struct Chart {
    QRectF pixels;
    double x0, x1, y0, y1;

    QPointF at(double x, double y) const {
        return QPointF(pixels.left() + (x - x0) / (x1 - x0) * pixels.width(),
                       pixels.bottom() - (y - y0) / (y1 - y0) * pixels.height());
    }
};

const QColor kGridColours[] = {QColor(31, 119, 180), QColor(44, 160, 44), QColor(214, 39, 40),
                               QColor(148, 103, 189)};

// The frame, ticks at every step and the title and axis names.
void drawAxes(QPainter& p, const Chart& c, double xStep, double yStep, const QString& title,
              const QString& xName, const QString& yName) {
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(c.pixels);
    const QFontMetrics metrics = p.fontMetrics();
    // Ticks counted rather than summed, so that no rounding error shows in a label.
    const auto label = [](double value, double step) {
        return QString::number(std::fabs(value) < 1e-6 * step ? 0.0 : value, 'f',
                               step >= 1.0 ? 0 : 2);
    };
    for (int k = 0; c.x0 + k * xStep <= c.x1 + 1e-9 * xStep; ++k) {
        const double x = c.x0 + k * xStep;
        const QPointF t = c.at(x, c.y0);
        p.drawLine(t, t - QPointF(0, 4));
        const QString text = label(x, xStep);
        p.drawText(QPointF(t.x() - metrics.horizontalAdvance(text) / 2.0, t.y() + 14), text);
    }
    for (int k = 0; c.y0 + k * yStep <= c.y1 + 1e-9 * yStep; ++k) {
        const double y = c.y0 + k * yStep;
        const QPointF t = c.at(c.x0, y);
        p.drawLine(t, t + QPointF(4, 0));
        const QString text = label(y, yStep);
        p.drawText(QPointF(t.x() - metrics.horizontalAdvance(text) - 4, t.y() + 4), text);
    }
    p.drawText(QPointF(c.pixels.left(), c.pixels.top() - 8), title);
    p.drawText(QPointF(c.pixels.center().x() - metrics.horizontalAdvance(xName) / 2.0,
                       c.pixels.bottom() + 30),
               xName);
    p.drawText(QPointF(c.pixels.left() - 44, c.pixels.top() + 12), yName);
}

void drawCircle(QPainter& p, QPointF centre) {
    p.drawEllipse(centre, 3.5, 3.5);
}

// One line per grid size, from samples (position, value) drawn as (x, y) by place.
template <typename Place>
void drawRuns(QPainter& p, const ValidationReport& report, int reynolds, bool horizontal,
              Place place) {
    int colour = 0;
    for (const CavityResult& r : report.cavity) {
        if (r.reynolds != reynolds) {
            continue;
        }
        QPainterPath path;
        const std::vector<ProfileSample>& line = horizontal ? r.vLine : r.uLine;
        for (std::size_t k = 0; k < line.size(); ++k) {
            const QPointF point = place(line[k].position, line[k].value);
            if (k == 0) {
                path.moveTo(point);
            } else {
                path.lineTo(point);
            }
        }
        p.setPen(QPen(kGridColours[colour % 4], 1.5));
        p.drawPath(path);
        ++colour;
    }
}

void drawLegend(QPainter& p, const ValidationReport& report, int reynolds, QPointF corner) {
    int row = 0;
    for (const CavityResult& r : report.cavity) {
        if (r.reynolds != reynolds) {
            continue;
        }
        const QPointF at = corner + QPointF(0, 16 * row);
        p.setPen(QPen(kGridColours[row % 4], 2));
        p.drawLine(at, at + QPointF(20, 0));
        p.setPen(Qt::black);
        p.drawText(at + QPointF(26, 4),
                   QString("%1 x %1, RMS %2").arg(r.gridSize).arg(r.rms, 0, 'f', 4));
        ++row;
    }
    const QPointF at = corner + QPointF(10, 16 * row);
    p.setBrush(Qt::NoBrush);
    drawCircle(p, at);
    p.drawText(at + QPointF(16, 4), "Ghia, Ghia & Shin (1982)");
}

}  // namespace

QImage cavityPlot(const ValidationReport& report, int reynolds, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double w = size.width();
    const double h = size.height();
    const double uLow = reynolds == 100 ? -0.4 : -0.6;
    const double vLow = reynolds == 100 ? -0.4 : -0.6;
    const Chart uChart{QRectF(60, 40, w / 2 - 100, h - 100), uLow, 1.0, 0.0, 1.0};
    const Chart vChart{QRectF(w / 2 + 60, 40, w / 2 - 100, h - 100), 0.0, 1.0, vLow, 0.6};
    drawAxes(p, uChart, 0.2, 0.2, QString("Driven cavity, Re = %1: u on x = 0.5").arg(reynolds),
             "u", "y");
    drawAxes(p, vChart, 0.2, 0.2, QString("v on y = 0.5"), "x", "v");
    // u is drawn across, against the height y.
    drawRuns(p, report, reynolds, false, [&](double y, double u) { return uChart.at(u, y); });
    drawRuns(p, report, reynolds, true, [&](double x, double v) { return vChart.at(x, v); });
    p.setPen(QPen(Qt::black, 1.2));
    p.setBrush(Qt::NoBrush);
    const double* us = reynolds == 100 ? ghia::kU100 : ghia::kU1000;
    const double* vs = reynolds == 100 ? ghia::kV100 : ghia::kV1000;
    for (int k = 0; k < ghia::kPoints; ++k) {
        drawCircle(p, uChart.at(us[k], ghia::kY[k]));
        drawCircle(p, vChart.at(ghia::kX[k], vs[k]));
    }
    drawLegend(p, report, reynolds, uChart.pixels.topLeft() + QPointF(12, 20));
    return image;
}

QImage strouhalPlot(const ValidationReport& report, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    double highest = 200.0;
    for (const SheddingResult& r : report.shedding) {
        highest = std::max(highest, r.reynolds);
    }
    const double x1 = highest <= 200.0 ? 200.0 : 200.0 * static_cast<int>((highest + 199) / 200);
    const Chart c{QRectF(60, 40, size.width() - 90, size.height() - 100), 0.0, x1, 0.0, 0.3};
    drawAxes(p, c, x1 / 5, 0.05, "Cylinder: Strouhal number against Reynolds number", "Re", "St");
    // Roshko's fit over the range it was made for and beyond (dashed), then about 0.2.
    QPainterPath fit;
    QPainterPath beyond;
    for (double re = 50.0; re <= x1; re += 1.0) {
        const QPointF point = c.at(re, 0.212 * (1.0 - 21.2 / re));
        QPainterPath& path = re <= 150.0 ? fit : beyond;
        if (path.elementCount() == 0) {
            path.moveTo(point);
        } else {
            path.lineTo(point);
        }
    }
    p.setPen(QPen(Qt::black, 1.5));
    p.drawPath(fit);
    p.setPen(QPen(Qt::black, 1.0, Qt::DashLine));
    p.drawPath(beyond);
    p.setPen(QPen(kGridColours[2], 1.5));
    p.setBrush(kGridColours[2]);
    for (const SheddingResult& r : report.shedding) {
        if (r.periodic) {
            drawCircle(p, c.at(r.reynolds, r.strouhal));
        } else {
            // Not periodic: a cross on the axis.
            const QPointF at = c.at(r.reynolds, 0.0);
            p.drawLine(at + QPointF(-4, -4), at + QPointF(4, 4));
            p.drawLine(at + QPointF(-4, 4), at + QPointF(4, -4));
        }
    }
    p.setPen(Qt::black);
    p.drawText(c.pixels.topLeft() + QPointF(12, 20),
               "line: Roshko 0.212 (1 - 21.2 / Re), dashed past Re 150");
    p.drawText(c.pixels.topLeft() + QPointF(12, 36),
               "dots: ours (nominal Re); crosses: no periodic shedding");
    return image;
}

QImage validationPlot(const ValidationReport& report) {
    std::set<int> reynolds;
    for (const CavityResult& r : report.cavity) {
        reynolds.insert(r.reynolds);
    }
    std::vector<QImage> parts;
    for (int re : reynolds) {
        parts.push_back(cavityPlot(report, re));
    }
    if (!report.shedding.empty()) {
        parts.push_back(strouhalPlot(report));
    }
    int width = 1;
    int height = 1;
    for (const QImage& part : parts) {
        width = std::max(width, part.width());
        height += part.height();
    }
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    int y = 0;
    for (const QImage& part : parts) {
        p.drawImage(0, y, part);
        y += part.height();
    }
    return image;
}
