#include "DisplayText.h"

#include <QStringDecoder>

QString DisplayText(std::string_view bytes) {
    const auto size = static_cast<qsizetype>(bytes.size());
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(QByteArrayView(bytes.data(), size));
    if (decoder.hasError()) {
        return QString::fromLatin1(bytes.data(), size);
    }
    return text;
}
