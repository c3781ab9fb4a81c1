#include "FileDialogs.h"

#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

QString FileDialogs::userFolder(QStandardPaths::StandardLocation location) {
    const QString folder = QStandardPaths::writableLocation(location);
    return !folder.isEmpty() && QDir(folder).exists() ? folder : QDir::homePath();
}

QString FileDialogs::timeStampedName(const QString& suffix) {
    return QString("fluid-%1.%2")
        .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd-HHmmss")), suffix);
}

QString FileDialogs::askSavePath(QWidget* parent, const QString& title, const QString& folder,
                                 const QString& name, const QStringList& filters,
                                 int* chosenFilter) {
    QFileDialog dialog(parent, title, folder);
    dialog.setNameFilters(filters);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QFileInfo(name).suffix());
    dialog.selectFile(name);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return QString();
    }
    if (chosenFilter != nullptr) {
        *chosenFilter = static_cast<int>(filters.indexOf(dialog.selectedNameFilter()));
    }
    return dialog.selectedFiles().constFirst();
}

QString FileDialogs::askOpenPath(QWidget* parent, const QString& title, const QString& filter) {
    return QFileDialog::getOpenFileName(parent, title,
                                        userFolder(QStandardPaths::DocumentsLocation), filter);
}
