#include "QTMain.h"

#include <QSignalBlocker>

#include "GLWidget.h"

namespace {

// The coefficient sliders hold hundredths.
constexpr double kCoeffSliderScale = 100.0;

float sliderCoefficient(int value) { return static_cast<float>(value / kCoeffSliderScale); }

}  // namespace

QTMain::QTMain(QWidget* parent, Qt::WindowFlags flags) : QMainWindow(parent, flags) {
    // setupUi sets every default before it connects the slots, so it sends nothing to the view.
    ui.setupUi(this);
    resize(size().expandedTo(minimumSizeHint()));

    glWidget = new GLWidget(this, ui.ComputeTime);
    ui.hboxLayout->addWidget(glWidget);

    // The item index is the display mode. The first item added would select itself and send
    // mode 0; only the selection below reaches the view.
    {
        const QSignalBlocker blocker(ui.ComboBoxDisplay);
        ui.ComboBoxDisplay->addItem(QString("Vectors"));
        ui.ComboBoxDisplay->addItem(QString("Velocity"));
        ui.ComboBoxDisplay->addItem(QString("Vortex"));
    }
    // Through on_ComboBoxDisplay_currentIndexChanged the view starts in Vortex mode.
    ui.ComboBoxDisplay->setCurrentIndex(2);
}

QTMain::~QTMain() { delete glWidget; }

void QTMain::on_ClrObs_clicked() { glWidget->clearObstacles(); }

void QTMain::on_IsPositive_stateChanged(int) { glWidget->setIsPositive(ui.IsPositive->isChecked()); }

void QTMain::on_IsOver_stateChanged(int) {
    const bool over = ui.IsOver->isChecked();
    glWidget->setIsOver(over);
    ui.LimitOver->setEnabled(over);
    ui.IsPositive->setEnabled(over);
}

void QTMain::on_IsLog_stateChanged(int) { glWidget->setIsLog(ui.IsLog->isChecked()); }

void QTMain::on_LimitOver_valueChanged(int) { glWidget->setLimitOver(ui.LimitOver->value()); }

void QTMain::on_LimitLight_valueChanged(int) { glWidget->setLimitLight(ui.LimitLight->value()); }

void QTMain::on_CoeffLog_valueChanged(int) {
    glWidget->setCoeffLog(sliderCoefficient(ui.CoeffLog->value()));
}

void QTMain::on_CoeffLin_valueChanged(int) {
    glWidget->setCoeffLin(sliderCoefficient(ui.CoeffLin->value()));
}

void QTMain::on_ColorSaturation_valueChanged(int) {
    glWidget->setColorSaturation(ui.ColorSaturation->value());
}

void QTMain::on_HueColorB_valueChanged(int) { glWidget->setHueColorB(ui.HueColorB->value()); }

void QTMain::on_ComboBoxDisplay_currentIndexChanged(int) {
    glWidget->setDisplayMode(ui.ComboBoxDisplay->currentIndex());
}

void QTMain::on_HueColorA_valueChanged(int) { glWidget->setHueColorA(ui.HueColorA->value()); }

void QTMain::on_NumberIteration_valueChanged(int) {
    glWidget->setNumberIteration(ui.NumberIteration->value());
}

void QTMain::on_ViscosityValue_valueChanged(double) {
    glWidget->setViscosityValue(static_cast<float>(ui.ViscosityValue->value()));
}

void QTMain::on_viscosity_stateChanged(int) {
    const bool enabled = ui.viscosity->isChecked();
    ui.ViscosityValue->setEnabled(enabled);
    glWidget->setViscosityEnabled(enabled);
}
