#pragma once

#include <QObject>

class QLineEdit;

// Lets a field take only the digits 0 to 9 (and the editing keys), up to a
// length, whether typed or pasted. Unlike a maximum length on the field, text
// the program puts there is kept whole: a stored phone number with blanks is
// shown and written back as it is.
class DigitFilter : public QObject
{
    Q_OBJECT

public:
    static void install(QLineEdit *edit, int maxDigits);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    DigitFilter(QLineEdit *edit, int maxDigits);
    void insertDigits(QLineEdit *edit, const QString &text) const;

    int m_maxDigits;
};
