#include "app/gui.h"

#include "app/startup.h"
#include "common/dialogs.h"
#include "common/errors.h"
#include "data/data_module.h"

#include <QApplication>
#include <QMainWindow>

int runGui(const QString &dataDir)
{
    Q_UNUSED(dataDir);
    Startup startup;
    try {
        startup.openDatabase(QString::fromLatin1(DataModule::sharedConnectionName()));
    } catch (const KestrovaError &e) {
        Dialogs::error(e.text());
        return 1;
    }
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Kestrova"));
    window.resize(1400, 900);
    window.show();
    return QApplication::exec();
}
