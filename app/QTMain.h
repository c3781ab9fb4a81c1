#pragma once

#include <QMainWindow>
#include <memory>

#include "DisplaySettings.h"
#include "Scene.h"
#include "SimulationController.h"

class GLWidget;
class QLabel;
class QDragEnterEvent;
class QDropEvent;
class SettingsPanel;
struct RecordingDocument;
struct SceneDocument;

namespace Ui {
class QTMainClass;
}

// The main window: the fluid view on the left, the settings panel of the form on the right, the
// step-time read-out under the view, and the menu bar, which holds every command with its key:
// files (scenes, recordings, pictures, fields), pause, rest, the grid, the corners, the outlines
// and the display modes. The controller owns the fluid; the window builds the pieces, wires them,
// asks for files and says on the status bar what happened.
class QTMain : public QMainWindow {
    Q_OBJECT

public:
    // gridSize: cells along each side of the fluid, one on offer (SceneLimits).
    explicit QTMain(int gridSize = SceneLimits::kDefaultGridSize, QWidget* parent = nullptr,
                    Qt::WindowFlags flags = Qt::WindowFlags());
    ~QTMain() override;

    // Opens a scene file, or replays a recording file, as the format the file names says. A
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

private:
    // The controller's news on the status bar, the read-out and the panel.
    void connectController();
    // The menus' actions, with their keys: Ctrl+O, Ctrl+S, Ctrl+E, Ctrl+R, Ctrl+Q; P pause,
    // R rest, O outlines, Ctrl+Z and Esc for corners, F11 full screen.
    void connectActions();
    // File > New: a scene of each flow (newScene), opened as a scene file would be.
    void addNewSceneActions();
    // Asks for a file name, proposing a time-stamped one in the Pictures folder, and saves the
    // view's picture there as a PNG.
    void savePicture();
    void openSceneDialog();
    // With or without the fields, as the type chosen in the dialog says.
    void saveSceneDialog();
    void exportFieldDialog();
    void replayDialog();
    void toggleRecording();
    void startRecording();
    // Stops recording and asks where to save it, until it is saved or the user discards it.
    void saveRecording();
    bool writeRecording(const QString& path, const Recording& recording, QString& error);
    void openScene(const SceneDocument& document);
    // An empty string, or why the recording cannot start.
    QString startReplay(RecordingDocument document);
    void replayFinished(const QString& verdict);
    // During a replay the fluid's controls and the menu commands that change the fluid are held
    // off.
    void holdFluidControls(bool held);
    void warn(const QString& title, const QString& text);
    // The status bar's mark that shows while a recording runs.
    void showRecordingMark();

    // The form's widgets are children of the window; ui only points at them.
    std::unique_ptr<Ui::QTMainClass> ui;
    // A child of the window, made first and so deleted after the view, which is a member.
    SimulationController& controller;
    std::unique_ptr<GLWidget> glWidget;
    SettingsPanel* panel = nullptr;
    QLabel* recordingMark = nullptr;
    // The colouring when the recording started.
    DisplaySettings recordingDisplay;
    // Where a recording from the command line goes when the window closes; empty for none.
    QString recordPath;
};
