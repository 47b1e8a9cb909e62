#include "ui/clients/export_progress.h"

#include "common/dialogs.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QProgressDialog>
#include <QStatusBar>

#include <memory>

namespace ExportProgress {

QString exporter(QWidget *parent, const TextGrid &grid, const QString &title, bool leaveOpen,
                 SpreadsheetOptions options)
{
    // The dialog appears only when the export lasts (QProgressDialog waits).
    std::unique_ptr<QProgressDialog> progress;
    if (qobject_cast<QApplication *>(QCoreApplication::instance())) {
        progress = std::make_unique<QProgressDialog>(QStringLiteral("Export vers le classeur…"), QString(), 0, 1000,
                                                     parent);
        progress->setWindowModality(Qt::WindowModal);
        progress->setMinimumDuration(500);
        progress->setValue(0);
    }
    auto previous = options.progress;
    options.progress = [&progress, previous](qint64 done, qint64 total) {
        if (previous)
            previous(done, total);
        if (progress && total > 0) {
            progress->setValue(int(done * 1000 / total));
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        }
    };
    QString error;
    const QString path = exporterGrilleExcel(grid, title, leaveOpen, options, &error);
    progress.reset();
    if (path.isEmpty()) {
        Dialogs::error(error);
        return {};
    }
    for (QWidget *w = parent; w; w = w->parentWidget()) {
        if (auto *main = qobject_cast<QMainWindow *>(w)) {
            main->statusBar()->showMessage(QStringLiteral("Classeur enregistré : ") + QDir::toNativeSeparators(path),
                                           10000);
            break;
        }
    }
    return path;
}

} // namespace ExportProgress
