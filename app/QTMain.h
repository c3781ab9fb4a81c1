#pragma once

#include <QMainWindow>
#include <memory>

class GLWidget;

namespace Ui {
class QTMainClass;
}

// The main window: the settings panel of the form on the right, the fluid view on the left. Each
// control reaches the view through the slot named after it (on_<object>_<signal>), which reads the
// control's current state and calls one setter of the view. Window-wide keys pause, rest and
// save the fluid and edit the obstacle corners; the status bar says what to do next.
class QTMain : public QMainWindow {
    Q_OBJECT

public:
    // gridSize: cells along each side of the fluid, one that Simulation offers.
    explicit QTMain(int gridSize = 100, QWidget* parent = nullptr,
                    Qt::WindowFlags flags = Qt::WindowFlags());
    ~QTMain() override;

private slots:
    void on_ClrObs_clicked();
    void on_IsPositive_stateChanged(int);
    // Also enables LimitOver and IsPositive while Over is checked.
    void on_IsOver_stateChanged(int);
    void on_IsLog_stateChanged(int);
    void on_LimitOver_valueChanged(int);
    void on_LimitLight_valueChanged(int);
    void on_CoeffLog_valueChanged(int);
    void on_CoeffLin_valueChanged(int);
    void on_ColorSaturation_valueChanged(int);
    void on_HueColorB_valueChanged(int);
    void on_ComboBoxDisplay_currentIndexChanged(int);
    void on_HueColorA_valueChanged(int);
    void on_NumberIteration_valueChanged(int);
    void on_ViscosityValue_valueChanged(double);
    // Also enables ViscosityValue while viscosity is on.
    void on_viscosity_stateChanged(int);
    void on_Grid_currentIndexChanged(int);
    void on_Fade_valueChanged(double);

private:
    // P pause, R rest, O outlines, Ctrl+Z and Esc for corners, Ctrl+S save, F11 full screen.
    void addShortcuts();
    // Asks for a file name, proposing a time-stamped one in the Pictures folder, and saves the
    // view's picture there as a PNG.
    void savePicture();

    // The form's widgets are children of the window; ui only points at them.
    std::unique_ptr<Ui::QTMainClass> ui;
    std::unique_ptr<GLWidget> glWidget;
};
