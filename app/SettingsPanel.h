#pragma once

#include <QObject>

#include "DisplaySettings.h"
#include "Scene.h"

class SimulationController;

namespace Ui {
class QTMainClass;
}

// The settings panel of the form, bound to its controls by explicit connections: the fluid's
// controls (viscosity, its value in hundredths, the sweeps, the grid, the flow, its speed, the
// swirl, the fade, Clear Obstacles, Cylinder)
// become operations on the controller; the colouring's controls become one DisplaySettings,
// sent whole whenever any of them changes. The logarithmic controls stay disabled and unbound.
class SettingsPanel : public QObject {
    Q_OBJECT

public:
    // Fills the boxes (the display modes, the grid sizes with gridSize selected), selects the
    // Vortex picture and binds the controls; nothing reaches the controller until the user acts.
    SettingsPanel(Ui::QTMainClass& ui, SimulationController& controller, int gridSize,
                  QObject* parent);

    // The colouring the controls show.
    DisplaySettings displaySettings() const;
    // Shows a colouring on the controls; displaySettingsChanged follows.
    void showDisplaySettings(const DisplaySettings& settings);
    // Shows the simulation's settings and grid on the controls, sending nothing.
    void showFluidSettings();
    // The fluid's controls are held off during a replay.
    void setFluidControlsEnabled(bool enabled);

signals:
    void displaySettingsChanged(const DisplaySettings& settings);

private:
    void fillBoxes(int gridSize);
    // The flow, its speed (named for what it is the speed of) and the swirl, sending nothing.
    void showFlow(const FluidSettings& settings);
    void bindFluidControls();
    void bindDisplayControls();

    Ui::QTMainClass& ui;
    SimulationController& controller;
};
