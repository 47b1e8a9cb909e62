#include "common/dialogs.h"
#include "common/errors.h"
#include "common/paths.h"
#include "common/print_scale.h"
#include "documents/document_drawer.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QSaveFile>
#include <QUrl>

namespace {

// The layout's frames reach x = 4900; a printable area narrower than that (in
// 600-dpi units) is shrunk as a whole rather than cut at the right.
constexpr double kLayoutWidth = 4950;

void paint(const DocumentDrawer::Content &content, QPrinter &printer)
{
    QPainter painter;
    if (!painter.begin(&printer))
        throw KestrovaError(
            QStringLiteral("L'impression du document a échoué : l'imprimante n'a pas pu être ouverte."));
    const PrintScale scale = PrintScale::forDevice(printer).fittingWidth(kLayoutWidth);
    scale.apply(painter);
    DocumentDrawer::drawPaper(content, painter, scale, [&printer] { return printer.newPage(); });
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        throw KestrovaError(QStringLiteral("L'impression du document a échoué."));
}

} // namespace

namespace DocumentOutput {

QString viewingPath(const QString &stem, int numero)
{
    return Paths::dataPath(QStringLiteral("documents/%1-%2.pdf").arg(stem).arg(numero));
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        throw KestrovaError(QStringLiteral("Impossible de créer le dossier « %1 ».").arg(QDir::toNativeSeparators(folder)));
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit())
        throw KestrovaError(
            QStringLiteral("Impossible d'écrire le document « %1 » : %2").arg(path, f.errorString()));
}

void open(const QString &path)
{
    const QUrl url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    bool opened = false;
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()) &&
        QGuiApplication::platformName() != QLatin1String("offscreen"))
        opened = QDesktopServices::openUrl(url);
    else
        // Without a desktop session of our own (headless commands), the desktop's opener.
        opened = QProcess::startDetached(QStringLiteral("xdg-open"), {url.toLocalFile()});
    if (!opened)
        Dialogs::warning(
            QStringLiteral("Le document « %1 » a été écrit mais n'a pas pu être ouvert.").arg(path));
}

void print(const DocumentDrawer::Content &content, const QString &jobName)
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        throw KestrovaError(QStringLiteral(
            "Aucune imprimante par défaut n'est configurée : le document n'a pas été imprimé."));
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setDocName(jobName);
    paint(content, printer);
}

void printToPdf(const DocumentDrawer::Content &content, const QString &path)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageSize(QPageSize(QPageSize::A4));
    // Margins of a common office printer, so that the file shows what paper gets.
    printer.setPageMargins(QMarginsF(4.2, 4.2, 4.2, 4.2), QPageLayout::Millimeter);
    printer.setDocName(QFileInfo(path).fileName());
    paint(content, printer);
}

} // namespace DocumentOutput
