#include "MenuMirror.h"

#include <QActionGroup>
#include <QComboBox>
#include <QEvent>
#include <QMenu>

MenuMirror::MenuMirror(QComboBox* box_, QMenu* menu) : QObject(box_), box(box_) {
    actions = new QActionGroup(this);
    for (int k = 0; k < box->count(); ++k) {
        QAction* action = menu->addAction(box->itemText(k));
        action->setCheckable(true);
        actions->addAction(action);
        connect(action, &QAction::triggered, box, [this, k] { box->setCurrentIndex(k); });
    }
    follow(box->currentIndex());
    connect(box, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &MenuMirror::follow);
    box->installEventFilter(this);
}

void MenuMirror::follow(int index) {
    if (index >= 0 && index < actions->actions().size()) {
        actions->actions().at(index)->setChecked(true);
    }
}

bool MenuMirror::eventFilter(QObject* watched, QEvent* event) {
    if (watched == box && event->type() == QEvent::EnabledChange) {
        actions->setEnabled(box->isEnabled());
    }
    return false;
}
