#pragma once

#include "pdf/pdf_objects.h"

#include <memory>

// An image XObject: a stream holding the picture's encoded bytes, with its size in
// pixels at hand for the documents that scale it.
class TPdfImage : public TPdfStream
{
public:
    // Builds an image of a registered kind ("Pdf-Jpeg");
    // "AddImage --InvalidImageClassName:<kind>" for any other kind.
    static std::unique_ptr<TPdfImage> Create(const QString &imageKind, const QByteArray &data);
    // A JPEG picture embedded as it is (DCTDecode); "only jpeg image is allowed." when
    // the bytes are not a baseline or progressive 8-bit JPEG of 1, 3 or 4 components.
    static std::unique_ptr<TPdfImage> FromJpeg(const QByteArray &jpeg);

    int Width() const { return m_width; }
    int Height() const { return m_height; }

private:
    TPdfImage() = default;
    int m_width = 0;
    int m_height = 0;
};
