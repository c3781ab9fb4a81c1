#pragma once

#include <QObject>

class QActionGroup;
class QComboBox;
class QMenu;

// A box's choices in a menu as well: one checkable action per item, added to the menu, each
// selecting its item in the box; the checked action follows the box's current item, and the
// actions are enabled while the box is. The box stays the one place that acts on the choice.
class MenuMirror : public QObject {
    Q_OBJECT

public:
    // The box's items must be in place; the mirror lives as long as the box.
    MenuMirror(QComboBox* box, QMenu* menu);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void follow(int index);

    QComboBox* box;
    QActionGroup* actions;
};
