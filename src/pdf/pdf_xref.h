#pragma once

#include "pdf/pdf_objects.h"

#include <memory>
#include <vector>

// The cross-reference table: owns every indirect object, numbers them from 1 in the
// order they are added, and records where each one starts while the file is written.
class TPdfXref
{
public:
    TPdfXref();

    // Makes a direct object indirect and takes it over; refuses any other kind.
    template <class T> T *AddObject(std::unique_ptr<T> object)
    {
        T *added = object.get();
        AddObjectImpl(std::unique_ptr<TPdfObject>(std::move(object)));
        return added;
    }

    // Entries in the table, the free entry 0 included.
    int ItemCount() const { return int(m_objects.size()); }
    // The object of that number; null for 0 and unknown numbers.
    TPdfObject *GetObject(int objectNumber) const;

    // Writes "n 0 obj" ... "endobj" for every object in number order, noting offsets
    // (counted from the start of `out`).
    void WriteObjects(QByteArray &out);
    // Writes the "xref" section with the offsets noted by WriteObjects.
    void WriteTable(QByteArray &out) const;

private:
    void AddObjectImpl(std::unique_ptr<TPdfObject> object);
    // Index 0 is the free entry and holds no object.
    std::vector<std::unique_ptr<TPdfObject>> m_objects;
    std::vector<qint64> m_offsets;
};
