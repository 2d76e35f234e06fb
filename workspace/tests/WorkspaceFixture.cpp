#include "WorkspaceFixture.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>

#include "kosinski/SmallestPack.h"
#include "kosinski/modVorlith_Extract.h"
#include "kosinski/modVorlith_Pack.h"
#include "linked/LinkedCodecs.h"

namespace zorp::ui::test {

Bytes MakeGenesisImage(size_t size, const std::string& title, const std::string& serial)
{
    Bytes image(size);
    for (size_t i = 0; i < size; ++i)
        image[i] = static_cast<uint8_t>((i * 7 + (i >> 8)) & 0xFF);
    auto text = [&](size_t offset, std::string value, size_t width) {
        value.resize(width, ' ');
        for (size_t i = 0; i < width; ++i)
            image[offset + i] = static_cast<uint8_t>(value[i]);
    };
    text(0x100, "SEGA GENESIS", 16);
    text(0x110, "(C)SEGA 1992.SEP", 16);
    text(0x120, title, 96);
    text(0x180, serial, 14);
    image[0x18E] = 0xD9;
    image[0x18F] = 0x51;
    return image;
}

void Put(Bytes& image, size_t offset, const Bytes& bytes)
{
    std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(offset));
}

uint16_t StoredChecksumWord(const Bytes& image) { return static_cast<uint16_t>(image[0x18E] << 8 | image[0x18F]); }

bool WriteBytes(const QString& path, const Bytes& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size())) ==
           static_cast<qint64>(bytes.size());
}

Bytes ReadBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray data = file.readAll();
    return Bytes(data.begin(), data.end());
}

bool WriteTemplate(const QString& path, const QStringList& lines)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(lines.join(QStringLiteral("\r\n")).toLatin1() + "\r\n") > 0;
}

Bytes S3Codes(const std::string& text)
{
    Bytes codes;
    for (char c : text)
        codes.push_back(c == ' ' ? 0x00 : static_cast<uint8_t>(0x1E + (c - 'A')));
    return codes;
}

bool TestCodec::DecompressKosinski_Byte(const std::vector<uint8_t>& InByte, std::vector<uint8_t>& OutByte)
{
    ++decompressCalls;
    auto result = modVorlith_Extract::Decode(InByte);
    OutByte = result.Ok() ? std::move(result.output) : std::vector<uint8_t>{};
    return result.Ok();
}

bool TestCodec::DecompressKosinskiPartial_Byte(const std::vector<uint8_t>& InByte, std::vector<uint8_t>& OutByte,
                                               std::string* Reason)
{
    ++decompressCalls;
    auto result = modVorlith_Extract::Decode(InByte);
    OutByte = std::move(result.output);
    if (!result.Ok() && Reason)
        *Reason = modVorlith_Extract::DescribeStatus(result.status);
    return result.Ok();
}

bool TestCodec::CompressKosinski_Byte(const std::vector<uint8_t>& InByte, std::vector<uint8_t>& OutByte)
{
    ++compressCalls;
    OutByte = modVorlith_Pack::Pack(InByte);
    if (spoil)
        spoil(OutByte);
    return true;
}

bool TestCodec::CompressKosinskiOptimal_Byte(const std::vector<uint8_t>& InByte, std::vector<uint8_t>& OutByte)
{
    ++optimalCalls;
    OutByte = PackSmallest(InByte);
    if (spoil)
        spoil(OutByte);
    return true;
}

namespace {

const FormatCalls* LinkedFormat(int32_t format)
{
    static const CodecCalls calls = LinkedCodecCalls();
    if (format < ostrel::Kosinski || format > ostrel::Enigma)
        return nullptr;
    const FormatCalls& found = calls.For(static_cast<CompressionFormat>(format));
    return found.available() ? &found : nullptr;
}

} // namespace

bool TestCodec::OffersFormat(int32_t Format) { return LinkedFormat(Format) != nullptr; }

bool TestCodec::Decompress_Byte(int32_t Format, const std::vector<uint8_t>& InByte, uint64_t Start,
                                uint64_t OutputCap, std::vector<uint8_t>& OutByte, uint64_t* Consumed,
                                std::string* Reason)
{
    ++decompressCalls;
    const FormatCalls* calls = LinkedFormat(Format);
    if (!calls)
        return false;
    DecodedStream decoded = calls->decode(InByte, Start, OutputCap);
    OutByte = std::move(decoded.data);
    if (Consumed)
        *Consumed = decoded.consumed;
    if (Reason)
        *Reason = decoded.error;
    return decoded.ok();
}

bool TestCodec::Compress_Byte(int32_t Format, int32_t Encoder, const std::vector<uint8_t>& InByte,
                              std::vector<uint8_t>& OutByte, std::string* Reason)
{
    ++(Encoder == ostrel::Exact ? compressCalls : optimalCalls);
    const FormatCalls* calls = LinkedFormat(Format);
    if (!calls)
        return false;
    EncodedStream encoded = Encoder == ostrel::Exact ? calls->packExact(InByte) : calls->packSmallest(InByte);
    if (Reason)
        *Reason = encoded.error;
    OutByte = std::move(encoded.stream);
    if (spoil && encoded.ok())
        spoil(OutByte);
    return encoded.ok();
}

Harness::Harness()
{
    context.platform = scripted.platform();
    context.codec = &codec;
}

frmZorpII* Harness::open(const QString& templatePath, const QString& romPath)
{
    auto* window = new frmZorpII(context);
    window->setTemplateFile(templatePath);
    window->setROMFile(romPath);
    window->LoadFrames();
    if (!window->refusedTemplate())
        window->LoadROM(romPath);
    return window;
}

QAction* button(const frmZorpII* window, const QString& key)
{
    return window->findChild<QAction*>(key);
}

QStringList visibleFrames(const frmZorpII* window)
{
    QStringList names;
    for (QWidget* child : window->findChildren<QWidget*>()) {
        if (child->objectName().startsWith(QLatin1String("fra")) && child->isVisibleTo(window))
            names << child->objectName();
    }
    names.sort();
    return names;
}

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace zorp::ui::test
