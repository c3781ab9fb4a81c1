#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <functional>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#include <unistd.h>
#endif

#include "AtomicFile.h"

namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

// The folder's entries, hidden ones included: a temporary file left behind shows here.
QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

TEST(AtomicFileTest, ReplacesTheFileWhole) {
    QTemporaryDir dir;
    const QString path = dir.filePath("scene.json");
    QString error;
    ASSERT_TRUE(AtomicFile::write(path, "old", error));
    ASSERT_TRUE(AtomicFile::write(path, "new and longer", error));
    EXPECT_EQ(contents(path), "new and longer");
    EXPECT_EQ(entries(dir.path()), QStringList{"scene.json"});
}

// A save that fails says why and leaves the folder as it was: the old file byte for byte, no
// temporary file beside it.
TEST(AtomicFileTest, AFailedSaveSaysWhyAndLeavesTheOldFile) {
    struct Failure {
        const char* name;
        // Makes the save of target fail; returns false when it cannot here.
        std::function<bool(const QString& folder, QString& target)> arrange;
        const char* reason;
    };
    const Failure failures[] = {
        {"a read-only folder",
         [](const QString& folder, QString&) {
#ifdef Q_OS_UNIX
             // The superuser writes into read-only folders.
             return geteuid() != 0 &&
                    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
#else
             return false;
#endif
         },
         "Permission denied"},
        {"a folder in the way",
         [](const QString& folder, QString& target) {
             target = folder + "/folder";
             QString error;
             return QDir(folder).mkdir("folder") &&
                    AtomicFile::write(target + "/inside", "old", error);
         },
         "directory"},
        {"a full disk, as a limit on file sizes",
         [](const QString&, QString&) {
#ifdef Q_OS_UNIX
             std::signal(SIGXFSZ, SIG_IGN);
             const rlimit small{4096, RLIM_INFINITY};
             return setrlimit(RLIMIT_FSIZE, &small) == 0;
#else
             return false;
#endif
         },
         "File too large"},
    };
    for (const Failure& f : failures) {
        SCOPED_TRACE(f.name);
        QTemporaryDir dir;
        QString target = dir.filePath("scene.json");
        QString error;
        ASSERT_TRUE(AtomicFile::write(target, "old", error));
        if (!f.arrange(dir.path(), target)) {
            std::printf("skipped: %s cannot fail a save here\n", f.name);
            continue;
        }
        const QStringList before = entries(dir.path());
        const QByteArray old = contents(target);
        const bool saved = AtomicFile::write(target, QByteArray(1 << 20, 'x'), error);
#ifdef Q_OS_UNIX
        const rlimit unlimited{RLIM_INFINITY, RLIM_INFINITY};
        setrlimit(RLIMIT_FSIZE, &unlimited);
#endif
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        EXPECT_FALSE(saved);
        EXPECT_TRUE(error.startsWith("Could not save " + target + ": ")) << error.toStdString();
        EXPECT_TRUE(error.contains(f.reason)) << error.toStdString();
        EXPECT_EQ(contents(target), old);
        EXPECT_EQ(entries(dir.path()), before);
    }
}

}  // namespace
