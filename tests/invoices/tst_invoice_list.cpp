#include "../clients/xlsx_reader.h"
#include "catalogue/text_grid_model.h"
#include "common/dialogs.h"
#include "data/document_entry.h"
#include "documents/document_lines.h"
#include "invoices/facture.h"
#include "ui/documents/document_list_model.h"
#include "ui/invoices/invoice_form.h"
#include "invoices/invoice_list.h"
#include "ui/invoices/invoice_list_window.h"
#include "invoice_fixture.h"
#include "test_support.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QTableView>
#include <QTest>
#include <QTimer>

using namespace InvoiceFixture;

namespace {

int addInvoice(const QString &mode, double ttc = 110)
{
    TextGrid lines = DocumentLines::emptyGrid();
    lines.setCell(1, 0, QStringLiteral("1"));
    lines.setCell(1, 1, QStringLiteral("Chambre"));
    lines.setCell(1, 2, QStringLiteral("1"));
    lines.setCell(1, 3, QStringLiteral("100"));
    lines.setCell(1, 5, QString::number(ttc));
    DocumentEntry entry;
    entry.idClient = 1;
    entry.adresse = QStringLiteral("Client\r\nRue");
    entry.modeReglement = mode;
    entry.date = QDate(2025, 2, 1);
    entry.totalHt = QStringLiteral("100");
    entry.totalTva = QString::number(ttc - 100);
    entry.totalTtc = QString::number(ttc);
    return Facture().creerFacture(entry, lines);
}

// Column 0 (numbers) of the shown rows.
QStringList shownNumbers(const TForm6 &list)
{
    QStringList out;
    for (int r = 1; r <= list.model()->rowCount(); ++r)
        out << list.model()->cell(r, InvoiceList::Numero);
    return out;
}

void chooseFilter(TForm6 &list, const QString &text)
{
    const int index = list.filterBox()->findText(text);
    QVERIFY(index >= 0);
    list.filterBox()->setCurrentIndex(index);
    emit list.filterBox()->activated(index);
}

QAction *paymentEntry(const TForm6 &list, const QString &caption)
{
    for (QAction *a : list.paymentMenu()->actions())
        if (a->text() == caption)
            return a;
    return nullptr;
}

} // namespace

class TstInvoiceList : public QObject
{
    Q_OBJECT

private slots:
    void emptyListShowsTitlesAndOneEmptyRow()
    {
        TestDatabase database;
        TForm4 form;
        TForm6 list(&form);
        list.show();
        QCOMPARE(list.model()->rowCount(), 1);
        QCOMPARE(list.model()->cell(0, 10), QStringLiteral("Montant TTC"));
        QCOMPARE(list.factureCourante(), 0);
        QCOMPARE(list.filterBox()->currentText(), QString());
        QCOMPARE(list.filterBox()->placeholderText(), QStringLiteral("Filtrer sur paiement"));
    }

    // The window formats lazily what the sheet and the headless commands write
    // from the grid: both must read the same, cell for cell, nulls included.
    void windowShowsTheSheetsGrid_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::newRow("every invoice") << QString();
        QTest::newRow("one mode") << QStringLiteral("CB");
        QTest::newRow("none of that mode") << QStringLiteral("Espèces");
    }
    void windowShowsTheSheetsGrid()
    {
        QFETCH(QString, filter);
        TestDatabase database;
        addInvoice(QStringLiteral("Virement"), 123.45);
        DocumentEntry entry;
        entry.idClient = 1;
        entry.adresse = QStringLiteral("Société\r\nZone \"B\"\nCedex");
        entry.modeReglement = QStringLiteral("CB");
        entry.date = QDate(2024, 12, 31);
        entry.sejourDebut = QDate(2024, 12, 28);
        entry.sejourFin = QDate(2024, 12, 31);
        entry.remise = QStringLiteral("5,5");
        entry.acompte = QStringLiteral("0.1");
        entry.totalHt = QStringLiteral("1000000.25");
        entry.totalTva = QStringLiteral("0");
        entry.totalTtc = QStringLiteral("0,0000001");
        Facture().creerFacture(entry, DocumentLines::emptyGrid());
        TForm4 form;
        TForm6 list(&form);
        list.show();
        list.AfficheFactures(filter);
        const TextGrid expected = InvoiceList::remplir(filter);
        QCOMPARE(list.model()->grid(), expected);
        for (int r = 1; r < expected.rowCount(); ++r)
            for (int c = 0; c < expected.columnCount(); ++c)
                QCOMPARE(list.model()->index(r - 1, c).data().toString(), expected.cell(r, c));
    }

    void paymentFilterAndBackToAll()
    {
        TestDatabase database;
        const int a = addInvoice(QStringLiteral("Virement"));
        const int b = addInvoice(QStringLiteral("CB"));
        const int c = addInvoice(QStringLiteral("Virement"));
        TForm4 form;
        TForm6 list(&form);
        list.show();
        QCOMPARE(shownNumbers(list), (QStringList{QString::number(c), QString::number(b), QString::number(a)}));
        chooseFilter(list, QStringLiteral("Virement"));
        QCOMPARE(shownNumbers(list), (QStringList{QString::number(c), QString::number(a)}));
        chooseFilter(list, QStringLiteral("Espèces"));
        QCOMPARE(shownNumbers(list), QStringList{QString()});
        chooseFilter(list, QStringLiteral("Tous"));
        QCOMPARE(shownNumbers(list).size(), 3);
    }

    void paymentEntryPatchesTheCellWithoutReloading()
    {
        TestDatabase database;
        ScopedAnswerer answers;
        addInvoice(QStringLiteral("Non payé"));
        const int second = addInvoice(QStringLiteral("Non payé"));
        TForm4 form;
        TForm6 list(&form);
        list.show();
        addInvoice(QStringLiteral("Chèque")); // not shown until the list reloads
        list.selectRow(1);
        QCOMPARE(list.factureCourante(), second);
        paymentEntry(list, QStringLiteral("Payé par CB"))->trigger();
        QCOMPARE(answers->texts(), QStringList{QStringLiteral("Facture mise à jour")});
        QCOMPARE(list.model()->cell(1, InvoiceList::Paiement), QStringLiteral("CB"));
        QCOMPARE(list.model()->rowCount(), 2);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM facturation WHERE mode_reglement = 'CB'")), 1);
    }

    // A payment changed under a filter: the row leaves the list when it no
    // longer matches, and the sheet exported next holds exactly the rows its
    // caption names.
    void paymentChangeKeepsTheFilterTrue_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<int>("row");     // view row marked (1-based)
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QStringList>("shown"); // invoices listed after, by order of creation (1 = first)
        QTest::addColumn<int>("current");       // invoice current after; 0 for none
        QTest::newRow("unpaid list, paid by transfer")
            << "Non payé" << 1 << "Payé par Virement" << QStringList{"2", "1"} << 2;
        QTest::newRow("unpaid list, last row paid") << "Non payé" << 3 << "Payé par CB" << QStringList{"3", "2"} << 2;
        QTest::newRow("every invoice: the row stays")
            << "Tous" << 2 << "Payé par Virement" << QStringList{"4", "3", "2", "1"} << 3;
        QTest::newRow("transfer list, the only one unpaid again")
            << "Virement" << 1 << "Non Payé" << QStringList{""} << 0;
    }
    void paymentChangeKeepsTheFilterTrue()
    {
        QFETCH(QString, filter);
        QFETCH(int, row);
        QFETCH(QString, entry);
        QFETCH(QStringList, shown);
        QFETCH(int, current);
        TestDatabase database;
        ScopedAnswerer answers;
        QList<int> numbers;
        for (const char *m : {"Non payé", "Non payé", "Non payé", "Virement"})
            numbers << addInvoice(QString::fromUtf8(m));
        const auto number = [&](const QString &nth) {
            return nth.isEmpty() ? QString() : QString::number(numbers.at(nth.toInt() - 1));
        };
        TForm4 form;
        TForm6 list(&form);
        list.show();
        chooseFilter(list, filter);
        list.selectRow(row);
        paymentEntry(list, entry)->trigger();
        QCOMPARE(answers->texts(), QStringList{QStringLiteral("Facture mise à jour")});
        QStringList expected;
        for (const QString &nth : shown)
            expected << number(nth);
        QCOMPARE(shownNumbers(list), expected);
        QCOMPARE(list.factureCourante(), current ? numbers.at(current - 1) : 0);

        const QString file = list.exporterExcel(false);
        QVERIFY(!file.isEmpty());
        const QJsonObject sheet = XlsxReader::read(file).at(0).toObject();
        const QString listed = InvoiceList::filtreCourant(filter);
        for (int r = 1; r <= shown.size(); ++r) {
            QCOMPARE(XlsxReader::rowTexts(sheet, r).value(0), expected.at(r - 1));
            if (!listed.isEmpty() && !expected.at(r - 1).isEmpty())
                QCOMPARE(XlsxReader::rowTexts(sheet, r).value(InvoiceList::Paiement), listed);
        }
        QCOMPARE(XlsxReader::rowTexts(sheet, int(shown.size()) + 2).value(0), InvoiceList::legende(listed));
    }

    void deletingUnderAFilterReloadsWithIt()
    {
        TestDatabase database;
        ScopedAnswerer answers;
        const int a = addInvoice(QStringLiteral("Virement"));
        addInvoice(QStringLiteral("CB"));
        const int c = addInvoice(QStringLiteral("Virement"));
        TForm4 form;
        TForm6 list(&form);
        list.show();
        chooseFilter(list, QStringLiteral("Virement"));
        list.selectRow(1);
        answers->answer(false);
        list.supprimer();
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM facturation")), 3);
        answers->reset();
        answers->answer(true);
        list.supprimer();
        QCOMPARE(answers->texts(), (QStringList{QStringLiteral("Comfirmez-vous la suppression de cette facture ?"),
                                                QStringLiteral("Facture supprimée")}));
        QCOMPARE(shownNumbers(list), QStringList{QString::number(a)});
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM facturation_item WHERE id_facture = %1").arg(c)), 0);
    }

    void unpaidInvoiceOpensWithUnpaidChosen()
    {
        TestDatabase database;
        ScopedAnswerer answers;
        addInvoice(QStringLiteral("CB"));
        TForm4 form;
        TForm6 list(&form);
        list.show();
        list.selectRow(1);
        paymentEntry(list, QStringLiteral("Non Payé"))->trigger();
        QString shownMode;
        TForm4::Mode shownIn = TForm4::Mode::Ajout;
        QTimer::singleShot(0, &form, [&] {
            shownMode = form.modeReglement();
            shownIn = form.mode();
            form.reject();
        });
        list.visualiser();
        QCOMPARE(shownMode, QStringLiteral("Non payé"));
        QCOMPARE(shownIn, TForm4::Mode::Visualisation);
        QCOMPARE(form.mode(), TForm4::Mode::Ajout);
    }

    void exportCaptionFollowsTheFilter_data()
    {
        QTest::addColumn<QString>("filterText");
        QTest::addColumn<QString>("caption");
        QTest::newRow("placeholder") << "Filtrer sur paiement"
                                     << "Liste complète de toute les factures à la date du 08/12/2026";
        QTest::newRow("all") << "Tous" << "Liste complète de toute les factures à la date du 08/12/2026";
        QTest::newRow("one mode") << "Espèces"
                                  << "Liste des factures dont le moyen de paiement est Espèces à la date du 08/12/2026";
    }
    void exportCaptionFollowsTheFilter()
    {
        QFETCH(QString, filterText);
        QFETCH(QString, caption);
        QCOMPARE(InvoiceList::legende(InvoiceList::filtreCourant(filterText), QDate(2026, 12, 8)), caption);
    }

    // KESTROVA_SHOTS=DIR writes the list as a user sees it, to look at.
    void screenshots()
    {
        const QString dir = qEnvironmentVariable("KESTROVA_SHOTS");
        if (dir.isEmpty())
            QSKIP("KESTROVA_SHOTS not set");
        TestDatabase database;
        for (const char *mode : {"Virement", "CB", "Non payé", "Chèque", "Espèces"})
            addInvoice(QString::fromUtf8(mode), 123.45);
        TForm4 form;
        TForm6 list(&form);
        list.resize(1200, 500);
        list.show();
        QVERIFY(list.grab().save(dir + QStringLiteral("/invoice_list.png")));
    }
};

QTEST_MAIN(TstInvoiceList)
#include "tst_invoice_list.moc"
