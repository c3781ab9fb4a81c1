#include "SettingsPanel.h"

#include <QSignalBlocker>
#include <cmath>

#include "SimulationController.h"
#include "ui_QTMain.h"

namespace {

// The coefficient slider holds hundredths.
constexpr double kCoeffSliderScale = 100.0;

// The display combo box's items, in the order of the modes they stand for.
const char* const kModeNames[] = {"Vectors", "Velocity", "Vortex", "Dye"};

// What the speed is the speed of, for each flow; the closed box has none.
QString speedLabel(Flow flow) {
    return flow == Flow::DrivenCavity ? SettingsPanel::tr("Lid speed")
                                      : SettingsPanel::tr("Inflow speed");
}

}  // namespace

SettingsPanel::SettingsPanel(Ui::QTMainClass& ui_, SimulationController& controller_, int gridSize,
                             QObject* parent)
    : QObject(parent), ui(ui_), controller(controller_) {
    fillBoxes(gridSize);
    bindFluidControls();
    bindDisplayControls();
}

void SettingsPanel::fillBoxes(int gridSize) {
    // The item index is the display mode. Filled before the controls are bound, so nothing is
    // sent; the view starts with the Vortex picture that the box then shows.
    for (const char* name : kModeNames) {
        ui.ComboBoxDisplay->addItem(QString::fromLatin1(name));
    }
    ui.ComboBoxDisplay->setCurrentIndex(static_cast<int>(DisplayMode::Vortex));
    for (int size : SceneLimits::kGridSizes) {
        ui.Grid->addItem(tr("%1 x %1").arg(size), size);
    }
    ui.Grid->setCurrentIndex(ui.Grid->findData(gridSize));
    // The flows, in the order of Flow.
    for (const QString& name : {tr("Closed box"), tr("Wind tunnel"), tr("Driven cavity")}) {
        ui.Flow->addItem(name);
    }
    ui.FlowSpeed->setMaximum(SceneLimits::kMaxFlowSpeed);
    ui.Swirl->setMaximum(SceneLimits::kMaxSwirl);
    showFlow(controller.simulation().settings());
}

void SettingsPanel::showFlow(const FluidSettings& s) {
    ui.Flow->setCurrentIndex(static_cast<int>(s.flow));
    ui.FlowSpeed->setValue(s.flowSpeed);
    ui.FlowSpeed->setEnabled(s.flow != Flow::ClosedBox && ui.Flow->isEnabled());
    ui.statictextFlowSpeed->setText(speedLabel(s.flow));
    ui.Swirl->setValue(s.swirl);
}

void SettingsPanel::bindFluidControls() {
    // Each control becomes an operation; the controller is the connections' context, so that
    // none outlives it.
    SimulationController* c = &controller;
    connect(ui.viscosity, &QAbstractButton::toggled, ui.ViscosityValue, &QWidget::setEnabled);
    connect(ui.viscosity, &QAbstractButton::toggled, c,
            [c](bool on) { c->apply(Operation::viscosityEnabled(on)); });
    connect(
        ui.ViscosityValue, QOverload<double>::of(&QDoubleSpinBox::valueChanged), c,
        [c](double hundredths) { c->apply(Operation::viscosity(static_cast<float>(hundredths))); });
    connect(ui.NumberIteration, QOverload<int>::of(&QSpinBox::valueChanged), c,
            [c](int sweeps) { c->apply(Operation::iterations(sweeps)); });
    connect(ui.Grid, QOverload<int>::of(&QComboBox::currentIndexChanged), c,
            [this, c] { c->apply(Operation::gridSize(ui.Grid->currentData().toInt())); });
    connect(ui.Fade, QOverload<double>::of(&QDoubleSpinBox::valueChanged), c,
            [c](double perMille) { c->apply(Operation::fade(static_cast<float>(perMille))); });
    connect(ui.ClrObs, &QAbstractButton::clicked, c,
            [c] { c->apply(Operation::clearObstacles()); });
    connect(ui.Cylinder, &QAbstractButton::clicked, c, [c] { c->placeCylinder(); });
    connect(ui.Flow, QOverload<int>::of(&QComboBox::currentIndexChanged), c, [this, c](int k) {
        const Flow flow = static_cast<Flow>(k);
        ui.FlowSpeed->setEnabled(flow != Flow::ClosedBox && ui.Flow->isEnabled());
        ui.statictextFlowSpeed->setText(speedLabel(flow));
        c->apply(Operation::flow(flow));
    });
    connect(ui.FlowSpeed, QOverload<double>::of(&QDoubleSpinBox::valueChanged), c,
            [c](double speed) { c->apply(Operation::flowSpeed(static_cast<float>(speed))); });
    connect(ui.Swirl, QOverload<double>::of(&QDoubleSpinBox::valueChanged), c,
            [c](double swirl) { c->apply(Operation::swirl(static_cast<float>(swirl))); });
}

void SettingsPanel::bindDisplayControls() {
    const auto send = [this] { emit displaySettingsChanged(displaySettings()); };
    connect(ui.ComboBoxDisplay, QOverload<int>::of(&QComboBox::currentIndexChanged), this, send);
    for (QSlider* slider : {ui.HueColorA, ui.HueColorB, ui.ColorSaturation, ui.CoeffLin,
                            ui.LimitLight, ui.LimitOver}) {
        connect(slider, &QSlider::valueChanged, this, send);
    }
    connect(ui.IsOver, &QAbstractButton::toggled, this, [this, send](bool over) {
        send();
        ui.LimitOver->setEnabled(over);
        ui.IsPositive->setEnabled(over);
    });
    connect(ui.IsPositive, &QAbstractButton::toggled, this, send);
}

DisplaySettings SettingsPanel::displaySettings() const {
    DisplaySettings s;
    s.mode = static_cast<DisplayMode>(ui.ComboBoxDisplay->currentIndex());
    s.hueA = static_cast<std::uint8_t>(ui.HueColorA->value());
    s.hueB = static_cast<std::uint8_t>(ui.HueColorB->value());
    s.saturation = static_cast<std::uint8_t>(ui.ColorSaturation->value());
    s.coeffLin = static_cast<float>(ui.CoeffLin->value() / kCoeffSliderScale);
    s.limitLight = static_cast<std::uint8_t>(ui.LimitLight->value());
    s.limitOver = static_cast<std::uint8_t>(ui.LimitOver->value());
    s.isOver = ui.IsOver->isChecked();
    s.isPositive = ui.IsPositive->isChecked();
    return s;
}

void SettingsPanel::showDisplaySettings(const DisplaySettings& d) {
    // Each control sends the colouring as it changes; the last one sends all of it.
    ui.ComboBoxDisplay->setCurrentIndex(static_cast<int>(d.mode));
    ui.HueColorA->setValue(d.hueA);
    ui.HueColorB->setValue(d.hueB);
    ui.ColorSaturation->setValue(d.saturation);
    ui.CoeffLin->setValue(static_cast<int>(std::lround(d.coeffLin * kCoeffSliderScale)));
    ui.LimitLight->setValue(d.limitLight);
    ui.LimitOver->setValue(d.limitOver);
    ui.IsOver->setChecked(d.isOver);
    ui.IsPositive->setChecked(d.isPositive);
    emit displaySettingsChanged(displaySettings());
}

void SettingsPanel::showFluidSettings() {
    // The simulation has the settings already: the controls only show them. The grid box is not
    // held: choosing the grid the simulation has changes nothing, and its menu follows it.
    const FluidSettings s = controller.simulation().settings();
    const QSignalBlocker viscosity(ui.viscosity), value(ui.ViscosityValue),
        iterations(ui.NumberIteration), fade(ui.Fade), flow(ui.Flow), speed(ui.FlowSpeed),
        swirl(ui.Swirl);
    ui.viscosity->setChecked(s.viscosityEnabled);
    ui.ViscosityValue->setValue(s.viscosityHundredths);
    ui.ViscosityValue->setEnabled(s.viscosityEnabled && ui.viscosity->isEnabled());
    ui.NumberIteration->setValue(s.iterations);
    ui.Fade->setValue(s.fadePerMille);
    showFlow(s);
    ui.Grid->setCurrentIndex(ui.Grid->findData(controller.simulation().gridSize()));
}

void SettingsPanel::setFluidControlsEnabled(bool enabled) {
    for (QWidget* control :
         std::initializer_list<QWidget*>{ui.viscosity, ui.NumberIteration, ui.Grid, ui.Fade,
                                         ui.ClrObs, ui.Cylinder, ui.Flow, ui.Swirl}) {
        control->setEnabled(enabled);
    }
    ui.ViscosityValue->setEnabled(enabled && ui.viscosity->isChecked());
    ui.FlowSpeed->setEnabled(enabled && ui.Flow->currentIndex() != 0);
}
