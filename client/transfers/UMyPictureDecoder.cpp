#include "client/transfers/UMyPictureDecoder.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <cctype>
#include <string>

#include "framework/runtime/FourCC.h"

bool UMyPictureDecoder::Decode(const uint8_t* bytes, uint32_t size, QImage& outImage)
{
    outImage = QImage();
    if (!bytes || size == 0) return false;
    // The buffer reads the bytes where they are.
    const QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes), qsizetype(size));
    QBuffer buffer;
    buffer.setData(data);
    if (!buffer.open(QIODevice::ReadOnly)) return false;
    QImageReader::setAllocationLimit(kAllocationLimitMB);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    const QByteArray format = reader.format();
    if (format != "jpeg" && format != "png" && format != "gif") return false;
    const QSize announced = reader.size();
    if (!announced.isValid() || announced.width() > kMaxSide || announced.height() > kMaxSide) return false;
    return reader.read(&outImage) && !outImage.isNull();
}

bool UMyPictureDecoder::IsPicture(uint32_t type, const uint8_t* name)
{
    if (type == FourCC("JPEG") || type == FourCC("PNGf") || type == FourCC("GIFf")) return true;
    if (!name) return false;
    const std::string whole(reinterpret_cast<const char*>(name + 1), name[0]);
    const size_t dot = whole.find_last_of('.');
    if (dot == std::string::npos) return false;
    std::string extension = whole.substr(dot + 1);
    for (char& c : extension)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return extension == "jpg" || extension == "jpeg" || extension == "png" || extension == "gif";
}
