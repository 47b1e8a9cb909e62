#pragma once

#include "planning/cell_style.h"

#include <QWidget>

class QLabel;

// The key to the planning's colours: each state's word in the colour its
// nights are written in, and "Libre" for a day without a night.
class StateLegend : public QWidget
{
    Q_OBJECT

public:
    explicit StateLegend(QWidget *parent = nullptr);

    // The colours as the main window read them from the settings.
    void setColors(const StateColors &colors);
    // The text colour shown for a state ("Réservé", "Acompte", "Payé").
    QColor color(const QString &state) const;

private:
    QLabel *m_reserve;
    QLabel *m_acompte;
    QLabel *m_paye;
};
