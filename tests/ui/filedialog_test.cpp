#include "support/teststore.h"
#include "ui/qtprompt.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QTest>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Whether /proc/locks shows a classic lock of this process on the file `fd`.
bool processHoldsLock(int fd)
{
    struct stat status {};
    fstat(fd, &status);
    QFile locks(QStringLiteral("/proc/locks"));
    if (!locks.open(QIODevice::ReadOnly))
        return false;
    const QByteArray owner = QByteArray::number(getpid());
    const QByteArray inode = ':' + QByteArray::number(quint64(status.st_ino));
    for (const QByteArray& line : locks.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() > 5 && fields[1] == "POSIX" && fields[4] == owner && fields[5].endsWith(inode))
            return true;
    }
    return false;
}

}  // namespace

// The file dialogs list the data folder without opening the files in it: a
// close of any descriptor would drop every classic lock the process holds on
// that file. (The store's own locks survive such a close; the store's test
// checks that.)
TEST(FileDialog, ListingTheDataFolderKeepsEveryLockInIt)
{
    TestStore store;
    QFile other(QDir(store.folder()).filePath(QStringLiteral("other.dat")));
    ASSERT_TRUE(other.open(QIODevice::ReadWrite));
    other.write("no known type");
    other.flush();
    struct flock lock {};
    lock.l_type = F_WRLCK;
    ASSERT_EQ(fcntl(other.handle(), F_SETLK, &lock), 0);
    ASSERT_TRUE(processHoldsLock(other.handle()));

    for (const auto kind : {ui::FileDialogKind::Open, ui::FileDialogKind::Save}) {
        auto dialog = ui::makeFileDialog({QString(), store.folder(), QStringLiteral("All files (*)")}, kind);
        auto* model = dialog->findChild<QFileSystemModel*>();
        ASSERT_NE(model, nullptr);
        dialog->show();
        // The model lists folders on a thread of its own, the parent folders
        // too: wait for the data folder's own entries.
        const QModelIndex folder = model->index(store.folder());
        QTRY_VERIFY_WITH_TIMEOUT(model->rowCount(folder) >= 4, 10000);
        for (int row = 0; row < model->rowCount(folder); ++row) {
            EXPECT_FALSE(model->data(model->index(row, 0, folder), Qt::DecorationRole).isNull());
            EXPECT_FALSE(model->data(model->index(row, 2, folder)).toString().isEmpty());
        }
        QTest::qWait(100);
    }

    EXPECT_TRUE(processHoldsLock(other.handle()));
}
