// Every text of the main window shows in full and runs into no other widget, in DejaVu Sans (the
// toolkit's default font on a Debian desktop) at the resolution that QT_FONT_DPI sets: ctest runs
// this executable once at 96 and once at 120 dpi.
#include <gtest/gtest.h>

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QtTest/QtTest>
#include <string>
#include <vector>

#include "GLWidget.h"
#include "QTMain.h"

namespace {

// Where a widget's text needs to go and where it is drawn, in the widget's own coordinates.
struct TextPlace {
    QString text;
    QSize needed;     // the size the text needs
    QSize available;  // the size the widget gives it
    QRect drawn;      // the part of the widget that the text (with its box or frame) covers
};

TextPlace labelPlace(const QLabel* label) {
    const QRect area = label->contentsRect();
    const int flags =
        static_cast<int>(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
    const QRect text = label->fontMetrics().boundingRect(area, flags, label->text());
    return {label->text(), text.size(), area.size(), text & area};
}

// The style puts the title in a rectangle at the top of the box; it must lie inside the box's
// frame, with the text's whole width.
TextPlace groupTitlePlace(const QGroupBox* box) {
    constexpr int kFrame = 2;
    QStyleOptionGroupBox option;
    option.initFrom(box);
    option.text = box->title();
    option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
    option.textAlignment = box->alignment();
    QRect title =
        box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
    title.setWidth(qMax(title.width(), box->fontMetrics().horizontalAdvance(box->title())));
    return {box->title(), QSize(title.right() + 1 + kFrame, title.bottom() + 1), box->size(),
            title};
}

// Buttons, check boxes, spin boxes and the combo box: the style's size hint is what the text
// (every value of a spin box's range, every item of the combo box) needs, with the frame and
// indicator around it.
TextPlace controlPlace(const QWidget* control, const QString& text) {
    const QSize hint = control->sizeHint();
    QRect drawn = control->rect();
    if (qobject_cast<const QCheckBox*>(control) != nullptr) {
        drawn.setWidth(qMin(hint.width(), drawn.width()));  // indicator and text, from the left
    }
    return {text, hint, control->size(), drawn};
}

bool textPlace(const QWidget* w, TextPlace* place) {
    if (auto* label = qobject_cast<const QLabel*>(w)) {
        *place = labelPlace(label);
    } else if (auto* box = qobject_cast<const QGroupBox*>(w)) {
        *place = groupTitlePlace(box);
    } else if (auto* button = qobject_cast<const QAbstractButton*>(w)) {
        *place = controlPlace(w, button->text());
    } else if (auto* spin = qobject_cast<const QAbstractSpinBox*>(w)) {
        *place = controlPlace(w, spin->text());
    } else if (auto* combo = qobject_cast<const QComboBox*>(w)) {
        *place = controlPlace(w, combo->currentText());
    } else {
        return false;
    }
    return true;
}

// The form's own widgets (named, and not the toolkit's internal parts of a control) and the view.
std::vector<QWidget*> formWidgets(QWidget& window) {
    std::vector<QWidget*> widgets{window.findChild<GLWidget*>()};
    for (QWidget* w : window.findChildren<QWidget*>()) {
        if (!w->objectName().isEmpty() && !w->objectName().startsWith("qt_") && w->isVisible()) {
            widgets.push_back(w);
        }
    }
    return widgets;
}

QRect inWindow(const QWidget* w, const QRect& r, const QWidget* window) {
    return QRect(w->mapTo(window, r.topLeft()), r.size());
}

}  // namespace

TEST(TextFitTest, EveryTextOfTheWindowFitsAndMeetsNoOtherWidget) {
    QApplication::setFont(QFont("DejaVu Sans", 9));
    ASSERT_EQ(QFontInfo(QApplication::font()).family(), "DejaVu Sans");
    const int dpi = qEnvironmentVariableIntValue("QT_FONT_DPI");
    ASSERT_GT(dpi, 0) << "ctest sets QT_FONT_DPI";
    // Qt 5 takes the font resolution as it is; Qt 6 turns what exceeds 96 dpi into a device
    // pixel ratio, so that 120 dpi lays out at 96 logical dpi with 1.25 device pixels to one.
    const QScreen* screen = QApplication::primaryScreen();
    ASSERT_DOUBLE_EQ(screen->logicalDotsPerInch() * screen->devicePixelRatio(), dpi);

    QTMain window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const std::vector<QWidget*> widgets = formWidgets(window);

    int texts = 0;
    for (const QWidget* w : widgets) {
        TextPlace place;
        if (!textPlace(w, &place)) {
            continue;
        }
        ++texts;
        const std::string name = w->objectName().toStdString();
        EXPECT_LE(place.needed.width(), place.available.width())
            << name << " \"" << place.text.toStdString() << "\" is too narrow";
        EXPECT_LE(place.needed.height(), place.available.height())
            << name << " \"" << place.text.toStdString() << "\" is too low";

        // Containers hold the text; anything else it touches would cover it or be covered.
        const QRect drawn = inWindow(w, place.drawn, &window);
        for (const QWidget* other : widgets) {
            if (other != w && !other->isAncestorOf(w)) {
                EXPECT_FALSE(drawn.intersects(inWindow(other, other->rect(), &window)))
                    << name << " runs into " << other->objectName().toStdString();
            }
        }
        EXPECT_TRUE(window.rect().contains(drawn)) << name << " leaves the window";
    }
    // 17 labels, 6 group titles, 4 check boxes, 2 buttons, 5 spin boxes and 3 combo boxes.
    EXPECT_EQ(texts, 37);

    // The start hint, with the status bar's margins and room for its size grip.
    constexpr int kStatusMargins = 30;
    const QStatusBar* bar = window.statusBar();
    ASSERT_FALSE(bar->currentMessage().isEmpty());
    EXPECT_LE(bar->fontMetrics().horizontalAdvance(bar->currentMessage()) + kStatusMargins,
              bar->width());
}
