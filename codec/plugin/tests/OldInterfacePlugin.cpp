// A codec plug-in as an earlier release built it: it offers only interface
// 0.0.2 (OLD_INTERFACE == 2) or 0.0.3 (== 3), with working Kosinski calls. The
// loader must take it, call only what it offers and say what is missing.
#include <QObject>
#include <QtPlugin>

#include "kosinski/SmallestPack.h"
#include "kosinski/modVorlith_Extract.h"
#include "kosinski/modVorlith_Pack.h"
#include "ostrel/clsOstrel.h"

#if OLD_INTERFACE == 2
#define OLD_BASE clsOstrel_v002
#define OLD_IID OSTREL_IID_0_0_2
#else
#define OLD_BASE clsOstrel_v003
#define OLD_IID OSTREL_IID_0_0_3
#endif

class OldInterfacePlugin : public QObject, public OLD_BASE {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID OLD_IID)
#if OLD_INTERFACE == 2
    Q_INTERFACES(clsOstrel_v002)
#else
    Q_INTERFACES(clsOstrel_v002 clsOstrel_v003)
#endif
public:
    bool DecompressKosinski_Byte(const std::vector<uint8_t>& in, std::vector<uint8_t>& out) override
    {
        auto result = zorp::modVorlith_Extract::Decode(in);
        out = result.Ok() ? std::move(result.output) : std::vector<uint8_t>{};
        return result.Ok() && !out.empty();
    }
    bool DecompressKosinski_String(const std::string&, std::string&) override { return false; }
    bool LoadS3S_Byte(const std::string&, std::vector<uint8_t>&, int32_t*, int32_t*, ostrel::S3S_StartDirection*,
                      int32_t*, std::string*, int32_t*) override
    {
        return true;
    }
    void AboutOstrel() override {}
    bool CompressKosinski_Byte(const std::vector<uint8_t>& in, std::vector<uint8_t>& out) override
    {
        out = zorp::modVorlith_Pack::Pack(in);
        return true;
    }
    bool CompressKosinski_String(const std::string&, std::string&) override { return false; }
    bool OstrelPresent() override { return true; }
    bool CompressKosinskiOptimal_Byte(const std::vector<uint8_t>& in, std::vector<uint8_t>& out) override
    {
        out = zorp::PackSmallest(in);
        return true;
    }
#if OLD_INTERFACE == 3
    bool DecompressKosinskiPartial_Byte(const std::vector<uint8_t>& in, std::vector<uint8_t>& out,
                                        std::string* reason) override
    {
        auto result = zorp::modVorlith_Extract::Decode(in);
        out = std::move(result.output);
        if (!result.Ok() && reason)
            *reason = zorp::modVorlith_Extract::DescribeStatus(result.status);
        return result.Ok();
    }
#endif
};

#include "OldInterfacePlugin.moc"
