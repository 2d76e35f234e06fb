// The codec plug-in as the program meets it: loaded from a folder by the
// loader (present, absent, broken, another interface version), then called
// through clsOstrel.
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <fstream>

#include "OstrelLoader.h"
#include "ostrel/clsOstrel.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes ReadFile(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(f), {});
}

void WriteFile(const QString& path, const Bytes& bytes)
{
    std::ofstream f(path.toStdString(), std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes Signature(const char* text, size_t length) { return Bytes(text, text + length); }

// A version 1.00 file: nibble-packed cells, then direction, row, column and
// the rings big-endian.
Bytes V1File(const Bytes& packed, uint8_t direction, uint8_t row, uint8_t column, uint16_t rings)
{
    Bytes f = Signature("ZORP_S3SPECIALSTAGE", 19);
    f.insert(f.end(), packed.begin(), packed.end());
    const Bytes trailer{direction, row, column, static_cast<uint8_t>(rings >> 8), static_cast<uint8_t>(rings), 0, 0,
                        0, 0, 0, 0, 0, 0};
    f.insert(f.end(), trailer.begin(), trailer.end());
    return f;
}

// A version 2.00 file: 3-bit cells, eight to three bytes, then 16 trailer bytes.
Bytes V2File(const Bytes& packed, uint8_t direction, uint8_t row, uint8_t column, uint16_t rings)
{
    Bytes f = Signature("ZORP_S3S_V2.00  ", 16);
    f.insert(f.end(), packed.begin(), packed.end());
    Bytes trailer(16, 0);
    trailer[0] = direction;
    trailer[1] = row;
    trailer[2] = column;
    trailer[3] = static_cast<uint8_t>(rings >> 8);
    trailer[4] = static_cast<uint8_t>(rings);
    f.insert(f.end(), trailer.begin(), trailer.end());
    return f;
}

} // namespace

class OstrelPluginTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        const OstrelLoadResult r = LoadOstrel(QStringLiteral(ZORP_BIN_DIR));
        QVERIFY2(r.codec.current() != nullptr, qPrintable(r.error));
        QVERIFY(r.error.isEmpty());
        codec_ = r.codec.current();
        QVERIFY(tmp_.isValid());
    }

    // ---- Loading --------------------------------------------------------------

    void loaderRefusesMissingBrokenAndForeignLibraries_data()
    {
        QTest::addColumn<QString>("dir");
        QTest::addColumn<QString>("errorPart");
        const QString empty = tmp_.filePath("empty");
        QDir().mkpath(empty);
        const QString broken = tmp_.filePath("broken");
        QDir().mkpath(broken);
        WriteFile(broken + "/libostrel.so", Bytes{0x7F, 'E', 'L', 'F', 0x02, 0x01, 0x01, 0, 1, 2, 3, 4});
        const QString text = tmp_.filePath("text");
        QDir().mkpath(text);
        WriteFile(text + "/libostrel.so", Bytes(1000, 'x'));
        QTest::newRow("absent") << empty << "was not found";
        QTest::newRow("truncated ELF") << broken << "could not be loaded";
        QTest::newRow("not a library") << text << "could not be loaded";
        QTest::newRow("interface before 0.0.2") << QStringLiteral(OSTREL_WRONG_IID_DIR) << OSTREL_IID_0_0_2;
    }

    void loaderRefusesMissingBrokenAndForeignLibraries()
    {
        QFETCH(QString, dir);
        QFETCH(QString, errorPart);
        const OstrelLoadResult r = LoadOstrel(dir);
        QVERIFY(r.codec == nullptr);
        QVERIFY2(r.error.contains(errorPart), qPrintable(r.error));
        QVERIFY2(r.error.contains("libostrel.so"), qPrintable(r.error));
    }

    void loadingTwiceGivesTheSameObject()
    {
        QCOMPARE(LoadOstrel(QStringLiteral(ZORP_BIN_DIR)).codec.current(), codec_);
    }

    // A plug-in of any published interface loads; the Kosinski calls of
    // 0.0.2 work through every one of them, and what a version lacks is
    // missing with a reason that names both versions.
    void loaderTakesEveryPublishedInterface_data()
    {
        QTest::addColumn<QString>("dir");
        QTest::addColumn<QString>("version");
        QTest::newRow("0.0.2") << QStringLiteral(OSTREL_OLD_DIR "2") << QStringLiteral("0.0.2");
        QTest::newRow("0.0.3") << QStringLiteral(OSTREL_OLD_DIR "3") << QStringLiteral("0.0.3");
        QTest::newRow("current") << QStringLiteral(ZORP_BIN_DIR) << QStringLiteral("0.0.4");
    }

    void loaderTakesEveryPublishedInterface()
    {
        QFETCH(QString, dir);
        QFETCH(QString, version);
        const OstrelLoadResult r = LoadOstrel(dir);
        QVERIFY2(r.codec, qPrintable(r.error));
        QCOMPARE(r.codec.interfaceVersion(), version);
        QCOMPARE(r.codec.v003() != nullptr, version != QLatin1String("0.0.2"));
        QCOMPARE(r.codec.current() != nullptr, version == QLatin1String("0.0.4"));
        Bytes out;
        QVERIFY(r.codec->DecompressKosinski_Byte(Bytes{0x05, 0x00, 0x41, 0x00, 0x00, 0x00}, out));
        QCOMPARE(out, Bytes{0x41});
        QVERIFY(r.codec->CompressKosinski_Byte(Bytes{0x41}, out));
        QCOMPARE(out, (Bytes{0x05, 0x00, 0x41, 0x00, 0x00, 0x00}));

        const QString missing = r.codec.MissingReason(QStringLiteral("0.0.4"));
        QCOMPARE(missing.isEmpty(), version == QLatin1String("0.0.4"));
        if (!missing.isEmpty()) {
            QVERIFY2(missing.contains(version) && missing.contains("0.0.4"), qPrintable(missing));
        }
        QVERIFY(r.codec.MissingReason(QStringLiteral("0.0.2")).isEmpty());
    }

    // ---- Codec calls ------------------------------------------------------------

    void presentWithoutTouchingFiles()
    {
        QVERIFY(codec_->OstrelPresent());
    }

    void decompressBytes_data()
    {
        QTest::addColumn<Bytes>("in");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<Bytes>("out");
        QTest::newRow("single byte") << Bytes{0x05, 0x00, 0x41, 0x00, 0x00, 0x00} << true << Bytes{0x41};
        QTest::newRow("padding after the end") << Bytes{0x05, 0x00, 0x41, 0x00, 0x00, 0x00, 0xFF, 0x00} << true
                                               << Bytes{0x41};
        QTest::newRow("run") << Bytes{0x59, 0x00, 0x41, 0xFF, 0x00, 0x00, 0x00} << true << Bytes(6, 0x41);
        QTest::newRow("empty result") << Bytes{0x02, 0x00, 0x00, 0x00, 0x00} << false << Bytes{};
        QTest::newRow("truncated") << Bytes{0x05, 0x00, 0x41, 0x00} << false << Bytes{};
        QTest::newRow("copy before start") << Bytes{0x00, 0x00, 0xFF} << false << Bytes{};
        QTest::newRow("nothing") << Bytes{} << false << Bytes{};
    }

    void decompressBytes()
    {
        QFETCH(Bytes, in);
        QFETCH(bool, ok);
        QFETCH(Bytes, out);
        Bytes result{9, 9, 9}; // whatever the caller had is replaced
        QCOMPARE(codec_->DecompressKosinski_Byte(in, result), ok);
        QCOMPARE(result, out);
    }

    // The partial call gives the bytes decoded before a fault, where the
    // plain call gives nothing; both agree on success.
    void decompressPartialKeepsWhatWasDecoded_data()
    {
        QTest::addColumn<Bytes>("in");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<Bytes>("out");
        QTest::addColumn<QString>("reason");
        QTest::newRow("complete") << Bytes{0x59, 0x00, 0x41, 0xFF, 0x00, 0x00, 0x00} << true << Bytes(6, 0x41)
                                  << QString();
        QTest::newRow("cut after a literal") << Bytes{0x05, 0x00, 0x41, 0x00} << false << Bytes{0x41}
                                             << QStringLiteral("ends before its end marker");
        QTest::newRow("literal, then a copy before the start") << Bytes{0x01, 0x00, 0x41, 0xFE} << false
                                                               << Bytes{0x41} << QStringLiteral("before the start");
        QTest::newRow("empty result") << Bytes{0x02, 0x00, 0x00, 0x00, 0x00} << false << Bytes{}
                                      << QStringLiteral("holds no bytes");
        QTest::newRow("nothing") << Bytes{} << false << Bytes{} << QStringLiteral("ends before");
    }

    void decompressPartialKeepsWhatWasDecoded()
    {
        QFETCH(Bytes, in);
        QFETCH(bool, ok);
        QFETCH(Bytes, out);
        QFETCH(QString, reason);
        Bytes result{9, 9, 9};
        std::string why;
        QCOMPARE(codec_->DecompressKosinskiPartial_Byte(in, result, &why), ok);
        QCOMPARE(result, out);
        QVERIFY2(QString::fromStdString(why).contains(reason), why.c_str());
        QCOMPARE(why.empty(), ok);
        Bytes plain;
        QCOMPARE(codec_->DecompressKosinski_Byte(in, plain), ok);
        QCOMPARE(plain, ok ? out : Bytes{});
    }

    void compressBytes()
    {
        Bytes out{1, 2, 3};
        QVERIFY(codec_->CompressKosinski_Byte(Bytes{0x41}, out));
        QCOMPARE(out, (Bytes{0x05, 0x00, 0x41, 0x00, 0x00, 0x00}));
        Bytes back;
        QVERIFY(codec_->DecompressKosinski_Byte(out, back));
        QCOMPARE(back, Bytes{0x41});

        QVERIFY(codec_->CompressKosinski_Byte(Bytes{}, out));
        QCOMPARE(out, (Bytes{0x02, 0x00, 0x00, 0x00, 0x00}));

        QVERIFY(codec_->CompressKosinskiOptimal_Byte(Bytes(6, 0x41), out));
        QCOMPARE(out, (Bytes{0x59, 0x00, 0x41, 0xFF, 0x00, 0x00, 0x00}));
    }

    // The generic calls of 0.0.4, for every format: a stream in the middle
    // of a buffer, the bytes it used, both encoders, and numbers the library
    // does not know.
    void genericCallsDecodeAtAnOffsetAndEncode()
    {
        // Two tiles (whole tiles for Nemesis, whole words for Enigma).
        Bytes data;
        for (int i = 0; i < 64; ++i)
            data.push_back(static_cast<uint8_t>(i < 32 ? (i / 4) * 0x11 : 0x80 | (i % 3)));
        QVERIFY(!codec_->OffersFormat(42));
        for (int32_t format : {ostrel::Kosinski, ostrel::KosinskiModuled, ostrel::Nemesis, ostrel::Enigma}) {
            QVERIFY2(codec_->OffersFormat(format), qPrintable(QString::number(format)));
            for (int32_t encoder : {ostrel::Smallest, ostrel::Exact}) {
                const QByteArray where = QStringLiteral("format %1 encoder %2").arg(format).arg(encoder).toLatin1();
                Bytes stream;
                std::string reason;
                QVERIFY2(codec_->Compress_Byte(format, encoder, data, stream, &reason), where.data());
                Bytes buffer{0xAA, 0xBB, 0xCC};
                buffer.insert(buffer.end(), stream.begin(), stream.end());
                buffer.push_back(0xEE);
                Bytes back;
                uint64_t consumed = 0;
                QVERIFY2(codec_->Decompress_Byte(format, buffer, 3, 1 << 20, back, &consumed, &reason),
                         reason.c_str());
                QCOMPARE(back, data);
                // The stream used, without the padding some formats put after it.
                QVERIFY2(consumed <= stream.size() && stream.size() - consumed < 16, where.data());
                // A cap below the output is a failure with a reason.
                reason.clear();
                QVERIFY(!codec_->Decompress_Byte(format, buffer, 3, 4, back, &consumed, &reason));
                QVERIFY2(!reason.empty(), where.data());
            }
        }
        Bytes out{1};
        std::string reason;
        QVERIFY(!codec_->Compress_Byte(42, ostrel::Smallest, data, out, &reason));
        QVERIFY2(QString::fromStdString(reason).contains("42"), reason.c_str());
        QVERIFY(out.empty());
        QVERIFY(!codec_->Compress_Byte(ostrel::Kosinski, 7, data, out, &reason));
        QVERIFY(!codec_->Decompress_Byte(42, data, 0, 100, out, nullptr, &reason));
    }

    void stringsCarryEveryByteValue()
    {
        std::string data;
        for (int i = 0; i < 256; ++i)
            data += static_cast<char>(i);
        data += std::string("\0\0\0\xFF\xFF\xFF", 6);
        std::string packed, back;
        QVERIFY(codec_->CompressKosinski_String(data, packed));
        Bytes packedBytes;
        QVERIFY(codec_->CompressKosinski_Byte(Bytes(data.begin(), data.end()), packedBytes));
        QCOMPARE(packed, std::string(packedBytes.begin(), packedBytes.end())); // no line end added
        QVERIFY(codec_->DecompressKosinski_String(packed, back));
        QCOMPARE(back, data);
        QVERIFY(!codec_->DecompressKosinski_String(std::string("\x05\x00\x41", 3), back));
        QVERIFY(back.empty());
    }

    void specialStageBlockRoundTrips()
    {
        const std::string base = std::string(ZORP_CORPUS_DIR) + "/kosinski/sk__General__Special_Stage__Layout__SK_Set_1.kos";
        const Bytes rom = ReadFile(base);
        if (rom.empty())
            QSKIP("corpus not found");
        const Bytes stages = ReadFile(base + ".dec");
        Bytes decoded, packed, optimal, back;
        QVERIFY(codec_->DecompressKosinski_Byte(rom, decoded));
        QCOMPARE(decoded, stages);
        QVERIFY(codec_->CompressKosinski_Byte(stages, packed));
        QVERIFY(codec_->CompressKosinskiOptimal_Byte(stages, optimal));
        QVERIFY(optimal.size() <= 1540u);
        QVERIFY(optimal.size() < packed.size());
        for (const Bytes* stream : {&packed, &optimal}) {
            QVERIFY(codec_->DecompressKosinski_Byte(*stream, back));
            QCOMPARE(back, stages);
        }
    }

    // ---- S3S loader ---------------------------------------------------------------

    void loadsVersion1()
    {
        Bytes packed(512);
        for (size_t k = 0; k < packed.size(); ++k)
            packed[k] = static_cast<uint8_t>(k * 7);
        const QString path = tmp_.filePath("v1.s3s");
        WriteFile(path, V1File(packed, 9, 10, 20, 0x0102));

        Bytes stage;
        int32_t row = -1, col = -1, rings = -1, version = -1;
        ostrel::S3S_StartDirection direction = ostrel::S3S_Up;
        std::string comment = "keep";
        QVERIFY(!codec_->LoadS3S_Byte(path.toStdString(), stage, &row, &col, &direction, &rings, &comment, &version));
        QCOMPARE(stage.size(), size_t{1024});
        for (size_t k = 0; k < packed.size(); ++k) {
            QCOMPARE(stage[2 * k], static_cast<uint8_t>(packed[k] >> 4));
            QCOMPARE(stage[2 * k + 1], static_cast<uint8_t>(packed[k] & 0x0F));
        }
        QCOMPARE(static_cast<int>(direction), 9); // as stored, unchecked
        QCOMPARE(row, 10);
        QCOMPARE(col, 20);
        QCOMPARE(rings, 258);
        QCOMPARE(version, 1);
        QCOMPARE(comment, std::string("keep"));
    }

    void loadsVersion2WithAndWithoutComment_data()
    {
        QTest::addColumn<Bytes>("tail");
        QTest::addColumn<QString>("comment");
        QTest::newRow("exactly 416 bytes") << Bytes{} << "keep";
        QTest::newRow("comment up to 0xFF") << Bytes{0x41, 0x42, 0xFF, 0x43} << "AB";
        QTest::newRow("comment to the end") << Bytes{0x41, 0x42, 0x43} << "ABC";
        QTest::newRow("empty comment") << Bytes{0xFF, 0x41} << "";
    }

    void loadsVersion2WithAndWithoutComment()
    {
        QFETCH(Bytes, tail);
        QFETCH(QString, comment);
        // 0x05 0x39 0x77 holds the cells 0 to 7 in 3-bit groups
        Bytes packed;
        for (int g = 0; g < 128; ++g)
            packed.insert(packed.end(), {0x05, 0x39, 0x77});
        Bytes file = V2File(packed, 4, 31, 0, 1024);
        QCOMPARE(file.size(), size_t{416});
        file.insert(file.end(), tail.begin(), tail.end());
        const QString path = tmp_.filePath("v2.s3s");
        WriteFile(path, file);

        Bytes stage;
        int32_t row = -1, col = -1, rings = -1, version = -1;
        ostrel::S3S_StartDirection direction = ostrel::S3S_Up;
        std::string text = "keep";
        QVERIFY(!codec_->LoadS3S_Byte(path.toStdString(), stage, &row, &col, &direction, &rings, &text, &version));
        QCOMPARE(stage.size(), size_t{1024});
        for (size_t k = 0; k < stage.size(); ++k)
            QCOMPARE(stage[k], static_cast<uint8_t>(k % 8));
        QCOMPARE(direction, ostrel::S3S_Right);
        QCOMPARE(row, 31);
        QCOMPARE(col, 0);
        QCOMPARE(rings, 1024);
        QCOMPARE(version, 2);
        QCOMPARE(QString::fromStdString(text), comment);
    }

    void optionalOutputsMayBeLeftOut()
    {
        Bytes packed(384, 0);
        const QString path = tmp_.filePath("plain.s3s");
        WriteFile(path, V2File(packed, 1, 2, 3, 4));
        Bytes stage;
        QVERIFY(!codec_->LoadS3S_Byte(path.toStdString(), stage));
        QCOMPARE(stage, Bytes(1024, 0));
    }

    void notAVersion1Or2FileGivesTrue_data()
    {
        QTest::addColumn<Bytes>("file");
        Bytes compilation = Signature("ZORP_S3S_C      ", 16);
        compilation.resize(600, 0);
        Bytes v1Short = Signature("ZORP_S3SPECIALSTAGE", 19);
        v1Short.resize(543, 0);
        Bytes v2Short = Signature("ZORP_S3S_V2.00  ", 16);
        v2Short.resize(415, 0);
        QTest::newRow("compilation") << compilation;
        QTest::newRow("empty") << Bytes{};
        QTest::newRow("other data") << Bytes(600, 0x41);
        QTest::newRow("version 1 cut short") << v1Short;
        QTest::newRow("version 2 cut short") << v2Short;
        QTest::newRow("signature only") << Signature("ZORP_S3S_V2.00  ", 16);
    }

    void notAVersion1Or2FileGivesTrue()
    {
        QFETCH(Bytes, file);
        const QString path = tmp_.filePath("other.s3s");
        WriteFile(path, file);
        Bytes stage{7};
        int32_t version = -1;
        std::string comment = "keep";
        QVERIFY(codec_->LoadS3S_Byte(path.toStdString(), stage, nullptr, nullptr, nullptr, nullptr, &comment, &version));
        QCOMPARE(stage, Bytes{7});
        QCOMPARE(version, -1);
        QCOMPARE(comment, std::string("keep"));
    }

    void missingFileGivesTrue()
    {
        Bytes stage;
        QVERIFY(codec_->LoadS3S_Byte(tmp_.filePath("nope.s3s").toStdString(), stage));
        QVERIFY(codec_->LoadS3S_Byte(tmp_.path().toStdString(), stage)); // a folder
        QVERIFY(stage.empty());
    }

    // ---- About window -------------------------------------------------------------

    void aboutWindowShowsTheLibraryAndClosesWithOK()
    {
        bool seen = false;
        QTimer::singleShot(0, [&seen] {
            QWidget* w = QApplication::activeModalWidget();
            QVERIFY(w);
            QCOMPARE(w->objectName(), QStringLiteral("frmAbout"));
            QCOMPARE(w->windowTitle(), QStringLiteral("About The Ostrel"));
            auto text = [w](const char* name) {
                auto* l = w->findChild<QLabel*>(name);
                return l ? l->text() : QStringLiteral("<missing>");
            };
            QCOMPARE(text("lblTitle"), QStringLiteral("The Ostrel"));
            QCOMPARE(text("lblMaker"), QStringLiteral("Created by Tazzle Software"));
            QCOMPARE(text("lblVersion"), QStringLiteral("Version 0.0.4"));
            QVERIFY(!text("lblDescription").isEmpty());
            auto* ok = w->findChild<QPushButton*>("cmdOK");
            QVERIFY(ok);
            QCOMPARE(ok->text(), QStringLiteral("OK"));
            QCOMPARE(ok->accessibleName(), QStringLiteral("OK"));
            seen = true;
            QTest::mouseClick(ok, Qt::LeftButton);
        });
        codec_->AboutOstrel(); // returns once OK closed the window
        QVERIFY(seen);
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }

private:
    clsOstrel* codec_ = nullptr;
    QTemporaryDir tmp_;
};

QTEST_MAIN(OstrelPluginTest)
#include "OstrelPluginTest.moc"
