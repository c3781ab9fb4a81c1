// The settings panel form built on a bare main window: every object, its place, range, default,
// enabled state, cursor and text.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLCDNumber>
#include <QMainWindow>
#include <QSlider>
#include <QStatusBar>
#include <QStringList>
#include <QtTest/QtTest>

#include "ui_QTMain.h"

namespace {

struct ObjectRow {
    const char* name;
    const char* className;
    const char* parent;
    QRect geometry;  // null where the form sets none
};

// In creation order.
const ObjectRow kObjects[] = {
    {"centralWidget", "QWidget", "QTMainClass", QRect()},
    {"ComputeTime", "QLCDNumber", "centralWidget", QRect(590, 651, 64, 23)},
    {"StaticTextVelocity", "QLabel", "centralWidget", QRect(270, 652, 316, 20)},
    {"horizontalLayout", "QWidget", "centralWidget", QRect(10, 10, 641, 641)},
    {"hboxLayout", "QHBoxLayout", "horizontalLayout", QRect()},
    {"ComputationSettingsBox", "QGroupBox", "centralWidget", QRect(670, 10, 350, 151)},
    {"viscosity", "QCheckBox", "ComputationSettingsBox", QRect(50, 62, 154, 24)},
    {"StaticTextNumberIteration", "QLabel", "ComputationSettingsBox", QRect(82, 33, 234, 20)},
    {"statictextViscosity", "QLabel", "ComputationSettingsBox", QRect(124, 95, 196, 20)},
    {"ViscosityValue", "QDoubleSpinBox", "ComputationSettingsBox", QRect(20, 92, 98, 27)},
    {"NumberIteration", "QSpinBox", "ComputationSettingsBox", QRect(20, 30, 56, 27)},
    {"display", "QGroupBox", "centralWidget", QRect(670, 390, 350, 305)},
    {"labelModDisplay", "QLabel", "display", QRect(130, 33, 100, 20)},
    {"Coeffbox", "QGroupBox", "display", QRect(170, 70, 66, 174)},
    {"CoeffATxt", "QLabel", "Coeffbox", QRect(6, 148, 20, 20)},
    {"LogTxt", "QLabel", "Coeffbox", QRect(30, 148, 30, 20)},
    {"CoeffLog", "QSlider", "Coeffbox", QRect(36, 24, 16, 121)},
    {"CoeffLin", "QSlider", "Coeffbox", QRect(8, 24, 16, 121)},
    {"ComboBoxDisplay", "QComboBox", "display", QRect(20, 30, 101, 26)},
    {"ColorBox", "QGroupBox", "display", QRect(10, 70, 152, 174)},
    {"ColorATxt", "QLabel", "ColorBox", QRect(6, 148, 53, 20)},
    {"ColorATxt_2", "QLabel", "ColorBox", QRect(61, 148, 53, 20)},
    {"label", "QLabel", "ColorBox", QRect(116, 148, 30, 20)},
    {"HueColorA", "QSlider", "ColorBox", QRect(25, 24, 16, 121)},
    {"HueColorB", "QSlider", "ColorBox", QRect(80, 24, 16, 121)},
    {"ColorSaturation", "QSlider", "ColorBox", QRect(123, 24, 16, 121)},
    {"IsLog", "QCheckBox", "display", QRect(176, 248, 60, 24)},
    {"IsOver", "QCheckBox", "display", QRect(254, 248, 72, 24)},
    {"IsPositive", "QCheckBox", "display", QRect(254, 274, 92, 24)},
    {"LimitsBox", "QGroupBox", "display", QRect(244, 70, 70, 174)},
    {"CoeffATxt_3", "QLabel", "LimitsBox", QRect(6, 148, 20, 20)},
    {"OverTxt", "QLabel", "LimitsBox", QRect(26, 148, 40, 20)},
    {"LimitLight", "QSlider", "LimitsBox", QRect(8, 24, 16, 121)},
    {"LimitOver", "QSlider", "LimitsBox", QRect(36, 24, 16, 121)},
    {"ModEdit", "QGroupBox", "centralWidget", QRect(670, 180, 350, 181)},
    {"Temporary", "QLabel", "ModEdit", QRect(60, 30, 230, 20)},
    {"Temporary_2", "QLabel", "ModEdit", QRect(30, 70, 290, 40)},
    {"ClrObs", "QPushButton", "ModEdit", QRect(80, 120, 132, 28)},
    {"statusBar", "QStatusBar", "QTMainClass", QRect(0, 709, 1032, 19)},
};

struct RangeRow {
    const char* name;
    double minimum;
    double maximum;
    double value;
};

const RangeRow kRanges[] = {
    {"ViscosityValue", 0.01, 1000.0, 1.0},
    {"NumberIteration", 2, 50, 20},
    {"CoeffLog", 0, 99, 0},
    {"CoeffLin", 0, 1000, 100},
    {"HueColorA", 0, 255, 0},
    {"HueColorB", 0, 255, 43},
    {"ColorSaturation", 0, 255, 255},
    {"LimitLight", 0, 255, 128},
    {"LimitOver", 0, 100, 9},
};

const char* const kSliders[] = {"CoeffLog",        "CoeffLin",   "HueColorA", "HueColorB",
                                "ColorSaturation", "LimitLight", "LimitOver"};
const char* const kDisabled[] = {"CoeffLog", "IsLog", "IsPositive", "LimitOver"};

struct TextRow {
    const char* name;
    const char* property;
    const char* text;
};

const TextRow kTexts[] = {
    {"QTMainClass", "windowTitle", "Fluid Simulation"},
    {"StaticTextVelocity", "text", "Velocity of computation (in milliseconds)"},
    {"ComputationSettingsBox", "whatsThis", "/* Explain todo */"},
    {"ComputationSettingsBox", "title", "Computation Settings"},
    {"viscosity", "text", "Enable viscosity"},
    {"StaticTextNumberIteration", "text", "Number of iteration to resolve"},
    {"statictextViscosity", "text", "Value of viscosity (x10-2)"},
    {"display", "title", "Display"},
    {"labelModDisplay", "text", "Display mod"},
    {"Coeffbox", "title", "Coeffs"},
    {"CoeffATxt", "text", "A"},
    {"LogTxt", "text", "Log"},
    {"ColorBox", "title", "Color Begin"},
    {"ColorATxt", "text", "ColorA"},
    {"ColorATxt_2", "text", "ColorB"},
    {"label", "text", "Sat"},
    {"IsLog", "text", "Log"},
    {"IsOver", "text", "Over"},
    {"IsPositive", "text", "Positive"},
    {"LimitsBox", "title", "Limits"},
    {"CoeffATxt_3", "text", "L"},
    {"OverTxt", "text", "Over"},
    {"ModEdit", "title", "Edit Fluid"},
    {"Temporary", "text", "Click and move : Add velocity"},
    {"Temporary_2", "text", "Right click and middle click : Create Obstacle"},
    {"ClrObs", "text", "Clear Obstacles"},
};

bool contains(const char* const* begin, const char* const* end, const QString& name) {
    return std::find_if(begin, end, [&](const char* n) { return name == n; }) != end;
}

}  // namespace

// A main window with the slots that the form connects by name, recording each call.
class SlotRecorder : public QMainWindow {
    Q_OBJECT

public:
    QStringList calls;

private slots:
    void on_ClrObs_clicked() { calls << "ClrObs"; }
    void on_IsPositive_stateChanged(int) { calls << "IsPositive"; }
    void on_IsOver_stateChanged(int) { calls << "IsOver"; }
    void on_IsLog_stateChanged(int) { calls << "IsLog"; }
    void on_LimitOver_valueChanged(int) { calls << "LimitOver"; }
    void on_LimitLight_valueChanged(int) { calls << "LimitLight"; }
    void on_CoeffLog_valueChanged(int) { calls << "CoeffLog"; }
    void on_CoeffLin_valueChanged(int) { calls << "CoeffLin"; }
    void on_ColorSaturation_valueChanged(int) { calls << "ColorSaturation"; }
    void on_HueColorB_valueChanged(int) { calls << "HueColorB"; }
    void on_ComboBoxDisplay_currentIndexChanged(int) { calls << "ComboBoxDisplay"; }
    void on_HueColorA_valueChanged(int) { calls << "HueColorA"; }
    void on_NumberIteration_valueChanged(int) { calls << "NumberIteration"; }
    void on_ViscosityValue_valueChanged(double) { calls << "ViscosityValue"; }
    void on_viscosity_stateChanged(int) { calls << "viscosity"; }
};

class FormTest : public testing::Test {
protected:
    SlotRecorder window;
    Ui::QTMainClass ui;

    void SetUp() override { ui.setupUi(&window); }

    QObject* object(const char* name) {
        if (window.objectName() == name) {
            return &window;
        }
        return window.findChild<QObject*>(name);
    }
};

TEST_F(FormTest, WindowHasItsNameTitleSizeCentralWidgetAndStatusBar) {
    EXPECT_EQ(window.objectName(), "QTMainClass");
    EXPECT_EQ(window.windowTitle(), "Fluid Simulation");
    EXPECT_EQ(window.size(), QSize(1032, 728).expandedTo(window.minimumSizeHint()));
    EXPECT_EQ(window.centralWidget(), ui.centralWidget);
    EXPECT_EQ(window.statusBar(), ui.statusBar);
    EXPECT_TRUE(ui.statusBar->currentMessage().isEmpty());
}

TEST_F(FormTest, ObjectsHaveTheirClassParentAndGeometryInCreationOrder) {
    QStringList tableOrder;
    for (const ObjectRow& row : kObjects) {
        SCOPED_TRACE(row.name);
        tableOrder << row.name;
        QObject* o = object(row.name);
        ASSERT_NE(o, nullptr);
        EXPECT_STREQ(o->metaObject()->className(), row.className);
        if (row.geometry.isNull()) {
            continue;
        }
        auto* widget = qobject_cast<QWidget*>(o);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->parent(), object(row.parent));
        EXPECT_EQ(widget->geometry(), row.geometry);
    }
    EXPECT_EQ(ui.centralWidget->parent(), &window);
    EXPECT_EQ(ui.hboxLayout->parent(), ui.horizontalLayout);
    EXPECT_EQ(ui.horizontalLayout->layout(), ui.hboxLayout);

    // Children are kept in creation order, so a depth-first walk lists the form's objects in the
    // order in which they were made.
    QStringList walked;
    for (QObject* o : window.findChildren<QObject*>()) {
        if (tableOrder.contains(o->objectName())) {
            walked << o->objectName();
        }
    }
    EXPECT_EQ(walked, tableOrder);
}

TEST_F(FormTest, RangedControlsHaveTheirRangeAndDefault) {
    for (const RangeRow& row : kRanges) {
        SCOPED_TRACE(row.name);
        QObject* o = object(row.name);
        ASSERT_NE(o, nullptr);
        EXPECT_DOUBLE_EQ(o->property("minimum").toDouble(), row.minimum);
        EXPECT_DOUBLE_EQ(o->property("maximum").toDouble(), row.maximum);
        EXPECT_DOUBLE_EQ(o->property("value").toDouble(), row.value);
    }
}

TEST_F(FormTest, OnlyTheSlidersAreVerticalWithAPointingHand) {
    for (const ObjectRow& row : kObjects) {
        SCOPED_TRACE(row.name);
        auto* widget = qobject_cast<QWidget*>(object(row.name));
        if (widget == nullptr) {
            continue;
        }
        const bool slider = contains(std::begin(kSliders), std::end(kSliders), row.name);
        EXPECT_EQ(widget->testAttribute(Qt::WA_SetCursor), slider);
        if (slider) {
            EXPECT_EQ(widget->cursor().shape(), Qt::PointingHandCursor);
            EXPECT_EQ(qobject_cast<QSlider*>(widget)->orientation(), Qt::Vertical);
        }
    }
}

TEST_F(FormTest, FourControlsStartDisabledAndAllOthersEnabled) {
    for (const ObjectRow& row : kObjects) {
        SCOPED_TRACE(row.name);
        auto* widget = qobject_cast<QWidget*>(object(row.name));
        if (widget != nullptr) {
            EXPECT_EQ(widget->isEnabled(),
                      !contains(std::begin(kDisabled), std::end(kDisabled), row.name));
        }
    }
}

TEST_F(FormTest, ControlsHaveTheirOtherDefaults) {
    EXPECT_TRUE(ui.viscosity->isChecked());
    EXPECT_FALSE(ui.IsLog->isChecked());
    EXPECT_FALSE(ui.IsOver->isChecked());
    EXPECT_FALSE(ui.IsPositive->isChecked());
    EXPECT_EQ(ui.ComboBoxDisplay->count(), 0);

    EXPECT_EQ(ui.ComputeTime->intValue(), 9999);
    EXPECT_DOUBLE_EQ(ui.ComputeTime->value(), 9999.0);
    EXPECT_EQ(ui.ComputeTime->frameShape(), QFrame::NoFrame);
    EXPECT_EQ(ui.ComputeTime->mode(), QLCDNumber::Dec);
    EXPECT_EQ(ui.ComputeTime->segmentStyle(), QLCDNumber::Flat);

    EXPECT_EQ(ui.hboxLayout->spacing(), 6);
    EXPECT_EQ(ui.hboxLayout->contentsMargins(), QMargins(0, 0, 0, 0));
}

TEST_F(FormTest, TextsAppearExactlyAsWritten) {
    for (const TextRow& row : kTexts) {
        SCOPED_TRACE(std::string(row.name) + "." + row.property);
        QObject* o = object(row.name);
        ASSERT_NE(o, nullptr);
        EXPECT_EQ(o->property(row.property).toString(), QString::fromUtf8(row.text));
    }
    for (QObject* o : window.findChildren<QWidget*>()) {
        auto* widget = static_cast<QWidget*>(o);
        EXPECT_TRUE(widget->statusTip().isEmpty()) << widget->objectName().toStdString();
    }
}

TEST_F(FormTest, EveryControlHasATooltipThatStatesItsRange) {
    for (QWidget* w : window.findChildren<QWidget*>()) {
        const bool control = qobject_cast<QAbstractButton*>(w) != nullptr ||
                             qobject_cast<QAbstractSpinBox*>(w) != nullptr ||
                             qobject_cast<QAbstractSlider*>(w) != nullptr ||
                             qobject_cast<QComboBox*>(w) != nullptr;
        if (control && !w->objectName().startsWith("qt_")) {
            EXPECT_FALSE(w->toolTip().isEmpty()) << w->objectName().toStdString();
        }
    }
    // The range in the unit that the user reads: the coefficient sliders hold hundredths.
    for (const RangeRow& row : kRanges) {
        SCOPED_TRACE(row.name);
        const QString name = row.name;
        const double scale = name.startsWith("Coeff") ? 100.0 : 1.0;
        const QString range = QString("%1 to %2")
                                  .arg(QString::number(row.minimum / scale))
                                  .arg(QString::number(row.maximum / scale));
        const QString tip = static_cast<QWidget*>(object(row.name))->toolTip();
        EXPECT_TRUE(tip.contains(range)) << tip.toStdString() << " lacks " << range.toStdString();
    }
    EXPECT_TRUE(ui.CoeffLin->toolTip().contains("Raise it when the Velocity view looks dark"));
}

TEST_F(FormTest, BuildingCallsNoSlotAndEverySlotIsConnectedByName) {
    EXPECT_TRUE(window.calls.isEmpty()) << window.calls.join(", ").toStdString();

    ui.ClrObs->click();
    ui.IsPositive->setChecked(true);
    ui.IsOver->setChecked(true);
    ui.IsLog->setChecked(true);
    ui.LimitOver->setValue(20);
    ui.LimitLight->setValue(100);
    ui.CoeffLog->setValue(5);
    ui.CoeffLin->setValue(250);
    ui.ColorSaturation->setValue(10);
    ui.HueColorB->setValue(10);
    ui.ComboBoxDisplay->addItem("item");
    ui.HueColorA->setValue(10);
    ui.NumberIteration->setValue(10);
    ui.ViscosityValue->setValue(2.0);
    ui.viscosity->setChecked(false);

    EXPECT_EQ(window.calls, QStringList({"ClrObs", "IsPositive", "IsOver", "IsLog", "LimitOver",
                                         "LimitLight", "CoeffLog", "CoeffLin", "ColorSaturation",
                                         "HueColorB", "ComboBoxDisplay", "HueColorA",
                                         "NumberIteration", "ViscosityValue", "viscosity"}));
}

#include "FormTest.moc"
