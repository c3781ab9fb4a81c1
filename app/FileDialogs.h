#pragma once

#include <QStandardPaths>
#include <QString>
#include <QStringList>

class QWidget;

// The window's file dialogs: the folders they propose, the time-stamped names, and which of the
// offered types the user chose, by its place in the list.
class FileDialogs {
public:
    // A standard folder of the user's, or the home folder where there is none.
    static QString userFolder(QStandardPaths::StandardLocation location);
    // fluid-2026-12-10-143005.png and the like.
    static QString timeStampedName(const QString& suffix);
    // Asks for a file to write, proposing name in folder, with a type per filter; empty when the
    // user cancels. The index of the type chosen goes to chosenFilter.
    static QString askSavePath(QWidget* parent, const QString& title, const QString& folder,
                               const QString& name, const QStringList& filters,
                               int* chosenFilter = nullptr);
    // Asks for a file to read from the Documents folder.
    static QString askOpenPath(QWidget* parent, const QString& title, const QString& filter);
};
