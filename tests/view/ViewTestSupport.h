#pragma once

// Helpers shared by the GLWidget tests: a shown view of a controller whose timer is muted, so
// that the test decides when the loop turns, and real mouse events.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QThread>
#include <QTimer>
#include <QtTest/QtTest>

#include "FluidSolver.h"
#include "FluidTestSupport.h"
#include "GLWidget.h"
#include "SimulationController.h"

namespace viewtest {

// The view's step gate lets a step through once more than 15 ms have passed; sleeping this long
// guarantees that the next Advance steps.
constexpr unsigned long kPastGateMs = 17;

// A tick sets the controller's timer again every time it runs; with the timer's signal blocked
// it still runs but never reaches tick.
inline void muteTimer(SimulationController& controller) {
    QTimer* timer = controller.findChild<QTimer*>();
    ASSERT_NE(timer, nullptr);
    timer->blockSignals(true);
}

inline void waitPastGate() {
    QThread::msleep(kPastGateMs);
}

// A move event as Qt delivers it during a drag; QTest::mouseMove carries no buttons.
inline void dragTo(GLWidget& view, QPoint pos, Qt::MouseButtons buttons = Qt::LeftButton) {
    QMouseEvent event(QEvent::MouseMove, pos, view.mapToGlobal(pos), Qt::NoButton, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(&view, &event);
}

inline void release(GLWidget& view, Qt::MouseButton button, QPoint pos) {
    QTest::mouseRelease(&view, button, Qt::NoModifier, pos);
}

// Pixel of the top-left corner region of cell c (c * 6.4 rounded up).
inline int pixelOf(int cell) {
    return (cell * 640 + 99) / 100;
}

inline void rightClickCell(GLWidget& view, int i, int j) {
    QTest::mouseClick(&view, Qt::RightButton, Qt::NoModifier, QPoint(pixelOf(i), pixelOf(j)));
}

inline void middleClick(GLWidget& view) {
    QTest::mouseClick(&view, Qt::MiddleButton, Qt::NoModifier, QPoint(300, 300));
}

// Counts the events of one type that reach an object.
class EventCounter : public QObject {
public:
    explicit EventCounter(QEvent::Type type_) : type(type_) {}
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == type) {
            ++count;
        }
        return false;
    }

private:
    QEvent::Type type;
};

// A view of 641 x 641 pixels, shown, with its controller's timer muted, and a stroke along its
// middle row.
class ShownViewTest : public testing::Test {
protected:
    SimulationController controller;
    GLWidget view{nullptr, controller};

    void SetUp() override {
        muteTimer(controller);
        view.resize(641, 641);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    }

    void advance() { controller.tick(); }
    const FluidSolver& solver() const { return controller.simulation().fluidSolver(); }
    int cornerCount() const { return static_cast<int>(controller.simulation().corners().size()); }
    // The colouring changed as the panel changes it: one setting, the rest kept.
    template <typename Change>
    void changeSettings(Change change) {
        DisplaySettings s = view.displaySettings();
        change(s);
        view.setDisplaySettings(s);
    }
    void setMode(DisplayMode mode) {
        changeSettings([mode](DisplaySettings& s) { s.mode = mode; });
    }

    // A left-to-right stroke along the middle row, a step after every move, so that no picture
    // is black.
    void stir() {
        QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, QPoint(100, 320));
        for (int x = 120; x <= 540; x += 20) {
            waitPastGate();
            dragTo(view, QPoint(x, 320));
        }
        release(view, Qt::LeftButton, QPoint(540, 320));
    }
};

// The same solver as the simulation's, to replay what the view should have done.
inline FluidSolver referenceSolver() {
    return FluidSolver(100, 100, 0.001f, 0.01f, 20);
}

inline testing::AssertionResult sameVelocity(const FluidSolver& actual,
                                             const FluidSolver& expected) {
    const VectorField& a = actual.velocityField();
    const VectorField& e = expected.velocityField();
    for (int j = 0; j < a.height; ++j) {
        for (int i = 0; i < a.width; ++i) {
            const Vec2 va = a.at(i, j);
            const Vec2 ve = e.at(i, j);
            if (va.x != ve.x || va.y != ve.y) {
                return testing::AssertionFailure()
                       << "cell (" << i << ", " << j << ") is (" << va.x << ", " << va.y
                       << "), expected (" << ve.x << ", " << ve.y << ")";
            }
        }
    }
    return testing::AssertionSuccess();
}

inline bool atRest(const FluidSolver& solver) {
    return fluidtest::atRest(solver.velocityField());
}

// Whether two obstacles have the same outline records and interior cells, in the same order.
inline testing::AssertionResult sameObstacle(const Obstacle& a, const Obstacle& b) {
    const auto same = [](Vec2 p, Vec2 q) { return p.x == q.x && p.y == q.y; };
    if (a.boundaryCells.size() != b.boundaryCells.size() ||
        a.interiorCells.size() != b.interiorCells.size()) {
        return testing::AssertionFailure() << "different numbers of cells";
    }
    for (std::size_t k = 0; k < a.boundaryCells.size(); ++k) {
        const BoundaryCell& r = a.boundaryCells[k];
        const BoundaryCell& s = b.boundaryCells[k];
        if (!same(r.cell, s.cell) || !same(r.tangent, s.tangent) ||
            !same(r.neighbour, s.neighbour)) {
            return testing::AssertionFailure() << "outline record " << k << " differs";
        }
    }
    for (std::size_t k = 0; k < a.interiorCells.size(); ++k) {
        if (!same(a.interiorCells[k], b.interiorCells[k])) {
            return testing::AssertionFailure() << "interior cell " << k << " differs";
        }
    }
    return testing::AssertionSuccess();
}

}  // namespace viewtest
