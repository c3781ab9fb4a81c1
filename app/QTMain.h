#pragma once

#include <QMainWindow>
#include <memory>

#include "DisplaySettings.h"
#include "Recording.h"

class GLWidget;
class QActionGroup;
class QLabel;
class QDragEnterEvent;
class QDropEvent;
struct SceneDocument;

namespace Ui {
class QTMainClass;
}

// The main window: the settings panel of the form on the right, the fluid view on the left. Each
// control reaches the view through the slot named after it (on_<object>_<signal>), which reads the
// control's current state and calls one setter of the view. The menu bar holds every command,
// with the window-wide keys: files (scenes, recordings, pictures, fields), pause, rest, the grid,
// the corners, the outlines and the display modes; the status bar says what to do next.
class QTMain : public QMainWindow {
    Q_OBJECT

public:
    // gridSize: cells along each side of the fluid, one that Simulation offers.
    explicit QTMain(int gridSize = 100, QWidget* parent = nullptr,
                    Qt::WindowFlags flags = Qt::WindowFlags());
    ~QTMain() override;

    // Opens a scene file, or replays a recording file, chosen by the format the file names. A
    // file that cannot be read or opened changes nothing; the reason is shown in a dialog and
    // returned. Returns an empty string on success.
    QString openFile(const QString& path);
    // Replays a recording file; the same as openFile, but a file that is not a recording is
    // refused.
    QString replayFile(const QString& path);
    // Records from now until the window closes, then saves the recording to path; a failed save
    // is reported on stderr.
    void recordUntilClosed(const QString& path);

protected:
    void closeEvent(QCloseEvent* event) override;
    // A scene or recording file dropped on the window is opened.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

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
    // The menus' actions, with their keys: Ctrl+O, Ctrl+S, Ctrl+E, Ctrl+R, Ctrl+Q; P pause,
    // R rest, O outlines, Ctrl+Z and Esc for corners, F11 full screen; the grid sizes and the
    // display modes, kept in step with their boxes.
    void connectActions();
    void addChoiceActions();
    // Asks for a file name, proposing a time-stamped one in the Pictures folder, and saves the
    // view's picture there as a PNG.
    void savePicture();
    void openSceneDialog();
    // With or without the fields, as the dialog's filter chooses.
    void saveSceneDialog();
    void exportFieldDialog();
    void replayDialog();
    void toggleRecording();
    // Stops recording and asks where to save it, until it is saved or the user discards it.
    void saveRecording();
    bool writeRecording(const QString& path, const Recording& recording, QString& error);
    void openScene(const SceneDocument& document);
    void startReplay(Recording recording, const DisplaySettings& display);
    void replayFinished(const QString& verdict);
    // The panel shows the view's colouring, its fluid settings and its grid.
    DisplaySettings displaySettings() const;
    void showDisplaySettings(const DisplaySettings& settings);
    void showFluidSettings();
    // The fluid's controls are held off during a replay.
    void setFluidControlsEnabled(bool enabled);
    void warn(const QString& title, const QString& text);
    // The status bar's mark that shows while a recording runs.
    void showRecordingMark();

    // The form's widgets are children of the window; ui only points at them.
    std::unique_ptr<Ui::QTMainClass> ui;
    std::unique_ptr<GLWidget> glWidget;
    QActionGroup* gridActions = nullptr;
    QActionGroup* modeActions = nullptr;
    QLabel* recordingMark = nullptr;
    // The colouring when the recording started.
    DisplaySettings recordingDisplay;
    // Where a recording from the command line goes when the window closes; empty for none.
    QString recordPath;
};
