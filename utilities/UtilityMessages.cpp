#include "UtilityMessages.h"

#include <QFile>

namespace zorp::ui {

namespace {

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

} // namespace

inline namespace utilities {

MessageRequest ToMessageRequest(const Message& message)
{
    return {QString::fromStdString(message.title), QString::fromStdString(message.text()), ToIcon(message.icon),
            Buttons::Ok};
}

Answer ShowCoreMessage(const Platform& platform, QWidget* parent, const Message& message)
{
    return platform.messages->show(parent, ToMessageRequest(message));
}

std::string ToFsPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

QString FromFsPath(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

} // namespace utilities

} // namespace zorp::ui
