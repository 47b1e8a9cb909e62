#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

// The PDF object kinds the writer builds documents from. Every object is direct
// (written where it is used), indirect (registered in the cross-reference table and
// written once, referred to as "n 0 R" everywhere else) or a reference to an indirect
// object. Dictionaries, arrays and streams own their direct elements; indirect objects
// belong to the cross-reference table and are stored in containers as references.

enum class TPdfObjectType { Direct, Indirect, Virtual };

class TPdfObject
{
public:
    TPdfObject() = default;
    virtual ~TPdfObject() = default;
    TPdfObject(const TPdfObject &) = delete;
    TPdfObject &operator=(const TPdfObject &) = delete;

    TPdfObjectType ObjectType() const { return m_objectType; }
    int ObjectNumber() const { return m_objectNumber; }
    int GenerationNumber() const { return 0; }

    // Writes the object as a value: its reference when it is indirect.
    void WriteToStream(QByteArray &out) const;
    // Writes the object's own body, as it appears between "obj" and "endobj".
    virtual void WriteValueToStream(QByteArray &out) const = 0;

protected:
    friend class TPdfXref;
    void SetIndirect(int objectNumber)
    {
        m_objectType = TPdfObjectType::Indirect;
        m_objectNumber = objectNumber;
    }
    void SetVirtual(int objectNumber)
    {
        m_objectType = TPdfObjectType::Virtual;
        m_objectNumber = objectNumber;
    }

private:
    TPdfObjectType m_objectType = TPdfObjectType::Direct;
    int m_objectNumber = 0;
};

class TPdfNull : public TPdfObject
{
public:
    void WriteValueToStream(QByteArray &out) const override;
};

class TPdfNumber : public TPdfObject
{
public:
    explicit TPdfNumber(qint32 value = 0) : m_value(value) {}
    qint32 Value() const { return m_value; }
    void SetValue(qint32 value) { m_value = value; }
    void WriteValueToStream(QByteArray &out) const override;

private:
    qint32 m_value;
};

class TPdfReal : public TPdfObject
{
public:
    explicit TPdfReal(double value = 0) : m_value(value) {}
    double Value() const { return m_value; }
    void SetValue(double value) { m_value = value; }
    void WriteValueToStream(QByteArray &out) const override;

private:
    double m_value;
};

// A text string. Text that PDF readers decode alike in every encoding (ASCII and the
// Latin-1 letters) is written as a literal string; anything else as UTF-16 in hex, so
// that "€" or "œ" in document information reads back as typed.
class TPdfText : public TPdfObject
{
public:
    explicit TPdfText(const QString &value = QString()) : m_value(value) {}
    const QString &Value() const { return m_value; }
    void SetValue(const QString &value) { m_value = value; }
    void WriteValueToStream(QByteArray &out) const override;

private:
    QString m_value;
};

class TPdfName : public TPdfObject
{
public:
    explicit TPdfName(const QByteArray &value = QByteArray()) : m_value(value) {}
    const QByteArray &Value() const { return m_value; }
    void WriteValueToStream(QByteArray &out) const override;

private:
    QByteArray m_value;
};

// Bytes written as they are (already encoded PDF syntax).
class TPdfBinary : public TPdfObject
{
public:
    explicit TPdfBinary(const QByteArray &bytes = QByteArray()) : m_bytes(bytes) {}
    const QByteArray &Bytes() const { return m_bytes; }
    void WriteValueToStream(QByteArray &out) const override;

private:
    QByteArray m_bytes;
};

// A reference to an indirect object. It keeps the object's address too, so that the
// writer can follow references without searching the cross-reference table.
class TPdfVirtualObject : public TPdfObject
{
public:
    explicit TPdfVirtualObject(TPdfObject *target);
    TPdfObject *Target() const { return m_target; }
    void WriteValueToStream(QByteArray &out) const override;

private:
    TPdfObject *m_target;
};

// The object a value stands for: the target of a reference, else the value itself.
TPdfObject *PdfResolve(TPdfObject *object);
// The numeric value of a number or a real; 0 for any other object.
double PdfNumericValue(const TPdfObject *object);

class TPdfArray : public TPdfObject
{
public:
    // Takes a direct object (or a reference). A reference to an object the array
    // already refers to is dropped.
    void AddItem(std::unique_ptr<TPdfObject> item);
    // Stores a reference to an indirect object, unless the array refers to it already.
    void AddItem(TPdfObject *indirect);
    int ItemCount() const { return int(m_items.size()); }
    TPdfObject *Item(int index) const { return m_items[size_t(index)].get(); }
    // True when the array holds the object or a reference to it.
    bool Contains(const TPdfObject *object) const;
    void WriteValueToStream(QByteArray &out) const override;

private:
    std::vector<std::unique_ptr<TPdfObject>> m_items;
};

class TPdfDictionaryElement
{
public:
    TPdfDictionaryElement(const QByteArray &key, std::unique_ptr<TPdfObject> value, bool hidden)
        : m_key(key), m_value(std::move(value)), m_hidden(hidden)
    {}
    const QByteArray &Key() const { return m_key; }
    TPdfObject *Value() const { return m_value.get(); }
    bool IsHidden() const { return m_hidden; }

private:
    QByteArray m_key;
    std::unique_ptr<TPdfObject> m_value;
    bool m_hidden;
};

// Keys keep the order in which they were added. Adding a key that exists replaces the
// old element, which is freed, and the new one goes to the end. Hidden elements hold
// the writer's own bookkeeping and are never written.
class TPdfDictionary : public TPdfObject
{
public:
    void AddItem(const QByteArray &key, std::unique_ptr<TPdfObject> value, bool hidden = false);
    // Stores a reference to an indirect object.
    void AddItem(const QByteArray &key, TPdfObject *indirect, bool hidden = false);

    void AddNameItem(const QByteArray &key, const QByteArray &name);
    void AddNumberItem(const QByteArray &key, qint32 value);
    void AddRealItem(const QByteArray &key, double value);
    void AddTextItem(const QByteArray &key, const QString &text);

    void RemoveItem(const QByteArray &key);
    int ItemCount() const { return int(m_elements.size()); }
    const TPdfDictionaryElement &Item(int index) const { return m_elements[size_t(index)]; }

    // The value stored under the key (a reference for an indirect object), or null.
    TPdfObject *ValueByName(QByteArrayView key) const;
    // The value under the key with references followed, when it is of kind T.
    template <class T> T *ValueAs(QByteArrayView key) const
    {
        return dynamic_cast<T *>(PdfResolve(ValueByName(key)));
    }
    // The name stored under the key; empty when there is none.
    QByteArray NameValue(QByteArrayView key) const;

    void WriteValueToStream(QByteArray &out) const override;

private:
    int IndexOf(QByteArrayView key) const;
    std::vector<TPdfDictionaryElement> m_elements;
};

// A dictionary and a byte buffer. The dictionary starts with Length 0 and an empty
// Filter array; Length is set to the buffer's size whenever the stream is written.
class TPdfStream : public TPdfObject
{
public:
    TPdfStream();
    TPdfDictionary &Attributes() { return m_attributes; }
    const TPdfDictionary &Attributes() const { return m_attributes; }
    QByteArray &Data() { return m_data; }
    const QByteArray &Data() const { return m_data; }
    void WriteValueToStream(QByteArray &out) const override;

private:
    // Mutable so that writing can bring Length up to date.
    mutable TPdfDictionary m_attributes;
    QByteArray m_data;
};
