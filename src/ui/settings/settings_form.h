#pragma once

#include "setup/settings_form_model.h"

#include <QDialog>

#include <functional>

class ColorChoice;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;
class QTabWidget;
class SettingsRoomsTab;

// "Configuration des paramètres du logiciel": the hotel's identity and logo, the
// rooms, the planning display, the invoice numbering and the e-mail texts.
// Nothing is stored before "Valider".
class TForm3 : public QDialog
{
    Q_OBJECT

public:
    explicit TForm3(QWidget *parent = nullptr);

    // Loads config.ini and the files beside it into the form. Returns false
    // (message shown) when the settings cannot be read.
    bool FormShow();
    // "Valider": writes everything and closes; on a refusal or an error the
    // message is shown and the form stays open with what was typed.
    void Button1Click();

    // How a logo file is picked (a file dialog unless a test installs another).
    using LogoChooser = std::function<QString()>;
    void setLogoChooser(LogoChooser chooser) { m_logoChooser = std::move(chooser); }
    void chooseLogo();
    void removeLogo();

    int exec() override;
    void done(int result) override;

    const SettingsFormModel &model() const { return m_model; }
    QTabWidget *tabs() const { return m_tabs; }
    SettingsRoomsTab *roomsTab() const { return m_rooms; }
    QLineEdit *field(const QString &objectName) const;
    QPlainTextEdit *invoiceEmail() const { return m_emailFacture; }
    QPlainTextEdit *quoteEmail() const { return m_emailDevis; }
    QRadioButton *namesOption() const { return m_names; }
    QCheckBox *penaltiesOption() const { return m_penalites; }
    QCheckBox *facturxOption() const { return m_facturx; }
    QLabel *logoLabel() const { return m_logo; }
    QLabel *logoLink() const { return m_logoLink; }
    ColorChoice *stateColor(int index) const { return m_stateColors[index]; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildHotelTab();
    QWidget *buildDisplayTab();
    QWidget *buildInvoiceTab();
    QWidget *buildQuoteTab();
    QWidget *buildLegalTab();
    void showLogo();
    void readFields();

    SettingsFormModel m_model;
    LogoChooser m_logoChooser;
    QTabWidget *m_tabs;
    SettingsRoomsTab *m_rooms;
    QList<QLineEdit *> m_adresse;
    QLabel *m_logo;
    QLabel *m_logoLink;
    QRadioButton *m_etat;
    QRadioButton *m_names;
    ColorChoice *m_stateColors[3];
    QLabel *m_stateLabels[3];
    QPlainTextEdit *m_emailFacture;
    QPlainTextEdit *m_emailDevis;
    QCheckBox *m_penalites;
    QCheckBox *m_facturx;
};
