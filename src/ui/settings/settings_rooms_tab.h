#pragma once

#include <QWidget>

class ColorChoice;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QScrollBar;
class QTableWidget;
class SettingsFormModel;

// The "Chambres" tab of the settings form: the room count, the names, and per
// room its description, capacities and planning colours, edited in the form's
// working tables.
class SettingsRoomsTab : public QWidget
{
    Q_OBJECT

public:
    SettingsRoomsTab(SettingsFormModel &model, QWidget *parent = nullptr);

    // Shows what the model holds (the form has just loaded it).
    void showModel();
    // Before "Valider": no room chosen in the description selector.
    void resetDescriptionSelector();

    QScrollBar *countBar() const { return m_countBar; }
    QLineEdit *countField() const { return m_countField; }
    QTableWidget *nameTable() const { return m_names; }
    QComboBox *descriptionRoom() const { return m_descriptionRoom; }
    QPlainTextEdit *description() const { return m_description; }
    QLineEdit *maxAdults() const { return m_maxAdults; }
    QLineEdit *maxChildren() const { return m_maxChildren; }
    QComboBox *colorRoom() const { return m_colorRoom; }
    ColorChoice *borderColor() const { return m_border; }
    ColorChoice *backgroundColor() const { return m_background; }

private:
    QWidget *buildNamePage();
    QWidget *buildDescriptionPage();
    QWidget *buildColorPage();
    void countChanged(int count);
    void fillNameTable();
    void fillRoomSelectors();
    void descriptionRoomChanged(int index);
    void colorRoomChanged(int index);
    void storeDescriptionFields();

    SettingsFormModel &m_model;
    bool m_loading = false;
    QScrollBar *m_countBar;
    QLineEdit *m_countField;
    QTableWidget *m_names;
    QComboBox *m_descriptionRoom;
    QPlainTextEdit *m_description;
    QLineEdit *m_maxAdults;
    QLineEdit *m_maxChildren;
    QComboBox *m_colorRoom;
    ColorChoice *m_border;
    ColorChoice *m_background;
};
