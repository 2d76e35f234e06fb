#include "CoreMessage.h"

#include <QFile>

namespace zorp::ui {

Icon ToIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Critical: return Icon::Critical;
    case MessageIcon::Exclamation: return Icon::Exclamation;
    case MessageIcon::Question: return Icon::Question;
    case MessageIcon::Information: return Icon::Information;
    case MessageIcon::None: break;
    }
    return Icon::None;
}

MessageRequest ToRequest(const Message& message, Buttons buttons)
{
    return {QString::fromStdString(message.title), QString::fromStdString(message.text()), ToIcon(message.icon),
            buttons};
}

Answer ShowMessage(const Platform& platform, QWidget* parent, const Message& message, Buttons buttons)
{
    return platform.messages->show(parent, ToRequest(message, buttons));
}

std::string ToNativePath(const QString& path)
{
    const QByteArray encoded = QFile::encodeName(path);
    return std::string(encoded.constData(), static_cast<size_t>(encoded.size()));
}

QString FromNativePath(const std::string& path)
{
    return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

} // namespace zorp::ui
