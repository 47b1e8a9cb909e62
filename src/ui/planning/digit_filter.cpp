#include "ui/planning/digit_filter.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>

DigitFilter::DigitFilter(QLineEdit *edit, int maxDigits) : QObject(edit), m_maxDigits(maxDigits) {}

void DigitFilter::install(QLineEdit *edit, int maxDigits)
{
    edit->installEventFilter(new DigitFilter(edit, maxDigits));
    // The context menu's paste would go around the filter.
    edit->setContextMenuPolicy(Qt::NoContextMenu);
}

void DigitFilter::insertDigits(QLineEdit *edit, const QString &text) const
{
    QString digits;
    for (const QChar c : text)
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digits += c;
    const int room = m_maxDigits - int(edit->text().size() - edit->selectedText().size());
    if (room > 0 && !digits.isEmpty())
        edit->insert(digits.left(room));
}

bool DigitFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    auto *edit = qobject_cast<QLineEdit *>(watched);
    auto *key = static_cast<QKeyEvent *>(event);
    if (!edit)
        return false;
    if (key->matches(QKeySequence::Paste)) {
        insertDigits(edit, QGuiApplication::clipboard()->text());
        return true;
    }
    const QString text = key->text();
    // Keys without printable text (backspace, arrows, tab, shortcuts) go through.
    if (text.isEmpty() || !text.at(0).isPrint() || (key->modifiers() & Qt::ControlModifier))
        return false;
    insertDigits(edit, text);
    return true;
}
