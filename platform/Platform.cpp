#include "Platform.h"

#include <QCursor>
#include <QGuiApplication>
#include <QProcess>

namespace zorp::ui {

namespace {

bool HaveGuiApplication()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

} // namespace

BusyCursor::BusyCursor()
{
    if (HaveGuiApplication())
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

BusyCursor::~BusyCursor()
{
    if (HaveGuiApplication())
        QGuiApplication::restoreOverrideCursor();
}

QStringList CommandWords(const QString& commandLine, const QString& romPath)
{
    static const QString placeholder = QStringLiteral("%ROM%");
    QStringList words = QProcess::splitCommand(commandLine);
    if (words.isEmpty())
        return words;
    bool placed = false;
    for (QString& word : words) {
        if (word.contains(placeholder)) {
            word.replace(placeholder, romPath);
            placed = true;
        }
    }
    if (!placed)
        words << romPath;
    return words;
}

QStringList QtNameFilters(const QString& pipeFilter)
{
    QStringList result;
    const QStringList parts = pipeFilter.split(QLatin1Char('|'));
    // Pairs of description and pattern list; a trailing description without
    // patterns is dropped.
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        QStringList folded;
        for (const QString& raw : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString p = raw.trimmed();
            if (!p.isEmpty() && !patterns.contains(p))
                patterns << p;
        }
        // Linux file names are case-sensitive, so both cases are listed to
        // match "*.BIN" and "*.bin" alike.
        for (const QString& p : patterns) {
            for (const QString& variant : {p.toLower(), p.toUpper()}) {
                if (!patterns.contains(variant) && !folded.contains(variant))
                    folded << variant;
            }
        }
        patterns += folded;
        if (patterns.isEmpty())
            patterns << QStringLiteral("*");
        result << parts[i].trimmed() + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                      QLatin1Char(')');
    }
    return result;
}

QString FromBytes(const std::string& bytes)
{
    return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
}

std::string ToBytes(const QString& text)
{
    // Characters beyond Latin-1 have no byte; they become '?'.
    const QByteArray latin = text.toLatin1();
    return std::string(latin.constData(), size_t(latin.size()));
}

Answer Ask(const Platform& platform, QWidget* parent, const MessageRequest& request)
{
    if (!platform.messages) {
        switch (request.buttons) {
        case Buttons::Ok: return Answer::Ok;
        case Buttons::YesNo: return Answer::No;
        default: return Answer::Cancel;
        }
    }
    return platform.messages->show(parent, request);
}

} // namespace zorp::ui
