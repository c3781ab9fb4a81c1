#include "QTMain.h"

#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QImage>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStandardPaths>

#include "GLWidget.h"
#include "ui_QTMain.h"

namespace {

// Pixels along each side of the view when the window opens.
constexpr int kOpeningViewSide = 641;

// The coefficient sliders hold hundredths.
constexpr double kCoeffSliderScale = 100.0;

float sliderCoefficient(int value) {
    return static_cast<float>(value / kCoeffSliderScale);
}

// The user's Pictures folder, or the home folder where there is none.
QString pictureFolder() {
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return !pictures.isEmpty() && QDir(pictures).exists() ? pictures : QDir::homePath();
}

QString timeStampedPictureName() {
    return QString("fluid-%1.png")
        .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd-HHmmss")));
}

}  // namespace

QTMain::QTMain(int gridSize, QWidget* parent, Qt::WindowFlags flags)
    : QMainWindow(parent, flags), ui(std::make_unique<Ui::QTMainClass>()) {
    // setupUi sets every default before it connects the slots, so it sends nothing to the view.
    ui->setupUi(this);
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
    addShortcuts();
    // The keys work from the start, and clicking the view takes them back from a spin box.
    glWidget->setFocusPolicy(Qt::ClickFocus);
    glWidget->setFocus();
    ui->statusBar->showMessage(
        tr("Drag to stir; right-click corners, middle-click closes them. P pause, R rest, "
           "O outlines, Ctrl+Z/Esc corners, Ctrl+S save, F11 full screen"));
}

// The view goes first, while the form's widgets that it borrows (the read-out) still exist; the
// base class then destroys the form's widgets.
QTMain::~QTMain() {
    glWidget.reset();
}

void QTMain::addShortcuts() {
    // Window-wide keys. Qt offers a key to the focused control first, so a control that uses it
    // for itself (a digit or a letter in a spin box, its undo) keeps it.
    const auto onKey = [this](const QKeySequence& keys, auto action) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this, action);
    };
    onKey(QKeySequence(Qt::Key_P), [this] { glWidget->setPaused(!glWidget->isPaused()); });
    onKey(QKeySequence(Qt::Key_R), [this] { glWidget->bringToRest(); });
    onKey(QKeySequence(Qt::Key_O),
          [this] { glWidget->setOverlayVisible(!glWidget->isOverlayVisible()); });
    onKey(QKeySequence::Undo, [this] { glWidget->removeLastCorner(); });
    onKey(QKeySequence::Cancel, [this] { glWidget->discardCorners(); });
    onKey(QKeySequence::Save, [this] { savePicture(); });
    onKey(QKeySequence(Qt::Key_F11), [this] { isFullScreen() ? showNormal() : showFullScreen(); });
}

void QTMain::savePicture() {
    // The picture of the moment the user asked, before the dialog opens and the fluid moves on.
    const QImage picture = glWidget->picture();
    QFileDialog dialog(this, tr("Save Picture"), pictureFolder(), tr("PNG images (*.png)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("png"));
    dialog.selectFile(timeStampedPictureName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        ui->statusBar->showMessage(tr("Picture not saved"));
        return;
    }
    const QString path = dialog.selectedFiles().constFirst();
    const QString shown = QDir::toNativeSeparators(path);
    ui->statusBar->showMessage(picture.save(path, "PNG")
                                   ? tr("Picture saved to %1").arg(shown)
                                   : tr("Could not save the picture to %1").arg(shown));
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
    glWidget->setDisplayMode(ui->ComboBoxDisplay->currentIndex());
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
}

void QTMain::on_Fade_valueChanged(double) {
    glWidget->setFade(ui->Fade->value());
}
