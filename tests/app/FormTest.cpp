// The settings panel form built on a bare main window: the objects that code reaches by name,
// their ranges, defaults, enabled states, cursors and tooltips, and the slots connected by name.
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
#include <algorithm>
#include <string>

#include "ui_QTMain.h"

namespace {

// The objects that the window's code and the tests reach by name, with the class they are cast
// to. The layout of the panel is the form's own; the text-fit test checks that it shows.
const char* const kSliders[] = {"CoeffLog",        "CoeffLin",   "HueColorA", "HueColorB",
                                "ColorSaturation", "LimitLight", "LimitOver"};
const char* const kCheckBoxes[] = {"viscosity", "IsLog", "IsOver", "IsPositive"};
const char* const kOthers[][2] = {
    {"centralWidget", "QWidget"},    {"horizontalLayout", "QWidget"},
    {"hboxLayout", "QHBoxLayout"},   {"statusBar", "QStatusBar"},
    {"ComputeTime", "QLCDNumber"},   {"ViscosityValue", "QDoubleSpinBox"},
    {"NumberIteration", "QSpinBox"}, {"ComboBoxDisplay", "QComboBox"},
    {"ClrObs", "QPushButton"}};

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

const char* const kDisabled[] = {"CoeffLog", "IsLog", "IsPositive", "LimitOver"};

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

    QObject* object(const char* name) { return window.findChild<QObject*>(name); }

    // The form's own widgets: named, and not the toolkit's internal parts of a control.
    QList<QWidget*> formWidgets() {
        QList<QWidget*> widgets = window.findChildren<QWidget*>();
        widgets.erase(std::remove_if(widgets.begin(), widgets.end(),
                                     [](const QWidget* w) {
                                         return w->objectName().isEmpty() ||
                                                w->objectName().startsWith("qt_");
                                     }),
                      widgets.end());
        return widgets;
    }
};

TEST_F(FormTest, WindowHasItsNameTitleCentralWidgetAndStatusBar) {
    EXPECT_EQ(window.objectName(), "QTMainClass");
    EXPECT_EQ(window.windowTitle(), "Fluid Simulation");
    EXPECT_EQ(window.centralWidget(), ui.centralWidget);
    EXPECT_EQ(window.statusBar(), ui.statusBar);
    EXPECT_TRUE(ui.statusBar->currentMessage().isEmpty());
}

TEST_F(FormTest, ObjectsReachedByNameHaveTheirClass) {
    const auto expectClass = [this](const char* name, const char* className) {
        QObject* o = object(name);
        ASSERT_NE(o, nullptr) << name;
        EXPECT_STREQ(o->metaObject()->className(), className) << name;
    };
    for (const char* name : kSliders) {
        expectClass(name, "QSlider");
    }
    for (const char* name : kCheckBoxes) {
        expectClass(name, "QCheckBox");
    }
    for (const auto& [name, className] : kOthers) {
        expectClass(name, className);
    }
    // The view goes into the layout of the area on the left.
    EXPECT_EQ(ui.hboxLayout->parent(), ui.horizontalLayout);
    EXPECT_EQ(ui.horizontalLayout->layout(), ui.hboxLayout);
}

// Each tooltip states the range in the unit that the user reads: the coefficient sliders hold
// hundredths.
TEST_F(FormTest, RangedControlsHaveTheirRangeDefaultAndATooltipThatStatesTheRange) {
    for (const RangeRow& row : kRanges) {
        SCOPED_TRACE(row.name);
        auto* w = qobject_cast<QWidget*>(object(row.name));
        ASSERT_NE(w, nullptr);
        EXPECT_DOUBLE_EQ(w->property("minimum").toDouble(), row.minimum);
        EXPECT_DOUBLE_EQ(w->property("maximum").toDouble(), row.maximum);
        EXPECT_DOUBLE_EQ(w->property("value").toDouble(), row.value);
        const double scale = QString(row.name).startsWith("Coeff") ? 100.0 : 1.0;
        const QString range = QString("%1 to %2")
                                  .arg(QString::number(row.minimum / scale))
                                  .arg(QString::number(row.maximum / scale));
        EXPECT_TRUE(w->toolTip().contains(range))
            << w->toolTip().toStdString() << " lacks " << range.toStdString();
    }
    EXPECT_TRUE(ui.CoeffLin->toolTip().contains("Raise it when the Velocity view looks dark"));
}

TEST_F(FormTest, OnlyTheSlidersHaveAPointingHandAndOnlyFourControlsStartDisabled) {
    for (QWidget* widget : formWidgets()) {
        const std::string name = widget->objectName().toStdString();
        SCOPED_TRACE(name);
        const bool slider = contains(std::begin(kSliders), std::end(kSliders), name.c_str());
        EXPECT_EQ(widget->testAttribute(Qt::WA_SetCursor), slider);
        if (slider) {
            EXPECT_EQ(widget->cursor().shape(), Qt::PointingHandCursor);
            EXPECT_EQ(qobject_cast<QSlider*>(widget)->orientation(), Qt::Vertical);
        }
        EXPECT_EQ(widget->isEnabled(),
                  !contains(std::begin(kDisabled), std::end(kDisabled), name.c_str()));
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

// A status tip would replace the status bar's message while the pointer rests on its widget.
TEST_F(FormTest, EveryControlHasATooltipAndNoWidgetAStatusTip) {
    for (QWidget* w : window.findChildren<QWidget*>()) {
        EXPECT_TRUE(w->statusTip().isEmpty()) << w->objectName().toStdString();
        const bool control = qobject_cast<QAbstractButton*>(w) != nullptr ||
                             qobject_cast<QAbstractSpinBox*>(w) != nullptr ||
                             qobject_cast<QAbstractSlider*>(w) != nullptr ||
                             qobject_cast<QComboBox*>(w) != nullptr;
        if (control && !w->objectName().startsWith("qt_")) {
            EXPECT_FALSE(w->toolTip().isEmpty()) << w->objectName().toStdString();
        }
    }
}

// Each control's signal reaches the window's slot named after it, in the order of the changes.
TEST_F(FormTest, BuildingCallsNoSlotAndEverySlotIsConnectedByName) {
    EXPECT_TRUE(window.calls.isEmpty()) << window.calls.join(", ").toStdString();
    const QStringList connected{"ClrObs",          "IsPositive",     "IsOver",          "IsLog",
                                "LimitOver",       "LimitLight",     "CoeffLog",        "CoeffLin",
                                "ColorSaturation", "HueColorB",      "ComboBoxDisplay", "HueColorA",
                                "NumberIteration", "ViscosityValue", "viscosity"};
    for (const QString& name : connected) {
        QObject* o = window.findChild<QObject*>(name);
        ASSERT_NE(o, nullptr) << name.toStdString();
        if (auto* button = qobject_cast<QAbstractButton*>(o)) {
            button->isCheckable() ? button->toggle() : button->click();  // also when disabled
        } else if (auto* combo = qobject_cast<QComboBox*>(o)) {
            combo->addItem("item");
        } else {
            const double value = o->property("value").toDouble();
            o->setProperty("value",
                           value > o->property("minimum").toDouble() ? value - 1 : value + 1);
        }
    }
    EXPECT_EQ(window.calls.join(", ").toStdString(), connected.join(", ").toStdString());
}

#include "FormTest.moc"
