#include "ui/settings/settings_form.h"

#include "common/dialogs.h"
#include "common/errors.h"
#include "data/data_module.h"
#include "ui/settings/color_choice.h"
#include "settings/ini_file.h"
#include "ui/settings/settings_rooms_tab.h"

#include <QAction>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

QLineEdit *lineField(QWidget *parent, const char *objectName, int maxLength = 0, bool digitsOnly = false)
{
    auto *field = new QLineEdit(parent);
    field->setObjectName(QLatin1String(objectName));
    if (maxLength > 0)
        field->setMaxLength(maxLength);
    if (digitsOnly)
        field->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), field));
    return field;
}

QColor colorOf(const QString &text)
{
    bool ok = false;
    const QColor c = IniFile::colorFromText(text, &ok);
    return ok ? c : QColor(Qt::black);
}

// The state words take their colour, as the planning draws them.
void paintWord(QLabel *label, const QColor &color)
{
    label->setStyleSheet(QStringLiteral("color: %1; font-weight: bold;").arg(color.name()));
}

const char *const kStates[3] = {"Réservé", "Acompte", "Payé"};

} // namespace

TForm3::TForm3(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TForm3"));
    setWindowTitle(QStringLiteral("Configuration des paramètres du logiciel"));
    m_logoChooser = [this] {
        return QFileDialog::getOpenFileName(this, QStringLiteral("Logo de l'hôtel"), QString(),
                                            QStringLiteral("Images (*.jpg *.jpeg *.png *.bmp)"));
    };

    auto *layout = new QVBoxLayout(this);
    auto *menuBar = new QMenuBar(this);
    QMenu *fichier = menuBar->addMenu(QStringLiteral("&Fichier"));
    QAction *retour = fichier->addAction(QStringLiteral("&Retour"));
    retour->setObjectName(QStringLiteral("actionRetour"));
    connect(retour, &QAction::triggered, this, &QDialog::reject);
    layout->setMenuBar(menuBar);

    m_tabs = new QTabWidget(this);
    m_rooms = new SettingsRoomsTab(m_model, m_tabs);
    m_tabs->addTab(buildHotelTab(), QStringLiteral("Entreprise"));
    m_tabs->addTab(m_rooms, QStringLiteral("Chambres"));
    m_tabs->addTab(buildDisplayTab(), QStringLiteral("Affichage"));
    m_tabs->addTab(buildInvoiceTab(), QStringLiteral("Facturation"));
    m_tabs->addTab(buildQuoteTab(), QStringLiteral("Devis"));
    m_tabs->addTab(buildLegalTab(), QStringLiteral("Mentions légales"));
    layout->addWidget(m_tabs);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *valider = buttons->addButton(QStringLiteral("Valider"), QDialogButtonBox::AcceptRole);
    valider->setObjectName(QStringLiteral("Button1"));
    valider->setDefault(true);
    QPushButton *annuler = buttons->addButton(QStringLiteral("Annuler"), QDialogButtonBox::RejectRole);
    annuler->setObjectName(QStringLiteral("Button2"));
    connect(valider, &QPushButton::clicked, this, &TForm3::Button1Click);
    connect(annuler, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(buttons);
    setFixedSize(640, 560);
}

QWidget *TForm3::buildHotelTab()
{
    auto *page = new QWidget(this);
    auto *form = new QFormLayout(page);
    form->addRow(QStringLiteral("Nom "), lineField(page, "nom"));
    auto *address = new QWidget(page);
    auto *addressLayout = new QVBoxLayout(address);
    addressLayout->setContentsMargins(0, 0, 0, 0);
    addressLayout->setSpacing(2);
    for (int i = 1; i <= 4; ++i) {
        QLineEdit *line = lineField(address, qPrintable(QStringLiteral("adresse%1").arg(i)));
        m_adresse.append(line);
        addressLayout->addWidget(line);
    }
    form->addRow(QStringLiteral("Adresse "), address);
    form->addRow(QStringLiteral("Tel "), lineField(page, "tel", 10, true));
    form->addRow(QStringLiteral("Fax"), lineField(page, "fax", 10, true));
    form->addRow(QStringLiteral("Email "), lineField(page, "email"));
    form->addRow(QStringLiteral("TVA"), lineField(page, "tva"));

    auto *logoBox = new QWidget(page);
    auto *logoLayout = new QVBoxLayout(logoBox);
    logoLayout->setContentsMargins(0, 0, 0, 0);
    m_logo = new QLabel(logoBox);
    m_logo->setObjectName(QStringLiteral("logo"));
    m_logo->setFixedSize(180, 120);
    m_logo->setFrameShape(QFrame::StyledPanel);
    m_logo->setAlignment(Qt::AlignCenter);
    m_logo->setCursor(Qt::PointingHandCursor);
    m_logo->setToolTip(QStringLiteral("Cliquez pour choisir un autre logo ; clic droit pour le supprimer"));
    m_logo->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto *supprimer = new QAction(QStringLiteral("Supprimer"), m_logo);
    supprimer->setObjectName(QStringLiteral("actionSupprimerLogo"));
    connect(supprimer, &QAction::triggered, this, &TForm3::removeLogo);
    m_logo->addAction(supprimer);
    m_logoLink = new QLabel(QStringLiteral("<a href=\"#\">Cliquez ici pour sélectionner votre logo</a>"), logoBox);
    m_logoLink->setObjectName(QStringLiteral("logoLink"));
    connect(m_logoLink, &QLabel::linkActivated, this, &TForm3::chooseLogo);
    logoLayout->addWidget(m_logo);
    logoLayout->addWidget(m_logoLink);
    m_logo->installEventFilter(this);
    form->addRow(QStringLiteral("Logo"), logoBox);
    return page;
}

QWidget *TForm3::buildDisplayTab()
{
    auto *page = new QWidget(this);
    auto *layout = new QVBoxLayout(page);
    auto *info = new QGroupBox(QStringLiteral("Information affichée"), page);
    auto *infoLayout = new QVBoxLayout(info);
    m_etat = new QRadioButton(QStringLiteral("Etat d'occupation"), info);
    m_names = new QRadioButton(QStringLiteral("Nom du client"), info);
    infoLayout->addWidget(m_etat);
    infoLayout->addWidget(m_names);
    layout->addWidget(info);

    auto *colors = new QGroupBox(QStringLiteral("Couleur des états d'occupation"), page);
    auto *colorsLayout = new QFormLayout(colors);
    for (int i = 0; i < 3; ++i) {
        m_stateLabels[i] = new QLabel(QString::fromUtf8(kStates[i]), colors);
        m_stateColors[i] = new ColorChoice(QString::fromUtf8(kStates[i]), colors);
        colorsLayout->addRow(m_stateLabels[i], m_stateColors[i]);
        QLabel *label = m_stateLabels[i];
        connect(m_stateColors[i], &ColorChoice::colorChosen, label, [label](const QColor &c) { paintWord(label, c); });
    }
    layout->addWidget(colors);
    layout->addStretch();
    return page;
}

QWidget *TForm3::buildInvoiceTab()
{
    auto *page = new QWidget(this);
    auto *layout = new QVBoxLayout(page);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Numéro de la prochaine facture"), lineField(page, "numFacture", 9, true));
    form->addRow(QStringLiteral("Symbole monétaire des factures"), lineField(page, "monaie", 10));
    layout->addLayout(form);
    auto *mail = new QGroupBox(QStringLiteral("Email prédéfini"), page);
    auto *mailLayout = new QFormLayout(mail);
    mailLayout->addRow(QStringLiteral("Objet"), lineField(mail, "objetFacture"));
    m_emailFacture = new QPlainTextEdit(mail);
    mailLayout->addRow(m_emailFacture);
    layout->addWidget(mail, 1);
    return page;
}

QWidget *TForm3::buildQuoteTab()
{
    auto *page = new QWidget(this);
    auto *layout = new QVBoxLayout(page);
    auto *mail = new QGroupBox(QStringLiteral("Email prédéfini"), page);
    auto *mailLayout = new QFormLayout(mail);
    mailLayout->addRow(QStringLiteral("Objet"), lineField(mail, "objetDevis"));
    m_emailDevis = new QPlainTextEdit(mail);
    mailLayout->addRow(m_emailDevis);
    layout->addWidget(mail, 1);
    return page;
}

QWidget *TForm3::buildLegalTab()
{
    auto *page = new QWidget(this);
    auto *layout = new QVBoxLayout(page);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("SIREN ou SIRET"), lineField(page, "siret", 20));
    form->addRow(QStringLiteral("Forme juridique"), lineField(page, "formeJuridique", 60));
    form->addRow(QStringLiteral("Capital"), lineField(page, "capital", 20));
    form->addRow(QStringLiteral("RCS (ville du greffe)"), lineField(page, "rcs", 60));
    form->addRow(QStringLiteral("Conditions de paiement"), lineField(page, "conditionsPaiement", 200));
    layout->addLayout(form);
    m_penalites = new QCheckBox(
        QStringLiteral("Pénalités de retard et indemnité forfaitaire de 40 € (clients professionnels)"), page);
    m_penalites->setObjectName(QStringLiteral("penalitesRetard"));
    layout->addWidget(m_penalites);
    m_facturx = new QCheckBox(QStringLiteral("Factures électroniques (Factur-X)"), page);
    m_facturx->setObjectName(QStringLiteral("facturx"));
    m_facturx->setToolTip(QStringLiteral("Chaque facture écrite en PDF, imprimée en PDF ou envoyée par email "
                                         "est une facture électronique : le nom, l'adresse, le SIREN ou SIRET "
                                         "et le numéro de TVA de l'onglet « Entreprise » sont alors exigés."));
    layout->addWidget(m_facturx);
    auto *note = new QLabel(QStringLiteral("Le numéro de TVA intracommunautaire est celui de l'onglet « Entreprise »."),
                            page);
    note->setWordWrap(true);
    layout->addWidget(note);
    layout->addStretch();
    return page;
}

QLineEdit *TForm3::field(const QString &objectName) const
{
    return findChild<QLineEdit *>(objectName);
}

bool TForm3::FormShow()
{
    m_tabs->setCurrentIndex(0);
    try {
        m_model.load();
    } catch (const KestrovaError &e) {
        Dialogs::error(e.text());
        return false;
    }
    field(QStringLiteral("nom"))->setText(m_model.nom);
    for (int i = 0; i < 4; ++i)
        m_adresse[i]->setText(m_model.adresse.value(i));
    field(QStringLiteral("tel"))->setText(m_model.tel);
    field(QStringLiteral("fax"))->setText(m_model.fax);
    field(QStringLiteral("email"))->setText(m_model.email);
    field(QStringLiteral("tva"))->setText(m_model.tva);
    field(QStringLiteral("numFacture"))->setText(m_model.numFacture);
    field(QStringLiteral("monaie"))->setText(m_model.monaie);
    field(QStringLiteral("objetFacture"))->setText(m_model.objetFacture);
    field(QStringLiteral("objetDevis"))->setText(m_model.objetDevis);
    m_emailFacture->setPlainText(m_model.emailFacture);
    m_emailDevis->setPlainText(m_model.emailDevis);
    field(QStringLiteral("siret"))->setText(m_model.vendeur.siret);
    field(QStringLiteral("formeJuridique"))->setText(m_model.vendeur.formeJuridique);
    field(QStringLiteral("capital"))->setText(m_model.vendeur.capital);
    field(QStringLiteral("rcs"))->setText(m_model.vendeur.rcs);
    field(QStringLiteral("conditionsPaiement"))->setText(m_model.vendeur.conditionsPaiement);
    m_penalites->setChecked(m_model.vendeur.penalitesRetard);
    m_facturx->setChecked(m_model.vendeur.facturx);
    (m_model.showsNames ? m_names : m_etat)->setChecked(true);
    const QString colors[3] = {m_model.colorReserve, m_model.colorAcompte, m_model.colorPaye};
    for (int i = 0; i < 3; ++i) {
        m_stateColors[i]->setColor(colorOf(colors[i]));
        paintWord(m_stateLabels[i], colorOf(colors[i]));
    }
    m_rooms->showModel();
    showLogo();
    return true;
}

void TForm3::showLogo()
{
    const QPixmap picture(m_model.logo);
    const bool shown = !m_model.logo.isEmpty() && !picture.isNull();
    if (shown)
        m_logo->setPixmap(picture.scaled(m_logo->size() - QSize(6, 6), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    else
        m_logo->clear();
    m_logo->setVisible(shown);
    m_logo->actions().value(0)->setEnabled(shown);
    m_logoLink->setVisible(!shown);
}

bool TForm3::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_logo && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        chooseLogo();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TForm3::chooseLogo()
{
    const QString file = m_logoChooser ? m_logoChooser() : QString();
    if (file.isEmpty())
        return;
    if (QPixmap(file).isNull()) {
        Dialogs::error(QStringLiteral("Le fichier %1 n'est pas une image lisible.").arg(file));
        return;
    }
    m_model.pickLogo(file);
    showLogo();
}

void TForm3::removeLogo()
{
    m_model.removeLogo();
    showLogo();
}

void TForm3::readFields()
{
    m_model.nom = field(QStringLiteral("nom"))->text();
    for (int i = 0; i < 4; ++i)
        m_model.adresse[i] = m_adresse[i]->text();
    m_model.tel = field(QStringLiteral("tel"))->text();
    m_model.fax = field(QStringLiteral("fax"))->text();
    m_model.email = field(QStringLiteral("email"))->text();
    m_model.tva = field(QStringLiteral("tva"))->text();
    m_model.numFacture = field(QStringLiteral("numFacture"))->text();
    m_model.monaie = field(QStringLiteral("monaie"))->text();
    m_model.objetFacture = field(QStringLiteral("objetFacture"))->text();
    m_model.objetDevis = field(QStringLiteral("objetDevis"))->text();
    m_model.emailFacture = m_emailFacture->toPlainText();
    m_model.emailDevis = m_emailDevis->toPlainText();
    m_model.vendeur.siret = field(QStringLiteral("siret"))->text().trimmed();
    m_model.vendeur.formeJuridique = field(QStringLiteral("formeJuridique"))->text().trimmed();
    m_model.vendeur.capital = field(QStringLiteral("capital"))->text().trimmed();
    m_model.vendeur.rcs = field(QStringLiteral("rcs"))->text().trimmed();
    m_model.vendeur.conditionsPaiement = field(QStringLiteral("conditionsPaiement"))->text().trimmed();
    m_model.vendeur.penalitesRetard = m_penalites->isChecked();
    m_model.vendeur.facturx = m_facturx->isChecked();
    m_model.showsNames = m_names->isChecked();
    m_model.colorReserve = IniFile::colorToText(m_stateColors[0]->color());
    m_model.colorAcompte = IniFile::colorToText(m_stateColors[1]->color());
    m_model.colorPaye = IniFile::colorToText(m_stateColors[2]->color());
}

void TForm3::Button1Click()
{
    m_rooms->resetDescriptionSelector();
    readFields();
    try {
        m_model.save();
    } catch (const KestrovaError &e) {
        Dialogs::error(e.text());
        return;
    }
    accept();
}

int TForm3::exec()
{
    if (!FormShow())
        return QDialog::Rejected;
    return QDialog::exec();
}

void TForm3::done(int result)
{
    // The shared connection is not kept open behind a closed settings form.
    DataModule::release();
    QDialog::done(result);
}
