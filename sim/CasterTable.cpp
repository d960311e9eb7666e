#include "sim/CasterTable.h"

#include "common/CodePage.h"
#include "common/Format.h"
#include "common/Text.h"

#include <array>

namespace quorlex {

namespace {

constexpr std::array<std::u16string_view, 2> kNetworks{
    u"NET;QXNET;QXNET Survey Service;B;N;http://qxnet.example.com;"
    u"http://qxnet.example.com/stations;http://qxnet.example.com/register;none",
    u"NET;QXNET-VRS;QXNET Survey Service;B;Y;http://qxnet.example.com;"
    u"http://qxnet.example.com/vrs;http://qxnet.example.com/register;network solution",
};

constexpr auto kStreams = std::to_array<std::u16string_view>({
    u"STR;WUHN_RTCM32;Wuhan;RTCM "
    u"3.2;1006(10),1033(10),1074(1),1084(1),1124(1),1230(10);2;GPS+GLO+BDS;QXNET;CHN;30.53;114.36;"
    u"0;0;QXREF;none;B;N;9600;none",
    u"STR;WUHN_RTCM30;Wuhan;RTCM "
    u"3.0;1004(1),1005(10),1012(1),1033(10);2;GPS+GLO;QXNET;CHN;30.53;114.36;0;0;QXREF;none;B;N;"
    u"4800;none",
    u"STR;WUHN_CMR;Wuhan;CMR+;;2;GPS+GLO;QXNET;CHN;30.53;114.36;0;0;QXREF;none;B;N;4800;none",
    u"STR;BJSH_RTCM32;Beijing;RTCM "
    u"3.2;1006(10),1033(10),1074(1),1084(1),1124(1),1230(10);2;GPS+GLO+BDS;QXNET;CHN;39.91;116.40;"
    u"0;0;QXREF;none;B;N;9600;none",
    u"STR;BJSH_RTCM30;Beijing;RTCM "
    u"3.0;1004(1),1005(10),1012(1),1033(10);2;GPS+GLO;QXNET;CHN;39.91;116.40;0;0;QXREF;none;B;N;"
    u"4800;none",
    u"STR;BJSH_RTCM23;Beijing;RTCM "
    u"2.3;1(1),3(10),18(1),19(1),22(10);2;GPS;QXNET;CHN;39.91;116.40;0;0;QXREF;none;B;N;4800;none",
    u"STR;SHAO_RTCM32;Shanghai;RTCM "
    u"3.2;1006(10),1033(10),1074(1),1084(1),1124(1),1230(10);2;GPS+GLO+BDS;QXNET;CHN;31.10;121.20;"
    u"0;0;QXREF;none;B;N;9600;none",
    u"STR;GZHU_RTCM32;Guangzhou;RTCM "
    u"3.2;1006(10),1033(10),1074(1),1084(1),1124(1),1230(10);2;GPS+GLO+BDS;QXNET;CHN;23.13;113.26;"
    u"0;0;QXREF;none;B;N;9600;none",
    u"STR;SZHN_RTCM32;Shenzhen;RTCM "
    u"3.2;1006(10),1033(10),1074(1),1084(1),1124(1),1230(10);2;GPS+GLO+BDS;QXNET;CHN;22.54;114.06;"
    u"0;0;QXREF;none;B;N;9600;none",
    u"STR;CDOU_RTCM32;Chengdu;RTCM "
    u"3.2;1006(10),1033(10),1074(1),1084(1),1124(1),1230(10);2;GPS+GLO+BDS;QXNET;CHN;30.66;104.07;"
    u"0;0;QXREF;none;B;N;9600;none",
    u"STR;XIAN_RTCM32;Xian;RTCM "
    u"3.2;1006(10),1033(10),1074(1),1084(1),1124(1),1230(10);2;GPS+GLO+BDS;QXNET;CHN;34.27;108.95;"
    u"0;0;QXREF;none;B;N;9600;none",
    u"STR;KMIN_RTCM32;Kunming;RTCM "
    u"3.2;1006(10),1033(10),1074(1),1084(1),1124(1),1230(10);2;GPS+GLO+BDS;QXNET;CHN;25.04;102.71;"
    u"0;0;QXREF;none;B;N;9600;none",
    u"STR;LHAS_RTCM32;Lhasa;RTCM "
    u"3.2;1006(10),1033(10),1074(1),1084(1),1124(1),1230(10);2;GPS+GLO+BDS;QXNET;CHN;29.65;91.14;0;"
    u"0;QXREF;none;B;N;9600;none",
    u"STR;URUM_RTCM32;Urumqi;RTCM "
    u"3.2;1006(10),1033(10),1074(1),1084(1),1124(1),1230(10);2;GPS+GLO+BDS;QXNET;CHN;43.83;87.62;0;"
    u"0;QXREF;none;B;N;9600;none",
    u"STR;HRBN_RTCM32;Harbin;RTCM "
    u"3.2;1006(10),1033(10),1074(1),1084(1),1124(1),1230(10);2;GPS+GLO+BDS;QXNET;CHN;45.80;126.53;"
    u"0;0;QXREF;none;B;N;9600;none",
    u"STR;CHSH_RTCM32;Changsha;RTCM "
    u"3.2;1006(10),1033(10),1074(1),1084(1),1124(1),1230(10);2;GPS+GLO+BDS;QXNET;CHN;28.23;112.94;"
    u"0;0;QXREF;none;B;N;9600;none",
    u"STR;NNJG_RTCM32;Nanjing;RTCM "
    u"3.2;1006(10),1033(10),1074(1),1084(1),1124(1),1230(10);2;GPS+GLO+BDS;QXNET;CHN;32.06;118.80;"
    u"0;0;QXREF;none;B;N;9600;none",
    u"STR;HZHO_RTCM32;Hangzhou;RTCM "
    u"3.2;1006(10),1033(10),1074(1),1084(1),1124(1),1230(10);2;GPS+GLO+BDS;QXNET;CHN;30.27;120.16;"
    u"0;0;QXREF;none;B;N;9600;none",
    u"STR;FZHO_RTCM32;Fuzhou;RTCM "
    u"3.2;1006(10),1033(10),1074(1),1084(1),1124(1),1230(10);2;GPS+GLO+BDS;QXNET;CHN;26.07;119.30;"
    u"0;0;QXREF;none;B;N;9600;none",
    u"STR;ZZHO_RTCM32;Zhengzhou;RTCM "
    u"3.2;1006(10),1033(10),1074(1),1084(1),1124(1),1230(10);2;GPS+GLO+BDS;QXNET;CHN;34.75;113.63;"
    u"0;0;QXREF;none;B;N;9600;none",
    u"STR;JNAN_RTCM32;Jinan;RTCM "
    u"3.2;1006(10),1033(10),1074(1),1084(1),1124(1),1230(10);2;GPS+GLO+BDS;QXNET;CHN;36.67;117.00;"
    u"0;0;QXREF;none;B;N;9600;none",
    u"STR;TYUN_RTCM32;Taiyuan;RTCM "
    u"3.2;1006(10),1033(10),1074(1),1084(1),1124(1),1230(10);2;GPS+GLO+BDS;QXNET;CHN;37.87;112.55;"
    u"0;0;QXREF;none;B;N;9600;none",
    u"STR;LZHO_RTCM32;Lanzhou;RTCM "
    u"3.2;1006(10),1033(10),1074(1),1084(1),1124(1),1230(10);2;GPS+GLO+BDS;QXNET;CHN;36.06;103.83;"
    u"0;0;QXREF;none;B;N;9600;none",
    u"STR;NCHG_RTCM32;Nanchang;RTCM "
    u"3.2;1006(10),1033(10),1074(1),1084(1),1124(1),1230(10);2;GPS+GLO+BDS;QXNET;CHN;28.68;115.86;"
    u"0;0;QXREF;none;B;N;9600;none",
    u"STR;HFEI_RTCM32;Hefei;RTCM "
    u"3.2;1006(10),1033(10),1074(1),1084(1),1124(1),1230(10);2;GPS+GLO+BDS;QXNET;CHN;31.82;117.23;"
    u"0;0;QXREF;none;B;N;9600;none",
    u"STR;GYNG_RTCM32;Guiyang;RTCM "
    u"3.2;1006(10),1033(10),1074(1),1084(1),1124(1),1230(10);2;GPS+GLO+BDS;QXNET;CHN;26.65;106.63;"
    u"0;0;QXREF;none;B;N;9600;none",
    u"STR;HKOU_RTCM32;Haikou;RTCM "
    u"3.2;1006(10),1033(10),1074(1),1084(1),1124(1),1230(10);2;GPS+GLO+BDS;QXNET;CHN;20.04;110.34;"
    u"0;0;QXREF;none;B;N;9600;none",
    u"STR;CCUN_RTCM32;Changchun;RTCM "
    u"3.2;1006(10),1033(10),1074(1),1084(1),1124(1),1230(10);2;GPS+GLO+BDS;QXNET;CHN;43.82;125.32;"
    u"0;0;QXREF;none;B;N;9600;none",
    u"STR;SYNG_RTCM32;Shenyang;RTCM "
    u"3.2;1006(10),1033(10),1074(1),1084(1),1124(1),1230(10);2;GPS+GLO+BDS;QXNET;CHN;41.80;123.43;"
    u"0;0;QXREF;none;B;N;9600;none",
    u"STR;TJIN_RTCM32;Tianjin;RTCM "
    u"3.2;1006(10),1033(10),1074(1),1084(1),1124(1),1230(10);2;GPS+GLO+BDS;QXNET;CHN;39.13;117.20;"
    u"0;0;QXREF;none;B;N;9600;none",
    u"STR;CHQG_RTCM32;Chongqing;RTCM "
    u"3.2;1006(10),1033(10),1074(1),1084(1),1124(1),1230(10);2;GPS+GLO+BDS;QXNET;CHN;29.56;106.55;"
    u"0;0;QXREF;none;B;N;9600;none",
    u"STR;VRS_RTCM32;Network;RTCM "
    u"3.2;1006(10),1033(10),1074(1),1084(1),1124(1),1230(10);2;GPS+GLO+BDS;QXNET-VRS;CHN;30.50;114."
    u"30;1;1;QXREF;none;B;Y;9600;none",
    u"STR;VRS_RTCM30;Network;RTCM "
    u"3.0;1004(1),1005(10),1012(1),1033(10);2;GPS+GLO;QXNET-VRS;CHN;30.50;114.30;1;1;QXREF;none;B;"
    u"Y;4800;none",
    u"STR;VRS_RTCM23;Network;RTCM "
    u"2.3;1(1),3(10),18(1),19(1),22(10);2;GPS;QXNET-VRS;CHN;30.50;114.30;1;1;QXREF;none;B;Y;4800;"
    u"none",
    u"STR;VRS_CMR;Network;CMR+;;2;GPS+GLO;QXNET-VRS;CHN;30.50;114.30;1;1;QXREF;none;B;Y;4800;none",
});

} // namespace

std::vector<std::u16string> CasterTable::DefaultStreams() {
    return {kStreams.begin(), kStreams.end()};
}

std::vector<std::u16string> CasterTable::MountPoints(const std::vector<std::u16string>& streams) {
    std::vector<std::u16string> names;
    names.reserve(streams.size());
    for (std::u16string_view record : streams) {
        std::u16string name;
        ExtractField(record, 1, u';', name);
        names.push_back(std::move(name));
    }
    return names;
}

namespace {

constexpr std::u16string_view kCrLf = u"\r\n";
// Chunks of these sizes in turn, so that chunk boundaries fall anywhere in the lines.
constexpr std::array<std::size_t, 4> kChunkBytes = {700, 1024, 97, 512};

std::size_t WireLength(std::u16string_view text) {
    return EncodeCp936(text).size();
}

std::vector<std::u16string> Records(std::u16string_view host, std::u16string_view port,
                                    const std::vector<std::u16string>& streams) {
    std::vector<std::u16string> records;
    records.push_back(
        FormatText(u"CAS;%s;%s;QXNET;QXNET Survey Service;0;CHN;30.53;114.36;0.0.0.0;0;"
                   u"http://qxnet.example.com",
                   {host, port}));
    records.insert(records.end(), kNetworks.begin(), kNetworks.end());
    records.insert(records.end(), streams.begin(), streams.end());
    return records;
}

std::vector<std::u16string> Ntrip1(const std::vector<std::u16string>& records) {
    std::size_t length = 0;
    for (const std::u16string& record : records) {
        length += WireLength(record) + 2;
    }
    std::vector<std::u16string> lines{
        u"SOURCETABLE 200 OK",
        u"Server: NTRIP QXNET Caster/1.0",
        u"Content-Type: text/plain",
        FormatText(u"Content-Length: %d", {static_cast<int64_t>(length)}),
        u"",
    };
    lines.insert(lines.end(), records.begin(), records.end());
    lines.emplace_back(u"ENDSOURCETABLE");
    return lines;
}

// The records each ended by a bare line feed, the end line by CR LF.
std::u16string Ntrip2Body(const std::vector<std::u16string>& records) {
    std::u16string body;
    for (const std::u16string& record : records) {
        body += record;
        body += u'\n';
    }
    body += u"ENDSOURCETABLE\r\n";
    return body;
}

std::u16string Ntrip2Head(std::u16string_view status, std::u16string_view lastHeader) {
    std::u16string head(status);
    head += kCrLf;
    head += u"Ntrip-Version: Ntrip/2.0\r\n"
            u"Server: NTRIP QXNET Caster/2.0\r\n"
            u"Connection: close\r\n";
    head += lastHeader;
    head += kCrLf;
    head += kCrLf;
    return head;
}

// The body in chunks of whole characters, each of at most the next of kChunkBytes bytes.
std::u16string Chunked(std::u16string_view body) {
    std::u16string wire;
    std::size_t turn = 0;
    while (!body.empty()) {
        const std::size_t limit = kChunkBytes[turn++ % kChunkBytes.size()];
        std::size_t units = 0;
        std::size_t bytes = 0;
        while (units < body.size()) {
            const std::size_t width = WireLength(body.substr(units, 1));
            if (bytes + width > limit) {
                break;
            }
            bytes += width;
            ++units;
        }
        wire += FormatText(u"%x", {static_cast<int64_t>(bytes)});
        wire += kCrLf;
        wire += body.substr(0, units);
        wire += kCrLf;
        body.remove_prefix(units);
    }
    wire += u"0\r\n\r\n";
    return wire;
}

// Pieces that, each followed by CR LF, give the text (which ends in CR LF).
std::vector<std::u16string> CutAtLineEnds(std::u16string_view text) {
    std::vector<std::u16string> pieces;
    while (!text.empty()) {
        const std::size_t end = text.find(kCrLf);
        pieces.emplace_back(text.substr(0, end));
        text.remove_prefix(end == std::u16string_view::npos ? text.size() : end + kCrLf.size());
    }
    return pieces;
}

} // namespace

std::vector<std::u16string> CasterTable::Response(CasterForm form, std::u16string_view host,
                                                  std::u16string_view port,
                                                  const std::vector<std::u16string>& streams) {
    const std::vector<std::u16string> records = Records(host, port, streams);
    switch (form) {
    case CasterForm::Ntrip1:
        return Ntrip1(records);
    case CasterForm::Ntrip2Length: {
        const std::u16string body = Ntrip2Body(records);
        const auto length = static_cast<int64_t>(WireLength(body));
        return CutAtLineEnds(
            Ntrip2Head(
                u"HTTP/1.1 200 OK",
                FormatText(u"Content-Type: gnss/sourcetable\r\nContent-Length: %d", {length})) +
            body);
    }
    case CasterForm::Ntrip2Chunked:
        return CutAtLineEnds(
            Ntrip2Head(u"HTTP/1.1 200 OK",
                       u"Content-Type: gnss/sourcetable\r\nTransfer-Encoding: chunked") +
            Chunked(Ntrip2Body(records)));
    case CasterForm::Refusing:
        return CutAtLineEnds(Ntrip2Head(u"HTTP/1.1 401 Unauthorized",
                                        u"WWW-Authenticate: Basic realm=\"/\"\r\n"
                                        u"Content-Length: 0"));
    }
    return {};
}

} // namespace quorlex
