#include "QTMain.h"

#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QUrl>
#include <cstdio>

#include "FileDialogs.h"
#include "FileFormat.h"
#include "GLWidget.h"
#include "MenuMirror.h"
#include "RecordingFile.h"
#include "SceneFile.h"
#include "SettingsPanel.h"
#include "VelocityExport.h"
#include "ViewPainter.h"
#include "ui_QTMain.h"

namespace {

const QString kSceneSuffix = QLatin1String(FileFormat::kSceneSuffix);
const QString kRecordingSuffix = QLatin1String(FileFormat::kRecordingSuffix);

// A step takes a fraction of a millisecond: shown to a hundredth, so that the read-out says
// more than 0. Five digits hold up to 99.99 this way, and whole milliseconds above.
QString stepTimeText(qint64 nanoseconds) {
    const double ms = static_cast<double>(nanoseconds) / 1e6;
    return QString::number(ms, 'f', ms < 100.0 ? 2 : 0);
}

QString documents() {
    return FileDialogs::userFolder(QStandardPaths::DocumentsLocation);
}

}  // namespace

QTMain::QTMain(int gridSize, QWidget* parent, Qt::WindowFlags flags)
    : QMainWindow(parent, flags),
      ui(std::make_unique<Ui::QTMainClass>()),
      controller(*new SimulationController(gridSize, this)) {
    ui->setupUi(this);
    setAcceptDrops(true);
    // The window opens at the smallest size that gives the view 641 x 641 pixels, whatever the
    // style makes of the status bar; the view then grows and shrinks with the window.
    const QSize smallestView = ui->horizontalLayout->minimumSize();
    ui->horizontalLayout->setMinimumSize(ViewPainter::kViewPixels, ViewPainter::kViewPixels);
    resize(minimumSizeHint());
    ui->horizontalLayout->setMinimumSize(smallestView);

    glWidget = std::make_unique<GLWidget>(this, controller);
    ui->hboxLayout->addWidget(glWidget.get());
    panel = new SettingsPanel(*ui, controller, gridSize, this);
    connect(panel, &SettingsPanel::displaySettingsChanged, glWidget.get(),
            &GLWidget::setDisplaySettings);
    new MenuMirror(ui->Grid, ui->menuGrid);
    new MenuMirror(ui->ComboBoxDisplay, ui->menuView);
    new MenuMirror(ui->Flow, ui->menuFlow);
    addNewSceneActions();
    connectController();
    connectActions();

    recordingMark = new QLabel(tr("Recording"), this);
    recordingMark->setStyleSheet(QStringLiteral("color: #c00000; font-weight: bold"));
    ui->statusBar->addPermanentWidget(recordingMark);
    recordingMark->hide();
    // The keys work from the start, and clicking the view takes them back from a spin box.
    glWidget->setFocusPolicy(Qt::ClickFocus);
    glWidget->setFocus();
    ui->statusBar->showMessage(
        tr("Drag to stir; right-click corners, middle-click closes them. P pause, R rest, "
           "O outlines, Ctrl+Z/Esc corners; the menus hold every key"));
}

QTMain::~QTMain() = default;

void QTMain::connectController() {
    connect(&controller, &SimulationController::statusMessage, this,
            [this](const QString& text) { ui->statusBar->showMessage(text); });
    connect(&controller, &SimulationController::stepTimed, this,
            [this](qint64 nanoseconds) { ui->ComputeTime->display(stepTimeText(nanoseconds)); });
    connect(&controller, &SimulationController::replayProgress, this,
            [this](long long step, long long n) {
                ui->statusBar->showMessage(tr("Replay: step %1 of %2, P pauses").arg(step).arg(n));
            });
    connect(&controller, &SimulationController::replayFinished, this, &QTMain::replayFinished);
    connect(&controller, &SimulationController::recordingFilled, this, [this] {
        if (recordPath.isEmpty()) {
            saveRecording();  // as long as a recording can be: saved now
        }
        ui->statusBar->showMessage(
            tr("The recording is as long as a recording can be: it "
               "keeps what it has"));
    });
    connect(&controller, &SimulationController::fluidSettingsChanged, panel,
            &SettingsPanel::showFluidSettings);
}

void QTMain::connectActions() {
    const auto onAction = [this](QAction* action, auto slot) {
        connect(action, &QAction::triggered, this, slot);
    };
    onAction(ui->actionOpenScene, [this] { openSceneDialog(); });
    onAction(ui->actionSaveScene, [this] { saveSceneDialog(); });
    onAction(ui->actionExportPicture, [this] { savePicture(); });
    onAction(ui->actionExportField, [this] { exportFieldDialog(); });
    onAction(ui->actionRecord, [this] { toggleRecording(); });
    onAction(ui->actionReplay, [this] { replayDialog(); });
    onAction(ui->actionQuit, [this] { close(); });
    onAction(ui->actionPause, [this] {
        controller.setPaused(!controller.isPaused());
        ui->actionPause->setChecked(controller.isPaused());
    });
    onAction(ui->actionRest, [this] { controller.apply(Operation::rest()); });
    onAction(ui->actionRemoveLastCorner,
             [this] { controller.apply(Operation::removeLastCorner()); });
    onAction(ui->actionDiscardCorners, [this] { controller.apply(Operation::discardCorners()); });
    onAction(ui->actionClearObstacles, [this] { controller.apply(Operation::clearObstacles()); });
    onAction(ui->actionCylinder, [this] { controller.placeCylinder(); });
    onAction(ui->actionOutlines, [this] {
        const bool visible = !glWidget->isOverlayVisible();
        glWidget->setOverlayVisible(visible);
        ui->actionOutlines->setChecked(visible);
        ui->statusBar->showMessage(visible ? tr("Outlines shown: O hides them")
                                           : tr("Outlines hidden: O shows them"));
    });
    onAction(ui->actionFullScreen, [this] {
        isFullScreen() ? showNormal() : showFullScreen();
        ui->actionFullScreen->setChecked(isFullScreen());
    });
}

void QTMain::addNewSceneActions() {
    const struct {
        QString name;
        Flow flow;
    } presets[] = {{tr("&Closed Box"), Flow::ClosedBox},
                   {tr("&Wind Tunnel with a Cylinder"), Flow::WindTunnel},
                   {tr("&Driven Cavity"), Flow::DrivenCavity}};
    for (const auto& preset : presets) {
        const Flow flow = preset.flow;
        connect(ui->menuNew->addAction(preset.name), &QAction::triggered, this, [this, flow] {
            if (controller.isRecording()) {
                warn(tr("New"), tr("Stop the recording (Ctrl+R) before starting a new scene."));
                return;
            }
            // The tunnel's streaks of dye show its flow best.
            DisplaySettings display = glWidget->displaySettings();
            display.mode = flow == Flow::WindTunnel ? DisplayMode::Dye : display.mode;
            openScene(SceneDocument{newScene(flow), display});
        });
    }
}

void QTMain::savePicture() {
    // The picture of the moment the user asked, before the dialog opens and the fluid moves on.
    const QImage picture = glWidget->picture();
    const QString path = FileDialogs::askSavePath(
        this, tr("Export Picture"), FileDialogs::userFolder(QStandardPaths::PicturesLocation),
        FileDialogs::timeStampedName(QStringLiteral("png")), {tr("PNG images (*.png)")});
    if (path.isEmpty()) {
        ui->statusBar->showMessage(tr("Picture not saved"));
        return;
    }
    const QString shown = QDir::toNativeSeparators(path);
    ui->statusBar->showMessage(picture.save(path, "PNG")
                                   ? tr("Picture saved to %1").arg(shown)
                                   : tr("Could not save the picture to %1").arg(shown));
}

void QTMain::warn(const QString& title, const QString& text) {
    ui->statusBar->showMessage(text);
    QMessageBox::warning(this, title, text);
}

QString QTMain::openFile(const QString& path) {
    if (FileFormat::sniff(path) == FileFormat::Kind::Recording) {
        return replayFile(path);
    }
    QString error;
    SceneDocument document;
    if (controller.isRecording()) {
        error = tr("Stop the recording (Ctrl+R) before opening a scene.");
    } else if (SceneFile::read(path, document, error)) {
        openScene(document);
        ui->statusBar->showMessage(
            tr("Opened %1").arg(QDir::toNativeSeparators(QFileInfo(path).fileName())));
        return QString();
    }
    warn(tr("Open"), error);
    return error;
}

void QTMain::openSceneDialog() {
    const QString path =
        FileDialogs::askOpenPath(this, tr("Open Scene"),
                                 tr("Scenes and recordings (*.%1 *.%2 *.json);;All files (*)")
                                     .arg(kSceneSuffix, kRecordingSuffix));
    if (!path.isEmpty()) {
        openFile(path);
    }
}

void QTMain::openScene(const SceneDocument& document) {
    const QString problem = controller.openScene(document.scene);
    if (!problem.isEmpty()) {
        // The reader checks what the simulation checks; this is for a scene that got past it.
        warn(tr("Open Scene"), problem);
        return;
    }
    panel->showDisplaySettings(document.display);
    holdFluidControls(false);
}

void QTMain::saveSceneDialog() {
    // The two types the dialog offers, by their place in the list: with the fields first.
    const QStringList types = {
        tr("Scene with the fluid's motion and dye (*.%1)").arg(kSceneSuffix),
        tr("Scene of obstacles and settings, the fluid at rest (*.%1)").arg(kSceneSuffix)};
    // The scene of the moment the user asked.
    controller.projectPushes();
    SceneDocument document{controller.simulation().scene(true), glWidget->displaySettings()};
    int chosen = 0;
    const QString path =
        FileDialogs::askSavePath(this, tr("Save Scene"), documents(),
                                 FileDialogs::timeStampedName(kSceneSuffix), types, &chosen);
    if (path.isEmpty()) {
        ui->statusBar->showMessage(tr("Scene not saved"));
        return;
    }
    if (chosen == 1) {
        document.scene.hasFields = false;
        document.scene.fields = SceneFields();
    }
    QString error;
    if (SceneFile::write(path, document, error)) {
        ui->statusBar->showMessage(tr("Scene saved to %1").arg(QDir::toNativeSeparators(path)));
    } else {
        warn(tr("Save Scene"), error);
    }
}

void QTMain::exportFieldDialog() {
    // The field of the moment the user asked, before the dialog opens and the fluid moves on.
    const VectorField& velocity = controller.simulation().fluidSolver().velocity;
    const std::vector<Vec2> field = velocity.data;
    const int width = velocity.width;
    const int height = velocity.height;
    const QString path = FileDialogs::askSavePath(
        this, tr("Export Field"), documents(), FileDialogs::timeStampedName(QStringLiteral("npy")),
        {tr("NumPy arrays (*.npy)"), tr("CSV tables (*.csv)")});
    if (path.isEmpty()) {
        ui->statusBar->showMessage(tr("Field not exported"));
        return;
    }
    QString error;
    if (VelocityExport::write(path, field, width, height, error)) {
        ui->statusBar->showMessage(
            tr("Velocity field exported to %1").arg(QDir::toNativeSeparators(path)));
    } else {
        warn(tr("Export Field"), error);
    }
}

void QTMain::toggleRecording() {
    if (controller.isRecording()) {
        saveRecording();
    } else if (controller.isReplaying()) {
        warn(tr("Record"), tr("A replay is running: recording starts once it has ended."));
    } else {
        startRecording();
        ui->statusBar->showMessage(tr("Recording: Ctrl+R stops and saves it"));
    }
}

void QTMain::startRecording() {
    recordingDisplay = glWidget->displaySettings();
    controller.startRecording();
    showRecordingMark();
}

void QTMain::showRecordingMark() {
    ui->actionRecord->setChecked(controller.isRecording());
    recordingMark->setVisible(controller.isRecording());
}

bool QTMain::writeRecording(const QString& path, const Recording& recording, QString& error) {
    return RecordingFile::write(path, RecordingDocument{recording, recordingDisplay}, error);
}

void QTMain::saveRecording() {
    const long long steps = controller.simulation().recordedSteps();
    const Recording recording = controller.stopRecording();
    showRecordingMark();
    const QString name = FileDialogs::timeStampedName(kRecordingSuffix);
    for (;;) {
        const QString path =
            FileDialogs::askSavePath(this, tr("Save Recording"), documents(), name,
                                     {tr("Recordings (*.%1)").arg(kRecordingSuffix)});
        QString error;
        if (!path.isEmpty() && writeRecording(path, recording, error)) {
            ui->statusBar->showMessage(tr("Recording of %1 steps saved to %2")
                                           .arg(steps)
                                           .arg(QDir::toNativeSeparators(path)));
            return;
        }
        if (!path.isEmpty()) {
            warn(tr("Save Recording"), error);
            continue;
        }
        if (QMessageBox::question(this, tr("Save Recording"),
                                  tr("Discard the recording of %1 steps?").arg(steps)) ==
            QMessageBox::Yes) {
            ui->statusBar->showMessage(tr("Recording discarded"));
            return;
        }
    }
}

void QTMain::recordUntilClosed(const QString& path) {
    recordPath = path;
    startRecording();
    ui->statusBar->showMessage(tr("Recording until the window closes"));
}

void QTMain::closeEvent(QCloseEvent* event) {
    if (!recordPath.isEmpty() && controller.isRecording()) {
        QString error;
        if (!writeRecording(recordPath, controller.stopRecording(), error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
        }
    }
    QMainWindow::closeEvent(event);
}

void QTMain::replayDialog() {
    if (controller.isReplaying()) {
        controller.stopReplay();
        return;
    }
    const QString path = FileDialogs::askOpenPath(
        this, tr("Replay"), tr("Recordings (*.%1 *.json);;All files (*)").arg(kRecordingSuffix));
    if (!path.isEmpty()) {
        replayFile(path);
    }
}

QString QTMain::replayFile(const QString& path) {
    QString error;
    RecordingDocument document;
    if (controller.isRecording()) {
        error = tr("Stop the recording (Ctrl+R) before replaying another.");
    } else if (RecordingFile::read(path, document, error)) {
        error = startReplay(std::move(document));
        if (error.isEmpty()) {
            return QString();
        }
    }
    warn(tr("Replay"), error);
    return error;
}

QString QTMain::startReplay(RecordingDocument document) {
    const QString problem = controller.startReplay(std::move(document.recording));
    if (problem.isEmpty()) {
        panel->showDisplaySettings(document.display);
        holdFluidControls(true);
        ui->actionReplay->setText(tr("Stop Re&play"));
    }
    return problem;
}

void QTMain::holdFluidControls(bool held) {
    panel->setFluidControlsEnabled(!held);
    for (QAction* action : {ui->actionRest, ui->actionRemoveLastCorner, ui->actionDiscardCorners,
                            ui->actionClearObstacles, ui->actionCylinder, ui->actionSaveScene}) {
        action->setEnabled(!held);
    }
    ui->menuNew->setEnabled(!held);
}

void QTMain::replayFinished(const QString& verdict) {
    holdFluidControls(false);
    ui->actionReplay->setText(tr("Re&play…"));
    ui->actionPause->setChecked(controller.isPaused());
    ui->statusBar->showMessage(verdict);
    std::fprintf(stderr, "%s\n", qPrintable(verdict));
}

void QTMain::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && urls.constFirst().isLocalFile()) {
        event->acceptProposedAction();
    }
}

void QTMain::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && urls.constFirst().isLocalFile()) {
        event->acceptProposedAction();
        openFile(urls.constFirst().toLocalFile());
    }
}
