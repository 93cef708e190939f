#pragma once

#include <cstddef>

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>

// Qt's image reader over a file held in memory, in a named format (never judged by Qt from
// the content: the callers have sniffed it). The bytes are not copied and must outlive it.
class BytesReader {
  public:
    BytesReader(const unsigned char* data, std::size_t size, const char* format)
        : bytes_(QByteArray::fromRawData(reinterpret_cast<const char*>(data),
                                         static_cast<qsizetype>(size))),
          buffer_(&bytes_) {
        buffer_.open(QIODevice::ReadOnly);
        reader.setDevice(&buffer_);
        reader.setFormat(format);
        reader.setDecideFormatFromContent(false);
    }
    BytesReader(const BytesReader&) = delete;
    BytesReader& operator=(const BytesReader&) = delete;

  private:
    QByteArray bytes_;
    QBuffer buffer_;

  public:
    QImageReader reader;
};
