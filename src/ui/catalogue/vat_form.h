#pragma once

#include <QDialog>

class QAction;
class QTableView;
class TextGridModel;
class Ttva_details;

// The VAT rates window: lists the rates offered for service prices and adds,
// changes and deletes them through its editor. Shown modally from the menu.
class TFormTVA : public QDialog
{
    Q_OBJECT

public:
    explicit TFormTVA(QWidget *parent = nullptr);

    // Reads the rates again; the first one becomes the selected rate.
    void refill();
    // The id of the rate of the current row, -1 when the row holds none.
    int selectedRate() const { return m_selected; }

    Ttva_details *editor() const { return m_editor; }
    TextGridModel *rates() const { return m_model; }

    void addRate();
    void modifyRate();
    void deleteRate();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void selectRow(int gridRow);

    int m_selected = -1;
    QTableView *m_view;
    TextGridModel *m_model;
    QAction *m_modify;
    QAction *m_delete;
    Ttva_details *m_editor;
};
