#include "QTMain.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QSignalBlocker>
#include <QStandardPaths>
#include <QUrl>
#include <cmath>
#include <cstdio>

#include "DisplayFieldOGL.h"
#include "GLWidget.h"
#include "RecordingFile.h"
#include "SceneFile.h"
#include "VelocityExport.h"
#include "ui_QTMain.h"

namespace {

// Pixels along each side of the view when the window opens.
constexpr int kOpeningViewSide = 641;

// The coefficient sliders hold hundredths.
constexpr double kCoeffSliderScale = 100.0;

float sliderCoefficient(int value) {
    return static_cast<float>(value / kCoeffSliderScale);
}

// A standard folder of the user's, or the home folder where there is none.
QString userFolder(QStandardPaths::StandardLocation location) {
    const QString folder = QStandardPaths::writableLocation(location);
    return !folder.isEmpty() && QDir(folder).exists() ? folder : QDir::homePath();
}

// fluid-2026-12-10-143005.png and the like.
QString timeStampedName(const QString& suffix) {
    return QString("fluid-%1.%2")
        .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd-HHmmss")), suffix);
}

const QString kSceneSuffix = QStringLiteral("fluidscene");
const QString kRecordingSuffix = QStringLiteral("fluidrec");

// Asks for a file to write, proposing name in folder; empty when the user cancels. filters
// lists the choices; the chosen one is returned in chosenFilter.
QString askSavePath(QWidget* parent, const QString& title, const QString& folder,
                    const QString& name, const QStringList& filters,
                    QString* chosenFilter = nullptr) {
    QFileDialog dialog(parent, title, folder);
    dialog.setNameFilters(filters);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QFileInfo(name).suffix());
    dialog.selectFile(name);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return QString();
    }
    if (chosenFilter != nullptr) {
        *chosenFilter = dialog.selectedNameFilter();
    }
    return dialog.selectedFiles().constFirst();
}

QString askOpenPath(QWidget* parent, const QString& title, const QString& filter) {
    return QFileDialog::getOpenFileName(parent, title,
                                        userFolder(QStandardPaths::DocumentsLocation), filter);
}

// Whether a file names the recording format near its start; anything else is read as a scene.
bool looksLikeRecording(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    return file.read(4096).contains(RecordingFile::kFormat);
}

}  // namespace

QTMain::QTMain(int gridSize, QWidget* parent, Qt::WindowFlags flags)
    : QMainWindow(parent, flags), ui(std::make_unique<Ui::QTMainClass>()) {
    // setupUi sets every default before it connects the slots, so it sends nothing to the view.
    ui->setupUi(this);
    setAcceptDrops(true);
    // The window opens at the smallest size that gives the view 641 x 641 pixels, whatever the
    // style makes of the status bar; the view then grows and shrinks with the window.
    const QSize smallestView = ui->horizontalLayout->minimumSize();
    ui->horizontalLayout->setMinimumSize(kOpeningViewSide, kOpeningViewSide);
    resize(minimumSizeHint());
    ui->horizontalLayout->setMinimumSize(smallestView);

    glWidget = std::make_unique<GLWidget>(this, ui->ComputeTime, gridSize);
    ui->hboxLayout->addWidget(glWidget.get());

    // The item index is the display mode. The first item added would select itself and send
    // mode 0; only the selection below reaches the view.
    {
        const QSignalBlocker blocker(ui->ComboBoxDisplay);
        ui->ComboBoxDisplay->addItem(QString("Vectors"));
        ui->ComboBoxDisplay->addItem(QString("Velocity"));
        ui->ComboBoxDisplay->addItem(QString("Vortex"));
        ui->ComboBoxDisplay->addItem(QString("Dye"));
    }
    // The grid sizes on offer, the one the view starts with selected; nothing reaches the view.
    {
        const QSignalBlocker blocker(ui->Grid);
        for (int size : Simulation::kGridSizes) {
            ui->Grid->addItem(tr("%1 x %1").arg(size), size);
        }
        ui->Grid->setCurrentIndex(ui->Grid->findData(gridSize));
    }
    // Through on_ComboBoxDisplay_currentIndexChanged the view starts in Vortex mode.
    ui->ComboBoxDisplay->setCurrentIndex(2);

    connect(glWidget.get(), &GLWidget::statusMessage, this,
            [this](const QString& text) { ui->statusBar->showMessage(text); });
    connect(glWidget.get(), &GLWidget::replayProgress, this, [this](long long step, long long n) {
        ui->statusBar->showMessage(tr("Replay: step %1 of %2, P pauses").arg(step).arg(n));
    });
    connect(glWidget.get(), &GLWidget::replayFinished, this, &QTMain::replayFinished);
    connect(glWidget.get(), &GLWidget::recordingFilled, this, [this] {
        if (recordPath.isEmpty()) {
            saveRecording();  // as long as a recording can be: saved now
        }
        ui->statusBar->showMessage(tr("The recording is as long as a recording can be: it "
                                      "keeps what it has"));
    });
    connect(glWidget.get(), &GLWidget::fluidSettingsChanged, this, &QTMain::showFluidSettings);
    addChoiceActions();
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

// The view goes first, while the form's widgets that it borrows (the read-out) still exist; the
// base class then destroys the form's widgets.
QTMain::~QTMain() {
    glWidget.reset();
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
        glWidget->setPaused(!glWidget->isPaused());
        ui->actionPause->setChecked(glWidget->isPaused());
    });
    onAction(ui->actionRest, [this] { glWidget->bringToRest(); });
    onAction(ui->actionRemoveLastCorner, [this] { glWidget->removeLastCorner(); });
    onAction(ui->actionDiscardCorners, [this] { glWidget->discardCorners(); });
    onAction(ui->actionClearObstacles, [this] { glWidget->clearObstacles(); });
    onAction(ui->actionOutlines, [this] {
        glWidget->setOverlayVisible(!glWidget->isOverlayVisible());
        ui->actionOutlines->setChecked(glWidget->isOverlayVisible());
    });
    onAction(ui->actionFullScreen, [this] {
        isFullScreen() ? showNormal() : showFullScreen();
        ui->actionFullScreen->setChecked(isFullScreen());
    });
}

void QTMain::addChoiceActions() {
    // Each choice selects the item of its box, which reaches the view through the box's slot.
    gridActions = new QActionGroup(this);
    for (int k = 0; k < ui->Grid->count(); ++k) {
        QAction* action = ui->menuGrid->addAction(ui->Grid->itemText(k));
        action->setCheckable(true);
        action->setChecked(k == ui->Grid->currentIndex());
        gridActions->addAction(action);
        connect(action, &QAction::triggered, this, [this, k] { ui->Grid->setCurrentIndex(k); });
    }
    modeActions = new QActionGroup(this);
    for (int k = 0; k < ui->ComboBoxDisplay->count(); ++k) {
        QAction* action = ui->menuView->addAction(ui->ComboBoxDisplay->itemText(k));
        action->setCheckable(true);
        action->setChecked(k == ui->ComboBoxDisplay->currentIndex());
        modeActions->addAction(action);
        connect(action, &QAction::triggered, this,
                [this, k] { ui->ComboBoxDisplay->setCurrentIndex(k); });
    }
}

void QTMain::savePicture() {
    // The picture of the moment the user asked, before the dialog opens and the fluid moves on.
    const QImage picture = glWidget->picture();
    const QString path =
        askSavePath(this, tr("Export Picture"), userFolder(QStandardPaths::PicturesLocation),
                    timeStampedName(QStringLiteral("png")), {tr("PNG images (*.png)")});
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
    if (looksLikeRecording(path)) {
        return replayFile(path);
    }
    QString error;
    SceneDocument document;
    if (glWidget->isRecording()) {
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
    const QString path = askOpenPath(
        this, tr("Open Scene"),
        tr("Scenes and recordings (*.%1 *.%2 *.json);;All files (*)")
            .arg(kSceneSuffix, kRecordingSuffix));
    if (!path.isEmpty()) {
        openFile(path);
    }
}

void QTMain::openScene(const SceneDocument& document) {
    const QString problem = glWidget->openScene(document.scene);
    if (!problem.isEmpty()) {
        // The reader checks what the view checks; this is for a scene that got past it.
        warn(tr("Open Scene"), problem);
        return;
    }
    showFluidSettings();
    showDisplaySettings(document.display);
    setFluidControlsEnabled(true);
}

void QTMain::saveSceneDialog() {
    const QString withFields = tr("Scene with the fluid's motion and dye (*.%1)").arg(kSceneSuffix);
    const QString withoutFields =
        tr("Scene of obstacles and settings, the fluid at rest (*.%1)").arg(kSceneSuffix);
    QString chosen;
    // The scene of the moment the user asked.
    SceneDocument document{glWidget->scene(true), displaySettings()};
    const QString path =
        askSavePath(this, tr("Save Scene"), userFolder(QStandardPaths::DocumentsLocation),
                    timeStampedName(kSceneSuffix), {withFields, withoutFields}, &chosen);
    if (path.isEmpty()) {
        ui->statusBar->showMessage(tr("Scene not saved"));
        return;
    }
    if (chosen == withoutFields) {
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
    const Scene scene = glWidget->scene(true);
    QString chosen;
    const QString npy = tr("NumPy arrays (*.npy)");
    const QString path =
        askSavePath(this, tr("Export Field"), userFolder(QStandardPaths::DocumentsLocation),
                    timeStampedName(QStringLiteral("npy")), {npy, tr("CSV tables (*.csv)")},
                    &chosen);
    if (path.isEmpty()) {
        ui->statusBar->showMessage(tr("Field not exported"));
        return;
    }
    QString error;
    if (VelocityExport::write(path, scene.fields.velocity, scene.gridSize, scene.gridSize,
                              error)) {
        ui->statusBar->showMessage(
            tr("Velocity field exported to %1").arg(QDir::toNativeSeparators(path)));
    } else {
        warn(tr("Export Field"), error);
    }
}

void QTMain::toggleRecording() {
    if (glWidget->isRecording()) {
        saveRecording();
    } else if (glWidget->isReplaying()) {
        warn(tr("Record"), tr("A replay is running: recording starts once it has ended."));
    } else {
        recordingDisplay = displaySettings();
        glWidget->startRecording();
        ui->statusBar->showMessage(tr("Recording: Ctrl+R stops and saves it"));
    }
    showRecordingMark();
}

void QTMain::showRecordingMark() {
    ui->actionRecord->setChecked(glWidget->isRecording());
    recordingMark->setVisible(glWidget->isRecording());
}

bool QTMain::writeRecording(const QString& path, const Recording& recording, QString& error) {
    return RecordingFile::write(path, RecordingDocument{recording, recordingDisplay}, error);
}

void QTMain::saveRecording() {
    const long long steps = glWidget->simulation().recordedSteps();
    const Recording recording = glWidget->stopRecording();
    showRecordingMark();
    const QString name = timeStampedName(kRecordingSuffix);
    for (;;) {
        const QString path = askSavePath(
            this, tr("Save Recording"), userFolder(QStandardPaths::DocumentsLocation), name,
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
    recordingDisplay = displaySettings();
    glWidget->startRecording();
    showRecordingMark();
    ui->statusBar->showMessage(tr("Recording until the window closes"));
}

void QTMain::closeEvent(QCloseEvent* event) {
    if (!recordPath.isEmpty() && glWidget->isRecording()) {
        QString error;
        if (!writeRecording(recordPath, glWidget->stopRecording(), error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
        }
    }
    QMainWindow::closeEvent(event);
}

void QTMain::replayDialog() {
    if (glWidget->isReplaying()) {
        glWidget->stopReplay();
        return;
    }
    const QString path =
        askOpenPath(this, tr("Replay"),
                    tr("Recordings (*.%1 *.json);;All files (*)").arg(kRecordingSuffix));
    if (path.isEmpty()) {
        return;
    }
    replayFile(path);
}

QString QTMain::replayFile(const QString& path) {
    QString error;
    RecordingDocument document;
    if (glWidget->isRecording()) {
        error = tr("Stop the recording (Ctrl+R) before replaying another.");
    } else if (RecordingFile::read(path, document, error)) {
        startReplay(std::move(document.recording), document.display);
        return QString();
    }
    warn(tr("Replay"), error);
    return error;
}

void QTMain::startReplay(Recording recording, const DisplaySettings& display) {
    showDisplaySettings(display);
    setFluidControlsEnabled(false);
    ui->actionReplay->setText(tr("Stop Re&play"));
    glWidget->startReplay(std::move(recording));
}

void QTMain::replayFinished(const QString& verdict) {
    setFluidControlsEnabled(true);
    ui->actionReplay->setText(tr("Re&play…"));
    ui->actionPause->setChecked(glWidget->isPaused());
    ui->statusBar->showMessage(verdict);
    std::fprintf(stderr, "%s\n", qPrintable(verdict));
}

void QTMain::setFluidControlsEnabled(bool enabled) {
    for (QWidget* control : std::initializer_list<QWidget*>{
             ui->viscosity, ui->NumberIteration, ui->Grid, ui->Fade, ui->ClrObs}) {
        control->setEnabled(enabled);
    }
    ui->ViscosityValue->setEnabled(enabled && ui->viscosity->isChecked());
    for (QAction* action : {ui->actionRest, ui->actionRemoveLastCorner, ui->actionDiscardCorners,
                            ui->actionClearObstacles, ui->actionSaveScene}) {
        action->setEnabled(enabled);
    }
    gridActions->setEnabled(enabled);
}

DisplaySettings QTMain::displaySettings() const {
    return glWidget->displayField().settings();
}

void QTMain::showDisplaySettings(const DisplaySettings& d) {
    // Each control's slot passes its value on to the view.
    ui->ComboBoxDisplay->setCurrentIndex(d.mode);
    ui->HueColorA->setValue(d.hueA);
    ui->HueColorB->setValue(d.hueB);
    ui->ColorSaturation->setValue(d.saturation);
    ui->CoeffLin->setValue(static_cast<int>(std::lround(d.coeffLin * kCoeffSliderScale)));
    ui->CoeffLog->setValue(static_cast<int>(std::lround(d.coeffLog * kCoeffSliderScale)));
    ui->LimitLight->setValue(d.limitLight);
    ui->LimitOver->setValue(d.limitOver);
    ui->IsOver->setChecked(d.isOver);
    ui->IsLog->setChecked(d.isLog);
    ui->IsPositive->setChecked(d.isPositive);
}

void QTMain::showFluidSettings() {
    // The view has the settings already: the controls only show them.
    const FluidSettings s = glWidget->simulation().settings();
    const QSignalBlocker viscosity(ui->viscosity), value(ui->ViscosityValue),
        iterations(ui->NumberIteration), fade(ui->Fade), grid(ui->Grid);
    ui->viscosity->setChecked(s.viscosityEnabled);
    ui->ViscosityValue->setValue(s.viscosityValue);
    ui->ViscosityValue->setEnabled(s.viscosityEnabled && ui->viscosity->isEnabled());
    ui->NumberIteration->setValue(s.iterations);
    ui->Fade->setValue(s.fade);
    const int k = ui->Grid->findData(glWidget->gridSize());
    ui->Grid->setCurrentIndex(k);
    gridActions->actions().at(k)->setChecked(true);
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

void QTMain::on_ClrObs_clicked() {
    glWidget->clearObstacles();
}

void QTMain::on_IsPositive_stateChanged(int) {
    glWidget->setIsPositive(ui->IsPositive->isChecked());
}

void QTMain::on_IsOver_stateChanged(int) {
    const bool over = ui->IsOver->isChecked();
    glWidget->setIsOver(over);
    ui->LimitOver->setEnabled(over);
    ui->IsPositive->setEnabled(over);
}

void QTMain::on_IsLog_stateChanged(int) {
    glWidget->setIsLog(ui->IsLog->isChecked());
}

void QTMain::on_LimitOver_valueChanged(int) {
    glWidget->setLimitOver(ui->LimitOver->value());
}

void QTMain::on_LimitLight_valueChanged(int) {
    glWidget->setLimitLight(ui->LimitLight->value());
}

void QTMain::on_CoeffLog_valueChanged(int) {
    glWidget->setCoeffLog(sliderCoefficient(ui->CoeffLog->value()));
}

void QTMain::on_CoeffLin_valueChanged(int) {
    glWidget->setCoeffLin(sliderCoefficient(ui->CoeffLin->value()));
}

void QTMain::on_ColorSaturation_valueChanged(int) {
    glWidget->setColorSaturation(ui->ColorSaturation->value());
}

void QTMain::on_HueColorB_valueChanged(int) {
    glWidget->setHueColorB(ui->HueColorB->value());
}

void QTMain::on_ComboBoxDisplay_currentIndexChanged(int) {
    const int mode = ui->ComboBoxDisplay->currentIndex();
    glWidget->setDisplayMode(mode);
    if (modeActions != nullptr && mode >= 0 && mode < modeActions->actions().size()) {
        modeActions->actions().at(mode)->setChecked(true);
    }
}

void QTMain::on_HueColorA_valueChanged(int) {
    glWidget->setHueColorA(ui->HueColorA->value());
}

void QTMain::on_NumberIteration_valueChanged(int) {
    glWidget->setNumberIteration(ui->NumberIteration->value());
}

void QTMain::on_ViscosityValue_valueChanged(double) {
    glWidget->setViscosityValue(static_cast<float>(ui->ViscosityValue->value()));
}

void QTMain::on_viscosity_stateChanged(int) {
    const bool enabled = ui->viscosity->isChecked();
    ui->ViscosityValue->setEnabled(enabled);
    glWidget->setViscosityEnabled(enabled);
}

void QTMain::on_Grid_currentIndexChanged(int) {
    glWidget->setGridSize(ui->Grid->currentData().toInt());
    const int k = ui->Grid->currentIndex();
    if (gridActions != nullptr && k >= 0 && k < gridActions->actions().size()) {
        gridActions->actions().at(k)->setChecked(true);
    }
}

void QTMain::on_Fade_valueChanged(double) {
    glWidget->setFade(ui->Fade->value());
}
