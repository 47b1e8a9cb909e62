#include "pdf/pdf_image.h"

#include "pdf/pdf_error.h"

namespace {

struct JpegHeader
{
    int width = 0;
    int height = 0;
    int components = 0;
    // Adobe's APP14 marker: CMYK data stored inverted, as Adobe applications write it.
    bool adobe = false;
};

int readUint16(const uchar *p)
{
    return (p[0] << 8) | p[1];
}

bool isStartOfFrame(uchar marker)
{
    // SOF0..SOF15 except DHT (C4), JPG (C8) and DAC (CC), which share the range.
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// Walks the marker segments up to the frame header. False when the bytes are not a
// JPEG the readers can show: no frame header, a truncated segment, a precision other
// than 8 bits, an empty size or an unusual number of components.
bool readJpegHeader(const QByteArray &bytes, JpegHeader *header)
{
    const auto *data = reinterpret_cast<const uchar *>(bytes.constData());
    const qsizetype size = bytes.size();
    if (size < 4 || data[0] != 0xFF || data[1] != 0xD8)
        return false;
    qsizetype pos = 2;
    while (pos < size) {
        if (data[pos] != 0xFF)
            return false;
        while (pos < size && data[pos] == 0xFF)
            ++pos; // fill bytes
        if (pos >= size)
            return false;
        const uchar marker = data[pos++];
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8))
            continue; // markers without a segment
        if (marker == 0xD9 || marker == 0xDA)
            return false; // image data or end before any frame header
        if (pos + 2 > size)
            return false;
        const int length = readUint16(data + pos);
        if (length < 2 || pos + length > size)
            return false;
        const uchar *segment = data + pos + 2;
        if (marker == 0xEE && length >= 14 && QByteArrayView(segment, 5) == "Adobe")
            header->adobe = true;
        if (isStartOfFrame(marker)) {
            if (length < 8)
                return false;
            const int precision = segment[0];
            header->height = readUint16(segment + 1);
            header->width = readUint16(segment + 3);
            header->components = segment[5];
            return precision == 8 && header->width > 0 && header->height > 0 &&
                   (header->components == 1 || header->components == 3 || header->components == 4) &&
                   length >= 8 + 3 * header->components;
        }
        pos += length;
    }
    return false;
}

} // namespace

std::unique_ptr<TPdfImage> TPdfImage::Create(const QString &imageKind, const QByteArray &data)
{
    if (imageKind == QLatin1String("Pdf-Jpeg"))
        return FromJpeg(data);
    throw PdfError(QStringLiteral("AddImage --InvalidImageClassName:") + imageKind);
}

std::unique_ptr<TPdfImage> TPdfImage::FromJpeg(const QByteArray &jpeg)
{
    JpegHeader header;
    if (!readJpegHeader(jpeg, &header))
        throw PdfError(QStringLiteral("only jpeg image is allowed."));

    std::unique_ptr<TPdfImage> image(new TPdfImage);
    image->m_width = header.width;
    image->m_height = header.height;
    TPdfDictionary &attributes = image->Attributes();
    attributes.AddNameItem("Type", "XObject");
    attributes.AddNameItem("Subtype", "Image");
    const char *colorSpace = header.components == 1   ? "DeviceGray"
                             : header.components == 4 ? "DeviceCMYK"
                                                      : "DeviceRGB";
    attributes.AddNameItem("ColorSpace", colorSpace);
    attributes.AddNumberItem("Width", header.width);
    attributes.AddNumberItem("Height", header.height);
    attributes.AddNumberItem("BitsPerComponent", 8);
    if (header.components == 4 && header.adobe) {
        // Inverted CMYK would otherwise print as a negative.
        auto decode = std::make_unique<TPdfArray>();
        for (int i = 0; i < 4; ++i) {
            decode->AddItem(std::make_unique<TPdfNumber>(1));
            decode->AddItem(std::make_unique<TPdfNumber>(0));
        }
        attributes.AddItem("Decode", std::move(decode));
    }
    attributes.ValueAs<TPdfArray>("Filter")->AddItem(std::make_unique<TPdfName>("DCTDecode"));
    image->Data() = jpeg;
    return image;
}
